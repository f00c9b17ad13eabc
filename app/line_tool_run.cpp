#include "app/line_tool_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line/command_line_texts.h"
#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "app/flows/select_flow.h"
#include "app/settings/options_check.h"
#include "app/texts.h"
#include "engine/io/joined_files.h"

namespace quillow {

namespace {

// The system's words for error, or otherwise.
std::string reasonOf(int error, const char* otherwise)
{
    return error ? text::failureDetail({}, error) : text::translated(otherwise);
}

RunOutcome inputFailure(RunFailure& failure, std::string file, int error, std::string reason = {})
{
    if (reason.empty())
        reason = reasonOf(error, text::kFileError);
    failure = RunFailure{std::move(file), std::move(reason), error};
    return RunOutcome::InputError;
}

RunOutcome scanFailed(const ScanFailure& f, RunFailure& failure)
{
    switch (f.kind) {
    case ScanFailure::Kind::Read:
        break;
    case ScanFailure::Kind::Encoding:
        return inputFailure(failure, f.file, 0, text::encodingRefusal(f.encoding));
    case ScanFailure::Kind::OutOfMemory:
        return inputFailure(failure, f.file, 0, text::translated(text::kReasonOutOfMemory));
    case ScanFailure::Kind::Spill:
        return inputFailure(failure, f.file, f.error,
                            text::arg(text::translated(text::kReasonSpill), reasonOf(f.error, text::kFileError)));
    case ScanFailure::Kind::SpillRead:
        return inputFailure(failure, f.file, f.error,
                            text::arg(text::translated(text::kReasonSpillRead), reasonOf(f.error, text::kFileError)));
    }
    return inputFailure(failure, f.file, f.error);
}

// A read that a signal may interrupt: the stop it brings is taken at once.
// Runs on the front end's worker; false when stopped.
bool readAll(Session& session, int fd, std::string& bytes, int& error)
{
    bool completed = false;
    session.frontEnd.runWork(text::kScanStopQuestion, [&](Work& work) {
        char block[65536];
        for (;;) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got < 0 && errno == EINTR) {
                if (work.checkIn())
                    return;
                continue;
            }
            if (got < 0)
                error = errno;
            if (got <= 0)
                break;
            bytes.append(block, static_cast<size_t>(got));
        }
        completed = true;
    });
    return completed;
}

// The names --files0-from gives: separated by NULs, read from a file or
// standard input ("-"). Nothing, with failure filled or not (a stop), when
// they cannot be had.
std::optional<std::vector<std::string>> namesFrom(Session& session, const std::string& from, RunFailure& failure)
{
    const bool fromStdin = from == "-";
    const std::string shown = fromStdin ? text::translated(text::kStandardInput) : from;
    const int fd = fromStdin ? STDIN_FILENO : ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        inputFailure(failure, shown, errno);
        return std::nullopt;
    }
    std::string bytes;
    int error = 0;
    const bool read = readAll(session, fd, bytes, error);
    if (!fromStdin)
        ::close(fd);
    if (!read)
        return std::nullopt;
    if (error) {
        inputFailure(failure, shown, error);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = std::min(bytes.find('\0', at), bytes.size());
        std::string name = bytes.substr(at, end - at);
        at = end + 1;
        const char* wrong = name.empty()                   ? text::kReasonEmptyName
                            : fromStdin && name == "-" ? text::kReasonStdinName
                                                           : nullptr;
        if (wrong) {
            inputFailure(failure, shown, 0, text::translated(wrong));
            return std::nullopt;
        }
        names.push_back(name == "-" ? "/dev/stdin" : std::move(name));
    }
    return names;
}

// Opens a file that is read as a stream (a FIFO waits for its writer).
// -1 with error set, or -1 and no error for a stop.
int openStreamFile(Session& session, const std::string& path, int& error)
{
    int fd = -1;
    session.frontEnd.runWork(text::kScanStopQuestion, [&](Work& work) {
        for (;;) {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0 || errno != EINTR) {
                error = fd < 0 ? errno : 0;
                return;
            }
            if (work.checkIn())
                return;
        }
    });
    return fd;
}

// An input with no bytes: no lines, nothing to compare.
void holdEmptyInput(ScanResult& result)
{
    result = ScanResult{};
    result.fromStream = true;
    result.source = std::make_shared<SourceLines>(std::string_view());
    result.dups = std::make_shared<DupsList>(result.source, 1);
}

// Scans what the request reads into the session. Nothing when it went as
// it should; otherwise how the run ends.
std::optional<RunOutcome> scanInput(Session& session, const RunRequest& request, RunFailure& failure)
{
    ScanFailure scanFailure;
    ScanOutcome scanned = ScanOutcome::Failed;
    if (!request.filesFrom.empty()) {
        const std::optional<std::vector<std::string>> names = namesFrom(session, request.filesFrom, failure);
        if (!names)
            return failure.file.empty() ? RunOutcome::Stopped : RunOutcome::InputError;
        JoinedFiles joined(*names);
        if (joined.fd() >= 0)
            scanned = openStream(session, joined.fd(), request.filesFrom, &scanFailure);
        if (scanned != ScanOutcome::Stopped)
            if (const std::optional<JoinedFiles::Failure> lost = joined.failure())
                return inputFailure(failure, lost->file, lost->error);
    } else if (request.inputIsStdin) {
        scanned = openStream(session, STDIN_FILENO, text::translated(text::kStandardInput), &scanFailure);
    } else {
        const std::string& path = request.input;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return inputFailure(failure, path, errno);
        if (S_ISDIR(st.st_mode))
            return inputFailure(failure, path, EISDIR);
        // A regular file is mapped; anything else, and files that say they
        // are empty (/proc), is read as it comes.
        if (S_ISREG(st.st_mode) && st.st_size > 0) {
            scanned = openFile(session, path, &scanFailure);
        } else {
            int error = 0;
            const int fd = openStreamFile(session, path, error);
            if (fd < 0)
                return error ? inputFailure(failure, path, error) : RunOutcome::Stopped;
            scanned = openStream(session, fd, path, &scanFailure);
            ::close(fd);
        }
    }
    switch (scanned) {
    case ScanOutcome::Stopped:
        return RunOutcome::Stopped;
    case ScanOutcome::NoFile:
    case ScanOutcome::Failed:
        return scanFailed(scanFailure, failure);
    case ScanOutcome::EmptyFile:
        holdEmptyInput(session.result);
        break;
    case ScanOutcome::Completed:
        break;
    }
    return std::nullopt;
}

// Selects the lines request drops or writes, and says how to write them.
LineChoice chooseLines(Session& session, const RunRequest& request, std::vector<GroupSize>& counts)
{
    const DupsList& dups = *session.result.dups;
    const Options& options = session.settings.options;
    const SelectCommand laterOnes = request.keepLast ? SelectCommand::AllButLast : SelectCommand::AllButFirst;
    LineChoice choice;
    // Only the occurrence that stands for each group.
    auto selectStanding = [&] {
        selectEntries(session, laterOnes);
        selectEntries(session, SelectCommand::Invert);
        choice.selectedOnly = true;
    };
    switch (request.written) {
    case Written::Cleaned:
    case Written::Unique:
        if (dups.count() == 0 && options.saveEmptyLines && !options.saveApplyFilter)
            choice.asRead = true;  // nothing to drop: the input as it came
        else
            selectEntries(session, request.written == Written::Unique ? SelectCommand::All : laterOnes);
        break;
    case Written::Repeated:
        selectStanding();
        break;
    case Written::AllRepeated:
        selectEntries(session, SelectCommand::All);
        choice.selectedOnly = true;
        break;
    case Written::Counts:
        counts = groupSizes(dups, request.keepLast);
        choice.counts = &counts;
        if (request.onlyRepeated)
            selectStanding();
        else
            selectEntries(session, laterOnes);
        break;
    case Written::List:
        break;
    }
    return choice;
}

}  // namespace

RunOutcome runLineTool(Session& session, const RunRequest& request, RunFailure& failure)
{
    Options& options = session.settings.options;
    if (!request.fromStoredSettings)
        options = documentedDefaults();
    applyOverrides(request, options);
    // A stored pattern or encoding that cannot run stops the run before any
    // input is read, also from standard input.
    if (std::string problem = storedOptionsProblem(options); !problem.empty()) {
        failure = RunFailure{{}, std::move(problem), 0};
        return RunOutcome::InputError;
    }
    // The lines are written from the buffer the scan read them into.
    options.preserveMemory = false;
    session.result.bigFile = false;

    if (const std::optional<RunOutcome> ended = scanInput(session, request, failure))
        return *ended;
    if (request.written == Written::List)
        return session.result.ready ? RunOutcome::DuplicatesFound : RunOutcome::NothingToDo;

    std::vector<GroupSize> counts;
    const LineChoice choice = chooseLines(session, request, counts);
    if (choice.asRead && request.inPlace)
        return RunOutcome::Written;  // the file stays as it is
    const std::string standardOutput = text::translated(text::kStandardOutput);
    const SaveTarget target =
        request.outputIsStdout ? SaveTarget{standardOutput, STDOUT_FILENO} : SaveTarget{request.output};
    const SaveResult saved = writeLines(session, target, choice);
    switch (saved.outcome) {
    case SaveOutcome::Written:
        return RunOutcome::Written;
    case SaveOutcome::WrittenUnflushed:
        failure = RunFailure{saved.file, text::unflushedReason(saved.error), saved.error};
        return RunOutcome::WrittenUnflushed;
    case SaveOutcome::Stopped:
        return RunOutcome::Stopped;
    case SaveOutcome::SourceChanged:
        return inputFailure(failure, saved.file, saved.error,
                            saved.error == kChangedWhileReadError ? std::string()
                                                                  : text::translated(text::kReasonChanged));
    case SaveOutcome::SourceMissing:
    case SaveOutcome::SourceUnreadable:
        return inputFailure(failure, saved.file, saved.error);
    default:
        break;
    }
    failure = RunFailure{saved.file.empty() ? target.path : saved.file, reasonOf(saved.error, text::kSaveFailed),
                         saved.error};
    return RunOutcome::OutputError;
}

}  // namespace quillow

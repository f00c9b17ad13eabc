#include "app/unattended_run.h"

#include <unistd.h>

#include <optional>

#include "app/flows/open_flow.h"
#include "app/flows/save_flow.h"
#include "app/flows/select_flow.h"
#include "app/command_line/command_line_texts.h"
#include "app/texts.h"
#include "engine/io/file_descriptor.h"
#include "engine/io/file_info.h"
#include "engine/io/pass_through.h"
#include "engine/io/stream_target.h"

namespace quillow {

namespace {

// The input exactly as it was read, to fd, on the front end's worker;
// name stands for fd in failures.
RunOutcome passInputThrough(Session& session, int fd, const std::string& name)
{
    PassThroughResult passed;
    session.frontEnd.runWork(text::kSaveStopQuestion,
                             [&](Work& work) { passed = passThrough(session.result, fd, work); });
    FrontEnd& front = session.frontEnd;
    const std::string& file = session.result.file;
    switch (passed.outcome) {
    case PassThroughOutcome::Done:
        front.setStatus(text::translated(text::kPassedThrough));
        return RunOutcome::PassedThrough;
    case PassThroughOutcome::Stopped:
        front.setStatus(text::translated(text::kSaveCancelled));
        return RunOutcome::Stopped;
    case PassThroughOutcome::SourceUnreadable:
        front.setStatus(text::failureStatus(text::kSourceUnreadable, file, passed.error));
        return RunOutcome::InputError;
    case PassThroughOutcome::SourceChanged:
        front.setStatus(text::failureStatus(text::kFileError, file, kChangedWhileReadError));
        return RunOutcome::InputError;
    case PassThroughOutcome::WriteFailed:
        break;
    }
    front.setStatus(text::failureStatus(text::kSaveFailed, name, passed.error));
    return RunOutcome::OutputError;
}

RunOutcome outcomeOf(SaveOutcome saved)
{
    switch (saved) {
    case SaveOutcome::Written:
        return RunOutcome::Written;
    case SaveOutcome::WrittenUnflushed:
        return RunOutcome::WrittenUnflushed;
    case SaveOutcome::Stopped:
        return RunOutcome::Stopped;
    case SaveOutcome::NothingToSave:
    case SaveOutcome::NothingSelected:
        return RunOutcome::NothingToDo;
    case SaveOutcome::SourceMissing:
    case SaveOutcome::SourceChanged:
    case SaveOutcome::SourceUnreadable:
        return RunOutcome::InputError;
    case SaveOutcome::Cancelled:
    case SaveOutcome::TargetUnwritable:
    case SaveOutcome::Failed:
        break;
    }
    return RunOutcome::OutputError;
}

RunOutcome run(Session& session, const RunRequest& request)
{
    Settings& settings = session.settings;
    ScanResult& result = session.result;
    result.bigFile = false;
    applyOverrides(request, settings.options);

    // A stream target: standard output, or an output that names one. It
    // is opened first: a pipe that cannot be opened is no reason to scan.
    std::optional<StreamTarget> stream;
    std::string streamName = text::translated(text::kStandardOutput);
    if (request.outputIsStdout) {
        stream = StreamTarget{STDOUT_FILENO, false};
    } else if (request.select) {
        int error = 0;
        stream = openStreamTarget(request.output, error);
        streamName = request.output;
        if (stream && stream->fd < 0) {
            session.frontEnd.setStatus(text::failureStatus(text::kTargetUnwritable, request.output, error));
            return RunOutcome::OutputError;
        }
    }
    const FileDescriptor owned(stream && stream->owned ? stream->fd : -1);

    // Standard input cannot be read again and a stream is written from the
    // buffer: the scan keeps the lines.
    if (request.inputIsStdin || stream)
        settings.options.preserveMemory = false;

    const ScanOutcome scanned = request.inputIsStdin
                                    ? openStream(session, STDIN_FILENO, text::translated(text::kStandardInput))
                                    : openFile(session, request.input);
    if (scanned == ScanOutcome::Stopped)
        return RunOutcome::Stopped;
    if (scanned == ScanOutcome::NoFile || scanned == ScanOutcome::Failed)
        return RunOutcome::InputError;
    // A filter passes on what has nothing to drop; a file is not written.
    const bool filter = stream && request.select;
    if (scanned == ScanOutcome::EmptyFile || !result.ready)  // an empty file holds no duplicates either
        return filter ? passInputThrough(session, stream->fd, streamName) : RunOutcome::NothingToDo;
    if (!request.select)
        return RunOutcome::DuplicatesFound;

    selectEntries(session, *request.select);
    if (filter && result.dups->selectedCount() == 0)
        return passInputThrough(session, stream->fd, streamName);

    // A stream target's path is the name its failures give.
    const SaveTarget target = stream ? SaveTarget{streamName, stream->fd} : SaveTarget{request.output};
    return outcomeOf(saveCleanedCopy(session, target).outcome);
}

}  // namespace

int exitStatus(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Written:
    case RunOutcome::PassedThrough:
    case RunOutcome::DuplicatesFound:
        return 0;
    case RunOutcome::WrittenUnflushed:
        return kExitUnflushed;
    case RunOutcome::NothingToDo:
        return 1;
    case RunOutcome::InputError:
        return kExitUsage;
    case RunOutcome::OutputError:
        return kExitOutput;
    case RunOutcome::Stopped:
        return kExitStopped;
    }
    return kExitUsage;
}

RunOutcome runUnattended(Session& session, const RunRequest& request)
{
    session.unattended = true;
    const RunOutcome outcome = run(session, request);
    // A stopped run hands the window to the user.
    if (outcome == RunOutcome::Stopped)
        session.unattended = false;
    return outcome;
}

}  // namespace quillow

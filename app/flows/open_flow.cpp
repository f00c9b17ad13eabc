#include "app/flows/open_flow.h"

#include <fcntl.h>
#include <unistd.h>

#include "app/file_filter.h"
#include "app/settings/options_check.h"
#include "app/texts.h"
#include "engine/dedup/scan.h"
#include "engine/text/binary_text.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

std::string failureText(const ScanFailure& failure)
{
    switch (failure.kind) {
    case ScanFailure::Kind::Read:
        return text::failureStatus(failure.read == ReadFailure::CannotOpen ? text::kCannotOpen : text::kFileError,
                                   failure.file, failure.error);
    case ScanFailure::Kind::Encoding:
        return text::encodingRefusal(failure.encoding);
    case ScanFailure::Kind::OutOfMemory:
        return text::failureStatus(text::kOutOfMemory, failure.file, 0);
    case ScanFailure::Kind::Spill:
        return text::failureStatus(text::kSpillFailed, failure.file, failure.error);
    case ScanFailure::Kind::SpillRead:
        return text::failureStatus(text::kSpillReadFailed, failure.file, failure.error);
    }
    return {};
}

void countScan(UsageCounters& c, const ScanResult& result)
{
    const int64_t entries = result.dups ? result.dups->count() : 0;
    c.filesOpened = addSaturating(c.filesOpened, 1);
    c.linesScanned = addSaturating(c.linesScanned, result.lineCount);
    c.dupsFound = addSaturating(c.dupsFound, entries);
    c.uniqueDupsFound = addSaturating(c.uniqueDupsFound, result.groupCount);
}

// The first bytes of a file, for a look at what it holds; empty when it
// cannot be read (the scan then says why).
std::string fileStart(const std::string& path, size_t length)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string head(length, '\0');
    size_t got = 0;
    while (got < length) {
        const ssize_t n = ::read(fd, head.data() + got, length - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    head.resize(got);
    return head;
}

// Runs scan on the front end's worker and takes over what it left.
template <typename ScanFn>
ScanOutcome runScan(Session& session, ScanFn scan, ScanFailure* failure)
{
    FrontEnd& front = session.frontEnd;
    // The last scan's lists go first: the new ones may need the memory.
    ScanResult& result = session.result;
    result.source.reset();
    result.dups.reset();
    result.spooledInput.reset();
    result.ready = false;
    session.busy = true;
    front.stateChanged();

    Scanned scanned;
    front.runWork(text::kScanStopQuestion, [&](Work& work) { scanned = scan(work); });
    session.busy = false;
    result = std::move(scanned.result);
    const int64_t entries = result.dups ? result.dups->count() : 0;

    ScanOutcome outcome = ScanOutcome::Failed;
    switch (scanned.status) {
    case ScanStatus::Completed:
        if (entries > 0 && !result.bigFile)
            front.setStatus(text::translated(text::kShowingList));
        front.setStatus(entries > 0 ? text::scanSummary(result.lineCount, entries, result.groupCount)
                                    : text::translated(text::kNoDuplicates));
        countScan(session.settings.counters, result);
        outcome = ScanOutcome::Completed;
        break;
    case ScanStatus::Empty:
        front.setStatus(text::translated(text::kFileEmpty));
        outcome = ScanOutcome::EmptyFile;
        break;
    case ScanStatus::Failed:
        front.setStatus(failureText(scanned.failure));
        if (failure)
            *failure = scanned.failure;
        break;
    case ScanStatus::Stopped:
        front.setStatus(text::scanInterrupted(entries));
        outcome = ScanOutcome::Stopped;
        break;
    }
    front.stateChanged();
    return outcome;
}

// Stored options that cannot run stop the open before anything is read:
// said in a message box, or in the status of an unattended run.
bool optionsCanRun(Session& session)
{
    const std::string problem = storedOptionsProblem(session.settings.options);
    if (problem.empty())
        return true;
    if (session.unattended)
        session.frontEnd.setStatus(problem);
    else
        session.frontEnd.messageBox(problem, Icon::Critical, Buttons::Ok);
    return false;
}

}  // namespace

ScanOutcome openFile(Session& session, std::string file, ScanFailure* failure)
{
    FrontEnd& front = session.frontEnd;
    if (!optionsCanRun(session))
        return ScanOutcome::Failed;
    if (file.empty() && !session.unattended) {
        FileDialogRequest request = textFileDialog(session.settings.lastLoadedFile);
        request.mustExist = true;
        if (front.chooseOpenFile(request))
            file = request.fileName;
    }
    if (file.empty())
        return ScanOutcome::NoFile;
    // Looked at before anything is read: a failure here leaves the last scan as it was.
    if (const std::optional<ReadError> refused = checkScannable(file)) {
        if (refused->kind == ReadFailure::Empty) {
            front.setStatus(text::translated(text::kFileEmpty));
            return ScanOutcome::EmptyFile;
        }
        front.setStatus(text::failureStatus(text::kCannotOpen, file, refused->error));
        if (failure) {
            failure->kind = ScanFailure::Kind::Read;
            failure->read = refused->kind;
            failure->file = file;
            failure->error = refused->error;
        }
        return ScanOutcome::Failed;
    }
    // A program or an image would open as a page of odd characters: the user says first.
    if (!session.unattended && looksBinary(fileStart(file, kBinaryCheckBytes), session.settings.options.textEncoding) &&
        front.messageBox(text::arg(text::translated(text::kBinaryQuestion), file), Icon::Warning, Buttons::YesNo) !=
            Answer::Yes)
        return ScanOutcome::NoFile;
    session.settings.lastLoadedFile = file;
    front.setCaption(text::productVersion(session.debugMode) + " - " + file);
    const Options options = session.settings.options;
    return runScan(session, [&](Work& work) { return scanFile(file, options, work); }, failure);
}

ScanOutcome openStream(Session& session, int fd, const std::string& name, ScanFailure* failure)
{
    if (!optionsCanRun(session))
        return ScanOutcome::Failed;
    session.frontEnd.setCaption(text::productVersion(session.debugMode) + " - " + name);
    const Options options = session.settings.options;
    return runScan(session, [&](Work& work) { return scanStream(fd, name, options, work); }, failure);
}

}  // namespace quillow

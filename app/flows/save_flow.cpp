#include "app/flows/save_flow.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "app/file_filter.h"
#include "app/texts.h"
#include "engine/io/file_descriptor.h"
#include "engine/io/file_info.h"
#include "engine/io/stream_target.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

// An existing regular file the user may not write to.
bool writeProtected(const std::string& path)
{
    return fileExists(path) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// The target is the source itself, by name or under another spelling
// (relative path, "..", a symlink, a hard link).
bool sameFileAs(const std::string& target, const std::string& source)
{
    if (target == source)
        return true;
    struct stat a {}, b {};
    return ::stat(target.c_str(), &a) == 0 && ::stat(source.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// Why path names no regular file: the system's error, or kNotRegularError.
int whyNoRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 ? errno : kNotRegularError;
}

// A check that ends the save: a message box for the user, or, unattended,
// the status that a run's last words report.
SaveResult refuse(Session& session, SaveOutcome outcome, const char* documented, const std::string& file, int error)
{
    if (session.unattended)
        session.frontEnd.setStatus(text::failureStatus(documented, file, error));
    else
        session.frontEnd.messageBox(text::failureMessage(documented, file, error), Icon::Critical, Buttons::Ok);
    return SaveResult{outcome, file, error};
}

SaveOutcome outcomeOf(WriteOutcome written)
{
    switch (written) {
    case WriteOutcome::Written:
        return SaveOutcome::Written;
    case WriteOutcome::WrittenUnflushed:
        return SaveOutcome::WrittenUnflushed;
    case WriteOutcome::Stopped:
        return SaveOutcome::Stopped;
    case WriteOutcome::SourceUnreadable:
    case WriteOutcome::SourceReadFailed:
        return SaveOutcome::SourceUnreadable;
    case WriteOutcome::SourceChanged:
        return SaveOutcome::SourceChanged;
    case WriteOutcome::TargetUnwritable:
        return SaveOutcome::TargetUnwritable;
    case WriteOutcome::OutOfMemory:
    case WriteOutcome::Failed:
        break;
    }
    return SaveOutcome::Failed;
}

// The status text of a save that ended.
std::string writeStatus(const WriteResult& written)
{
    switch (written.outcome) {
    case WriteOutcome::Written:
        return text::translated(written.stoppedAfterWriting ? text::kStoppedAfterWriting : text::kSaveDone);
    case WriteOutcome::WrittenUnflushed:
        return text::writtenUnflushed(written.file, written.error);
    case WriteOutcome::Stopped:
        return text::translated(text::kSaveCancelled);
    case WriteOutcome::SourceUnreadable:
        return text::failureStatus(text::kSourceUnreadable, written.file, written.error);
    case WriteOutcome::SourceChanged:
        if (written.error == kChangedWhileReadError)
            return text::failureStatus(text::kFileError, written.file, written.error);
        return text::failureStatus(text::kSourceChanged, written.file, 0);
    case WriteOutcome::TargetUnwritable:
        return text::failureStatus(text::kTargetUnwritable, written.file, written.error);
    case WriteOutcome::OutOfMemory:
        return text::translated(text::kOutOfMemoryElsewhere);
    case WriteOutcome::SourceReadFailed:
    case WriteOutcome::Failed:
        break;
    }
    return text::failureStatus(text::kSaveFailed, written.file, written.error);
}

}  // namespace

// The counters hear of the dropped lines.
SaveResult writeLines(Session& session, const SaveTarget& given, const LineChoice& choice)
{
    FrontEnd& front = session.frontEnd;
    // A path that names a pipe, a device or an open descriptor (/dev/stdout)
    // is written to as a stream, never replaced.
    SaveTarget target = given;
    FileDescriptor opened;
    int streamError = 0;
    if (const std::optional<StreamTarget> stream = target.isStream() ? std::nullopt
                                                                      : openStreamTarget(target.path, streamError)) {
        if (stream->fd < 0) {
            front.setStatus(text::failureStatus(text::kTargetUnwritable, target.path, streamError));
            return SaveResult{SaveOutcome::TargetUnwritable, target.path, streamError};
        }
        target.fd = stream->fd;
        opened.reset(stream->owned ? stream->fd : -1);
    }
    session.busy = true;
    front.stateChanged();
    WriteResult written;
    front.runWork(text::kSaveStopQuestion, [&](Work& work) {
        written = writeCleanedFile(session.result, session.settings.options, target, work, choice);
    });
    session.busy = false;
    if (written.outcome == WriteOutcome::Written || written.outcome == WriteOutcome::WrittenUnflushed) {
        UsageCounters& c = session.settings.counters;
        c.dupsDeleted = addSaturating(c.dupsDeleted, written.dropped);
    }
    // The window says what the save did; a run's last word stays the plain one.
    if (written.outcome == WriteOutcome::Written && !written.stoppedAfterWriting && !session.unattended)
        front.setStatus(text::saveSummary(written.dropped, target.isStream() ? std::string("-") : target.path));
    else
        front.setStatus(writeStatus(written));
    front.stateChanged();
    return SaveResult{outcomeOf(written.outcome), written.file, written.error};
}

SaveResult saveCleanedCopy(Session& session, const SaveTarget& unattendedTarget)
{
    ScanResult& result = session.result;
    FrontEnd& front = session.frontEnd;
    const bool unattended = session.unattended;

    // 1. A source to save from, and no save or scan already running.
    if ((result.file.empty() && !result.fromStream) || !result.dups || session.busy)
        return {};

    // 2. The source is still there (a stream has only the bytes read)...
    const std::optional<FileIdentity> now =
        result.fromStream ? std::optional(result.identity) : identityOf(result.file);
    if (!now)
        return refuse(session, SaveOutcome::SourceMissing, text::kSourceMissing, result.file,
                      whyNoRegularFile(result.file));

    // 3. ... and the file the scan read: the same file, size and time to the
    // nanosecond (a rewrite within the same second counts).
    if (*now != result.identity)
        return refuse(session, SaveOutcome::SourceChanged, text::kSourceChanged, result.file, 0);

    // 4. Something is selected.
    if (result.dups->selectedCount() == 0) {
        if (!unattended)
            front.messageBox(text::translated(text::kNothingSelected), Icon::Warning, Buttons::Ok);
        return {SaveOutcome::NothingSelected, {}, 0};
    }

    // 5. Target.
    SaveTarget target;
    if (unattended) {
        target = unattendedTarget;
    } else {
        FileDialogRequest request = textFileDialog(session.settings.lastSavedFile);
        request.overwritePrompt = true;
        if (front.chooseSaveFile(request))
            target.path = request.fileName;
    }
    if (target.isStream())
        return writeLines(session, target);
    if (target.path.empty())
        return {SaveOutcome::Cancelled, {}, 0};
    // A pipe, a device or a name of an open descriptor (/dev/stdout) is
    // written to, never replaced: no question about it.
    if (namesStream(target.path))
        return writeLines(session, target);

    // 6. Write protection: lifted for this save only by the new file taking
    // the target's place, the old one untouched until then. Unattended,
    // the new file keeps the mode; the user who agreed gets it writable.
    if (writeProtected(target.path)) {
        if (!unattended &&
            front.messageBox(text::translated(text::kWriteProtected), Icon::Warning, Buttons::YesNo) != Answer::Yes) {
            front.setStatus(text::translated(text::kSaveCancelled));
            return {SaveOutcome::Cancelled, {}, 0};
        }
        target.protection = unattended ? WriteProtection::KeepMode : WriteProtection::Lift;
    }

    // 7. The source itself under any spelling is replaced like any target,
    // through a temporary file; it only asks no question about extensions.
    const bool sameFile = sameFileAs(target.path, result.file);

    // 8. Extension prompt.
    if (!sameFile && !unattended && result.file.find('.') != std::string::npos &&
        target.path.find('.') == std::string::npos) {
        const Answer a = front.messageBox(text::translated(text::kNoExtension), Icon::Warning, Buttons::YesNoCancel);
        if (a == Answer::Cancel)
            return {SaveOutcome::Cancelled, {}, 0};
        if (a == Answer::Yes)
            target.path += "." + result.file.substr(result.file.rfind('.') + 1);
    }

    // 9. Remember the target before anything is written.
    session.settings.lastSavedFile = target.path;

    // 10. Write.
    return writeLines(session, target);
}

}  // namespace quillow

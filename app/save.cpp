#include "app/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "engine/io/file_info.h"
#include "app/file_filter.h"
#include "app/texts.h"

namespace quillow {

namespace {

// An existing regular file the user may not write to.
bool writeProtected(const std::string& path)
{
    return fileExists(path) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// "Set to normal": give the owner write permission; the mode it had, to put
// back if the save fails. A failure is ignored; the writer then reports the
// target as not writable.
std::optional<mode_t> removeWriteProtection(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    return st.st_mode & 07777;
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
void refuse(Host& host, bool unattended, const char* documented, const std::string& file, int error)
{
    if (unattended)
        host.setStatus(text::failureStatus(documented, file, error));
    else
        host.messageBox(text::failureMessage(documented, file, error), Icon::Critical, Buttons::Ok);
}

}  // namespace

WriteResult runSave(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                    const SaveTarget& unattendedTarget)
{
    const bool unattended = flags.unattended;
    const WriteResult notStarted{WriteOutcome::NotStarted, {}, 0};

    // 1. A source to save from, and no save or scan already running.
    if ((result.file.empty() && !result.fromStream) || !result.dups || flags.busy)
        return notStarted;

    // 2. The source is still there (a stream has only the bytes read)...
    const std::optional<FileIdentity> now =
        result.fromStream ? std::optional(result.identity) : identityOf(result.file);
    if (!now) {
        const int error = whyNoRegularFile(result.file);
        refuse(host, unattended, text::kSourceMissing, result.file, error);
        return WriteResult{WriteOutcome::SourceUnreadable, result.file, error};
    }

    // 3. ... and the file the scan read: the same file, size and time to the
    // nanosecond (a rewrite within the same second counts).
    if (*now != result.identity) {
        refuse(host, unattended, text::kSourceChanged, result.file, 0);
        return WriteResult{WriteOutcome::SourceChanged, result.file, 0};
    }

    // 4. Something is selected.
    if (result.dups->selectedCount() == 0) {
        if (!unattended)
            host.messageBox(text::translated(text::kNothingSelected), Icon::Warning, Buttons::Ok);
        return notStarted;
    }

    // 5. Target.
    SaveTarget target;
    if (unattended) {
        target = unattendedTarget;
    } else {
        FileDialogRequest request = textFileDialog(settings.lastSavedFile);
        request.overwritePrompt = true;
        if (host.chooseSaveFile(request))
            target.path = request.fileName;
    }
    if (target.isStream())
        return writeCleanedFile(settings, result, flags, host, target);
    if (target.path.empty())
        return notStarted;

    // 6. Write protection.
    std::optional<mode_t> protectedMode;
    if (writeProtected(target.path)) {
        if (!unattended &&
            host.messageBox(text::translated(text::kWriteProtected), Icon::Warning, Buttons::YesNo) != Answer::Yes) {
            host.setStatus(text::translated(text::kSaveCancelled));
            return notStarted;
        }
        protectedMode = removeWriteProtection(target.path);
    }

    // 7. The source itself under any spelling is replaced like any target,
    // through a temporary file; it only asks no question about extensions.
    const bool sameFile = sameFileAs(target.path, result.file);
    if (sameFile && protectedMode) {
        // Our own change of its mode moved its change time; nothing else.
        if (std::optional<FileIdentity> id = identityOf(result.file)) {
            FileIdentity expected = result.identity;
            expected.changedNs = id->changedNs;
            if (*id == expected)
                result.identity = *id;
        }
    }

    // 8. Extension prompt.
    const std::string chosen = target.path;
    if (!sameFile && !unattended && result.file.find('.') != std::string::npos &&
        target.path.find('.') == std::string::npos) {
        Answer a = host.messageBox(text::translated(text::kNoExtension), Icon::Warning, Buttons::YesNoCancel);
        if (a == Answer::Cancel)
            return notStarted;
        if (a == Answer::Yes)
            target.path += "." + result.file.substr(result.file.rfind('.') + 1);
    }

    // 9. Remember the target before anything is written.
    settings.lastSavedFile = target.path;

    // 10. Write; a target made writable for the save gets its mode back when
    // nothing replaced it.
    WriteResult written = writeCleanedFile(settings, result, flags, host, target);
    if (protectedMode && written.outcome != WriteOutcome::Written)
        ::chmod(chosen.c_str(), *protectedMode);
    return written;
}

}  // namespace quillow

#include "engine/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/file_info.h"
#include "engine/file_filter.h"
#include "engine/texts.h"

namespace quillow {

namespace {

// An existing regular file the user may not write to.
bool writeProtected(const std::string& path)
{
    return fileExists(path) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// "Set to normal": give the owner write permission. A failure is ignored;
// the writer then reports the target as not writable.
void removeWriteProtection(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
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

}  // namespace

WriteOutcome runSave(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                     const std::string& unattendedTarget)
{
    const bool unattended = flags.unattended;

    // 1. A source to save from, and no save or scan already running.
    if (result.file.empty() || !result.dups || flags.busy)
        return WriteOutcome::NotStarted;

    // 2. The source is still there.
    if (!fileExists(result.file)) {
        if (!unattended)
            host.messageBox(text::kSourceMissing, Icon::Critical, Buttons::Ok);
        return WriteOutcome::NotStarted;
    }

    // 3. ... and unchanged since the scan.
    bool ok = false;
    int64_t modified = fileModifiedSeconds(result.file, &ok);
    if (!ok || modified != result.fileModified) {
        if (!unattended)
            host.messageBox(ok ? text::kSourceChanged : text::kSourceMissing, Icon::Critical, Buttons::Ok);
        return WriteOutcome::NotStarted;
    }

    // 4. Something is selected.
    if (result.dups->selectedCount() == 0) {
        if (!unattended)
            host.messageBox(text::kNothingSelected, Icon::Warning, Buttons::Ok);
        return WriteOutcome::NotStarted;
    }

    // 5. Byte-order mark warning.
    if (result.hasByteOrderMark && !unattended &&
        host.messageBox(text::kByteOrderMarkWarning, Icon::Warning, Buttons::YesNo) != Answer::Yes)
        return WriteOutcome::NotStarted;

    // 6. Target.
    std::string target;
    if (unattended) {
        target = unattendedTarget;
    } else {
        FileDialogRequest request = textFileDialog(settings.lastSavedFile);
        request.overwritePrompt = true;
        if (host.chooseSaveFile(request))
            target = request.fileName;
    }
    if (target.empty())
        return WriteOutcome::NotStarted;

    // 7. Write protection.
    if (writeProtected(target)) {
        if (!unattended && host.messageBox(text::kWriteProtected, Icon::Warning, Buttons::YesNo) != Answer::Yes) {
            host.setStatus(text::kSaveCancelled);
            return WriteOutcome::NotStarted;
        }
        removeWriteProtection(target);
    }

    // 8. Same file: written under a temporary name and swapped in.
    const std::string chosen = target;
    const bool sameFile = sameFileAs(target, result.file);
    if (sameFile)
        target += kTempSuffix;

    // 9. Extension prompt.
    if (!sameFile && !unattended && result.file.find('.') != std::string::npos &&
        target.find('.') == std::string::npos) {
        Answer a = host.messageBox(text::kNoExtension, Icon::Warning, Buttons::YesNoCancel);
        if (a == Answer::Cancel)
            return WriteOutcome::NotStarted;
        if (a == Answer::Yes)
            target += "." + result.file.substr(result.file.rfind('.') + 1);
    }

    // 10. Remember the target before anything is written.
    settings.lastSavedFile = sameFile ? chosen : target;

    // 11. Write.
    return writeCleanedFile(settings, result, flags, host, target, sameFile);
}

}  // namespace quillow

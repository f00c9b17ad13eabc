#include "engine/save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/cleaned_file_writer.h"
#include "engine/file_info.h"

namespace quillow {

namespace {

constexpr const char* kSourceMissing = "无法找到来源文件！";
constexpr const char* kSourceChanged = "来源文件已被更改！取消保存...";
constexpr const char* kNothingSelected =
    "没有选择重复项！ 请在重复列表中选择行并标记这些行的检查框，或点击选择按钮使用通常选项。 "
    "那么，你就可以保存为没有这些选定行的文件。";
constexpr const char* kByteOrderMarkWarning =
    "打开文件看起来为多字节文本格式。 Quillow 无法正确保存它。你仍可尝试保存这个文件， "
    "但是非 ascii 字符可能会导致损坏。你要继续吗？";
constexpr const char* kWriteProtected = "所选文件有写入保护。你要移除写入保护并继续保存吗？";
constexpr const char* kNoExtension = "新文件名没有包含扩展名。你打算\n添加与原始文件名一样的扩展名吗？(推荐)";

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

WriteOutcome runSave(ProgramState& state, Host& host)
{
    const bool unattended = state.cmdLineMode == -1;

    // 1. A source to save from, and no save or scan already running.
    if (state.scannedFile.empty() || !state.dupsList || state.isBusy != 0)
        return WriteOutcome::NotStarted;

    // 2. The source is still there.
    if (!fileExists(state.scannedFile)) {
        if (!unattended)
            host.messageBox(kSourceMissing, mb::Critical | mb::OkOnly);
        return WriteOutcome::NotStarted;
    }

    // 3. ... and unchanged since the scan.
    bool ok = false;
    int64_t modified = fileModifiedSeconds(state.scannedFile, &ok);
    if (!ok || modified != state.scannedFileDate) {
        if (!unattended)
            host.messageBox(ok ? kSourceChanged : kSourceMissing, mb::Critical | mb::OkOnly);
        return WriteOutcome::NotStarted;
    }

    // 4. Something is selected.
    bool any = false;
    for (int64_t i = 0, n = state.dupsList->ListCount(); i < n && !any; ++i)
        any = state.dupsList->Selected(i);
    if (!any) {
        if (!unattended)
            host.messageBox(kNothingSelected, mb::Exclamation | mb::OkOnly);
        return WriteOutcome::NotStarted;
    }

    // 5. Byte-order mark warning.
    if (state.hasBOM == -1 && !unattended &&
        host.messageBox(kByteOrderMarkWarning, mb::Exclamation | mb::YesNo) != Answer::Yes)
        return WriteOutcome::NotStarted;

    // 6. Target.
    std::string target;
    if (unattended) {
        target = state.cmdLineOutputFile;
    } else {
        FileDialogRequest request = textFileDialog(state.lastSavedFile);
        request.overwritePrompt = true;
        if (host.chooseSaveFile(request))
            target = request.fileName;
    }
    if (target.empty())
        return WriteOutcome::NotStarted;

    // 7. Write protection.
    if (writeProtected(target)) {
        if (!unattended && host.messageBox(kWriteProtected, mb::Exclamation | mb::YesNo) != Answer::Yes) {
            host.setStatus(kSaveCancelled);
            return WriteOutcome::NotStarted;
        }
        removeWriteProtection(target);
    }

    // 8. Same file: written under a temporary name and swapped in.
    const std::string chosen = target;
    const bool sameFile = sameFileAs(target, state.scannedFile);
    if (sameFile)
        target += kTempSuffix;

    // 9. Extension prompt.
    if (!sameFile && !unattended && state.scannedFile.find('.') != std::string::npos &&
        target.find('.') == std::string::npos) {
        Answer a = host.messageBox(kNoExtension, mb::Exclamation | mb::YesNoCancel);
        if (a == Answer::Cancel)
            return WriteOutcome::NotStarted;
        if (a == Answer::Yes)
            target += "." + state.scannedFile.substr(state.scannedFile.rfind('.') + 1);
    }

    // 10. Remember the target before anything is written.
    state.lastSavedFile = sameFile ? chosen : target;

    // 11. Write.
    return WriteCleanedFile(state, host, target, sameFile);
}

void cmdSave_Click(ProgramState& state, Host& host) { runSave(state, host); }

}  // namespace quillow

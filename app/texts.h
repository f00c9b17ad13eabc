#pragma once
// Every text the engine shows: status texts, progress, questions and
// messages. Blanks inside them are part of the texts. The constants are the
// Chinese source texts, marked for lupdate; text::translated gives them in the
// interface language where they are shown (failureStatus and
// failureMessage translate the documented text themselves).
#include <cstdint>
#include <string>

#include "app/translation.h"
#include "engine/text/text_encoding.h"
#include "engine/runtime/work.h"

namespace quillow::text {

inline constexpr const char* kProductName = "Quillow";
inline constexpr const char* kVersion = QUILLOW_VERSION;

// Scan.
inline constexpr const char* kCannotOpen = QT_TRANSLATE_NOOP("quillow::text", "错误: 无法打开文件");
inline constexpr const char* kFileEmpty = QT_TRANSLATE_NOOP("quillow::text", "错误: 文件为空！");
inline constexpr const char* kFileError = QT_TRANSLATE_NOOP("quillow::text", "文件错误！");
inline constexpr const char* kOutOfMemory = QT_TRANSLATE_NOOP("quillow::text", "错误: 内存不足，无法载入文件");
inline constexpr const char* kLoading = QT_TRANSLATE_NOOP("quillow::text", "正载入文件...");
inline constexpr const char* kLoaded = QT_TRANSLATE_NOOP("quillow::text", "文件已载入！");
inline constexpr const char* kFinding = QT_TRANSLATE_NOOP("quillow::text", "正查找重复项...");
inline constexpr const char* kGrouping = QT_TRANSLATE_NOOP("quillow::text", "正在归组重复项...");
inline constexpr const char* kFinishing = QT_TRANSLATE_NOOP("quillow::text", "正在结束...");
inline constexpr const char* kSorting = QT_TRANSLATE_NOOP("quillow::text", "正在给重复项排序...");
inline constexpr const char* kShowingList = QT_TRANSLATE_NOOP("quillow::text", "正在显示列表...");
//: A progress text of quillow-cli --list; the percentage follows the blanks.
inline constexpr const char* kWritingList = QT_TRANSLATE_NOOP("quillow::text", "正在写出列表...       ");
inline constexpr const char* kNoDuplicates = QT_TRANSLATE_NOOP("quillow::text", "没有找到重复行...");
inline constexpr const char* kScanStopQuestion = QT_TRANSLATE_NOOP("quillow::text", "你确实想停止处理吗？");
inline constexpr const char* kNoPreview = QT_TRANSLATE_NOOP("quillow::text", "不可预览...");
// A file whose lines and index do not fit in memory is scanned through a
// temporary file, and its lines are read from the file when shown.
inline constexpr const char* kFindingOnDisk = QT_TRANSLATE_NOOP("quillow::text", "内存不够，正借助临时文件查找重复项...");
inline constexpr const char* kSpillFailed = QT_TRANSLATE_NOOP("quillow::text", "错误: 无法写入临时文件");
inline constexpr const char* kSpillReadFailed = QT_TRANSLATE_NOOP("quillow::text", "错误: 无法读取临时文件");

// Save.
inline constexpr const char* kSourceMissing = QT_TRANSLATE_NOOP("quillow::text", "无法找到来源文件！");
inline constexpr const char* kSourceChanged = QT_TRANSLATE_NOOP("quillow::text", "来源文件已被更改！取消保存...");
inline constexpr const char* kNothingSelected =
    QT_TRANSLATE_NOOP("quillow::text",
                      "没有选择重复项！ 请在重复列表中选择行并标记这些行的检查框，或点击选择按钮使用通常选项。 "
                      "那么，你就可以保存为没有这些选定行的文件。");
inline constexpr const char* kWriteProtected = QT_TRANSLATE_NOOP("quillow::text", "所选文件有写入保护。你要移除写入保护并继续保存吗？");
inline constexpr const char* kNoExtension = QT_TRANSLATE_NOOP("quillow::text", "新文件名没有包含扩展名。你打算\n添加与原始文件名一样的扩展名吗？(推荐)");
inline constexpr const char* kSavePreparing = QT_TRANSLATE_NOOP("quillow::text", "正准备保存...");
inline constexpr const char* kSaveWriting = QT_TRANSLATE_NOOP("quillow::text", "正保存文件...");
inline constexpr const char* kSourceUnreadable = QT_TRANSLATE_NOOP("quillow::text", "打开来源文件读取错误！");
inline constexpr const char* kTargetUnwritable = QT_TRANSLATE_NOOP("quillow::text", "打开文件写入错误！");
inline constexpr const char* kSaveFailed = QT_TRANSLATE_NOOP("quillow::text", "保存文件错误！");
inline constexpr const char* kSaveDone = QT_TRANSLATE_NOOP("quillow::text", "完成保存！");
inline constexpr const char* kSaveCancelled = QT_TRANSLATE_NOOP("quillow::text", "保存被取消...");
inline constexpr const char* kSaveStopQuestion = QT_TRANSLATE_NOOP("quillow::text", "你确实要中断保存吗？");
// A stop that came once the output was complete (the target in place).
inline constexpr const char* kStoppedAfterWriting = QT_TRANSLATE_NOOP("quillow::text", "已写入；写完后停止");
// The target is the new file, but its folder could not be flushed to disk:
// "written, but the folder could not be flushed: reason", and the same
// after "FILE: ".
std::string unflushedReason(int error);
std::string writtenUnflushed(const std::string& file, int error);

// Selection and copy.
inline constexpr const char* kSelecting = QT_TRANSLATE_NOOP("quillow::text", "正在选择...");
inline constexpr const char* kNothingToCopy = QT_TRANSLATE_NOOP("quillow::text", "没有复制对象...");

// The options dialog's filter test.
inline constexpr const char* kFilterTestPrompt = QT_TRANSLATE_NOOP(
    "quillow::text", "请输入一个行以便用你的过滤测试。你也可以键入 line=# 在这里 # 为当前载入文件的行号");
inline constexpr const char* kFilterTestResult = QT_TRANSLATE_NOOP("quillow::text", "你的过滤返回下述结果:\r\n\r\n");
inline constexpr const char* kFilterTestEmpty = QT_TRANSLATE_NOOP("quillow::text", "(空)");
// An empty pattern compares whole lines: the test shows the line as compared.
inline constexpr const char* kFilterTestNoFilter =
    QT_TRANSLATE_NOOP("quillow::text", "没有过滤：比较整行。比较的内容是:\r\n\r\n");
inline constexpr const char* kFilterTestFailed = QT_TRANSLATE_NOOP("quillow::text", "执行失败！正则表达式可能有语法错误...");

// The file dialogs' filter list: all files and text files.
inline constexpr const char* kFileFilter = QT_TRANSLATE_NOOP("quillow::text", "所有文件(*.*)  |*.*|文本文档(*.txt)   |*.txt");

// "3.0", with " Debug Version" in a debug run.
std::string programVersion(bool debugMode);
// "Quillow 3.0", with " Debug Version" in a debug run.
std::string productVersion(bool debugMode);

// The status text that shows when a stage begins (untranslated).
const char* stageStatus(Stage stage);
// The percentage a stage shows: the scan and the selection round down, the
// save rounds to the nearest whole number (halves to even). total <= 0
// counts as nothing done (as 1 for the save).
int64_t progressPercent(Stage stage, int64_t done, int64_t total);
// The stage's text, the blanks stored with it, the percentage and "%".
std::string progressText(Stage stage, int64_t done, int64_t total);
// "prefix N%", the prefix translated (kWritingList and the like).
std::string progressText(const char* prefix, int64_t done, int64_t total);

// Failures: the documented text stays as it is; the file and the reason
// follow it. error is the system's error number, one of the engine's own
// (engine/io/file_info.h), or 0 for the file alone.
inline constexpr const char* kNotRegularFile = QT_TRANSLATE_NOOP("quillow::text", "不是普通文件");
inline constexpr const char* kChangedWhileRead = QT_TRANSLATE_NOOP("quillow::text", "文件在读取时被更改");
inline constexpr const char* kUnsafeLink =
    QT_TRANSLATE_NOOP("quillow::text", "共享文件夹中属于他人的符号链接，不跟随");
// "FILE: reason".
std::string failureDetail(const std::string& file, int error);
// A status text: documented, a blank, the detail.
std::string failureStatus(const char* documented, const std::string& file, int error);
// A message box text: documented, the detail on a line of its own.
std::string failureMessage(const char* documented, const std::string& file, int error);

// Why a named encoding is refused; %1 is the name.
inline constexpr const char* kUnknownEncoding = QT_TRANSLATE_NOOP("quillow::text", "未知的文本编码：%1");
inline constexpr const char* kUnsupportedEncoding = QT_TRANSLATE_NOOP("quillow::text", "不支持按行处理的文本编码：%1");
std::string encodingRefusal(const EncodingRefusal& refusal);
// A stored value that cannot run: the settings file, the key and why.
std::string badStoredSetting(const std::string& file, const std::string& key, const std::string& why);

// quillow-cli: the store's file refused, memory running out outside the
// scan, and a path the slash switches cut apart.
inline constexpr const char* kSettingsUnusable = QT_TRANSLATE_NOOP("quillow::text", "无法使用设置文件，使用默认设置...");
inline constexpr const char* kOutOfMemoryElsewhere = QT_TRANSLATE_NOOP("quillow::text", "错误: 内存不足");
std::string slashCutWarning(const std::string& argument);

// Questions before an open: a file that does not look like text (%1 the
// file), and a new scan that would drop the ticks of the current list (%1 the
// number of ticked entries).
inline constexpr const char* kBinaryQuestion =
    QT_TRANSLATE_NOOP("quillow::text", "%1\n看起来是二进制文件，不是文本文件。仍要打开吗？");
inline constexpr const char* kRescanQuestion =
    QT_TRANSLATE_NOOP("quillow::text", "已勾选的 %1 个重复项将丢失。仍要重新扫描吗？");
// The status after a save in the window: lines dropped and where they went.
std::string saveSummary(int64_t dropped, const std::string& target);
// The status after a reload: ticks carried over, and ticked lines that
// changed or are no longer duplicates.
std::string reloadStatus(int64_t kept, int64_t lost);

std::string scanSummary(int64_t lines, int64_t entries, int64_t groups);
std::string scanInterrupted(int64_t entries);
// "SELECTED 共  ENTRIES 个重复项已选定。"
std::string selectionStatus(int64_t selected, int64_t entries);

}  // namespace quillow::text

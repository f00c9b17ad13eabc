#pragma once
// Every message of the command line and of quillow-cli: usage errors,
// run-time errors, the filter's pass-through note. The engine's status texts
// are in texts.h, --help and --version in command_line_help.h. Chinese
// source texts, marked for lupdate; the functions give them in the interface
// language, and so must a caller that shows a constant (text::translated).
#include <string>
#include <string_view>

#include "app/translation.h"

namespace quillow::text {

// What a value must be, for invalidValue.
inline constexpr const char* kExpectKeep = QT_TRANSLATE_NOOP("quillow::text", "first 或 last");
inline constexpr const char* kExpectStart = QT_TRANSLATE_NOOP("quillow::text", "0 到 32767 的整数");
inline constexpr const char* kExpectCount = QT_TRANSLATE_NOOP("quillow::text", "0 或更大的整数");
inline constexpr const char* kExpectField = QT_TRANSLATE_NOOP("quillow::text", "1 或更大的整数");
inline constexpr const char* kExpectCharacter = QT_TRANSLATE_NOOP("quillow::text", "一个字符");
inline constexpr const char* kExpectMatch = QT_TRANSLATE_NOOP("quillow::text", "-1 到 32767 的整数");
inline constexpr const char* kExpectFormat = QT_TRANSLATE_NOOP("quillow::text", "numbered 或 tsv");
inline constexpr const char* kExpectMemory = QT_TRANSLATE_NOOP("quillow::text", "auto，或带 K、M、G、T 的大小，如 512M");

// Usage errors: one line each, without the program's name.
std::string unknownOption(std::string_view option);
std::string optionNeedsValue(std::string_view option);
std::string optionTakesNoValue(std::string_view option);
std::string invalidValue(std::string_view option, std::string_view value, const char* expected);
inline constexpr const char* kNoInput = QT_TRANSLATE_NOOP("quillow::text", "没有给出输入文件");
inline constexpr const char* kNoOutput = QT_TRANSLATE_NOOP("quillow::text", "没有给出输出文件（-o FILE、OUTPUT 或 --in-place）");
inline constexpr const char* kEmptyFileName = QT_TRANSLATE_NOOP("quillow::text", "选项 %1 需要一个文件名");
inline constexpr const char* kListTakesNoOutput = QT_TRANSLATE_NOOP("quillow::text", "--list 把结果写到标准输出，不能给出输出文件");
inline constexpr const char* kFormatOnlyForList = QT_TRANSLATE_NOOP("quillow::text", "--format 只用于 --list");
inline constexpr const char* kInPlaceNeedsFile = QT_TRANSLATE_NOOP("quillow::text", "--in-place 需要一个输入文件");
inline constexpr const char* kOperandWithFilesFrom =
    QT_TRANSLATE_NOOP("quillow::text", "用 --files0-from 时不能再给出文件 %1");
// Two options that ask for different things.
std::string optionsConflict(std::string_view first, std::string_view second);
std::string extraOperand(std::string_view operand);
// A GNU-style line in a form that is no longer read; line is the same run
// in today's options.
std::string oldSpelling(std::string_view line);
inline constexpr const char* kSlashSwitchesRequired = QT_TRANSLATE_NOOP("quillow::text", "开关 /i、/o 和 /s 都必须给出");
std::string slashSelectInvalid(std::string_view value);
// An encoding the engine cannot read; why is the engine's reason.
std::string unknownEncoding(std::string_view option, std::string_view name, std::string_view why);
// A pattern PCRE2 refuses, with PCRE2's own words.
std::string invalidPattern(std::string_view option, std::string_view pattern, std::string_view why);
// An option of quillow-cli given to the desktop program.
std::string onlyForCli(std::string_view what);
inline constexpr const char* kStandardStreams = QT_TRANSLATE_NOOP("quillow::text", "标准输入和标准输出");

// Why a GNU-style run failed, after "FILE: ".
inline constexpr const char* kInterrupted = QT_TRANSLATE_NOOP("quillow::text", "已中断");
inline constexpr const char* kReasonOutOfMemory = QT_TRANSLATE_NOOP("quillow::text", "内存不足");
inline constexpr const char* kReasonChanged = QT_TRANSLATE_NOOP("quillow::text", "文件在读取之后被更改");
inline constexpr const char* kReasonSpill = QT_TRANSLATE_NOOP("quillow::text", "无法写入临时文件（%1）");
inline constexpr const char* kReasonSpillRead = QT_TRANSLATE_NOOP("quillow::text", "无法读取临时文件（%1）");
inline constexpr const char* kReasonEmptyName = QT_TRANSLATE_NOOP("quillow::text", "文件名为空");
inline constexpr const char* kReasonStdinName =
    QT_TRANSLATE_NOOP("quillow::text", "从标准输入读文件名时，- 不能作为文件名");

// The standard streams where a file's name would stand.
inline constexpr const char* kStandardInput = QT_TRANSLATE_NOOP("quillow::text", "标准输入");
inline constexpr const char* kStandardOutput = QT_TRANSLATE_NOOP("quillow::text", "标准输出");
// The text encoding a file was read in, when it is not UTF-8: named by a
// byte-order mark, detected, or as asked.
std::string encodingNote(std::string_view name, bool byMark, bool detected);

// A whole line for stderr: "program: message", and for usage errors the
// pointer to --help after it.
std::string errorLine(std::string_view program, std::string_view message);
std::string usageErrorLine(std::string_view program, std::string_view message);

}  // namespace quillow::text

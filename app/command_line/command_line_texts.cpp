#include "app/command_line/command_line_texts.h"

namespace quillow::text {

namespace {

std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

}  // namespace

std::string unknownOption(std::string_view option)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "未知或有歧义的选项 %1")), quoted(option));
}

std::string optionNeedsValue(std::string_view option)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "选项 %1 需要一个值")), option);
}

std::string optionTakesNoValue(std::string_view option)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "选项 %1 不带值")), option);
}

std::string invalidValue(std::string_view option, std::string_view value, const char* expected)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "选项 %1 的值 %2 无效（应为 %3）")),
               option, quoted(value), translated(expected));
}

std::string optionsConflict(std::string_view first, std::string_view second)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "选项 %1 和 %2 不能同时使用")), first, second);
}

std::string extraOperand(std::string_view operand)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "多余的操作数 %1")), quoted(operand));
}

std::string oldSpelling(std::string_view line)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "不再接受这种选项写法（含义已改变）；现在写作：%1")), line);
}

std::string slashSelectInvalid(std::string_view value)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "/s 必须是 1、2 或 3，不是 %1")), quoted(value));
}

std::string unknownEncoding(std::string_view option, std::string_view name, std::string_view why)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "选项 %1 的值 %2 无效: %3")), option, quoted(name), why);
}

std::string invalidPattern(std::string_view option, std::string_view pattern, std::string_view why)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "选项 %1 的正则表达式 %2 无效: %3")),
               option, quoted(pattern), why);
}

std::string onlyForCli(std::string_view what)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "%1 只用于 quillow-cli")), what);
}

std::string encodingNote(std::string_view name, bool byMark, bool detected)
{
    const char* note = byMark     ? QT_TRANSLATE_NOOP("quillow::text", "文本编码 %1（字节顺序标记）")
                       : detected ? QT_TRANSLATE_NOOP("quillow::text", "文本编码 %1（检测得出）")
                                  : QT_TRANSLATE_NOOP("quillow::text", "文本编码 %1");
    return arg(translated(note), name);
}

std::string errorLine(std::string_view program, std::string_view message)
{
    return std::string(program) + ": " + std::string(message) + "\n";
}

std::string usageErrorLine(std::string_view program, std::string_view message)
{
    return std::string(program) + ": " +
           arg(translated(QT_TRANSLATE_NOOP("quillow::text", "%1（见 %2 --help）")), message, program) + "\n";
}

}  // namespace quillow::text

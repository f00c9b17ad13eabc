#include "engine/command_line_texts.h"

namespace quillow::text {

namespace {

std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

}  // namespace

std::string unknownOption(std::string_view option) { return "未知或有歧义的选项 " + quoted(option); }

std::string optionNeedsValue(std::string_view option) { return "选项 " + std::string(option) + " 需要一个值"; }

std::string optionTakesNoValue(std::string_view option) { return "选项 " + std::string(option) + " 不带值"; }

std::string invalidValue(std::string_view option, std::string_view value, const char* expected)
{
    return "选项 " + std::string(option) + " 的值 " + quoted(value) + " 无效（应为 " + expected + "）";
}

std::string slashSelectInvalid(std::string_view value) { return "/s 必须是 1、2 或 3，不是 " + quoted(value); }

std::string unknownEncoding(std::string_view option, std::string_view name, std::string_view why)
{
    return "选项 " + std::string(option) + " 的值 " + quoted(name) + " 无效: " + std::string(why);
}

std::string invalidPattern(std::string_view option, std::string_view pattern, std::string_view why)
{
    return "选项 " + std::string(option) + " 的正则表达式 " + quoted(pattern) + " 无效: " + std::string(why);
}

std::string onlyForCli(std::string_view what) { return std::string(what) + " 只用于 quillow-cli"; }

std::string cannotWriteStandardOutput(std::string_view reason) { return "无法写入标准输出: " + std::string(reason); }

std::string encodingNote(std::string_view name, bool byMark, bool detected)
{
    return "文本编码 " + std::string(name) + (byMark ? "（字节顺序标记）" : detected ? "（检测得出）" : "");
}

std::string errorLine(std::string_view program, std::string_view message)
{
    return std::string(program) + ": " + std::string(message) + "\n";
}

std::string usageErrorLine(std::string_view program, std::string_view message)
{
    return std::string(program) + ": " + std::string(message) + "（见 " + std::string(program) + " --help）\n";
}

}  // namespace quillow::text

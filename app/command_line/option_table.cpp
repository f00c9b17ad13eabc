#include "app/command_line/option_table.h"

#include <QtGlobal>
#include <stdexcept>

namespace quillow {

namespace {

using G = OptionGroup;
using C = ValueCompletion;

constexpr const char* kEncodings =
    "auto UTF-8 UTF-16LE UTF-16BE GB18030 GBK Big5 Shift_JIS EUC-JP EUC-KR windows-1252 ISO-8859-1 KOI8-R";

// In the order --help lists them.
constexpr OptionEntry kTable[] = {
    {OptionId::Keep, G::Written, 0, "keep", "WHICH", false, C::Words, "first last",
     QT_TRANSLATE_NOOP("quillow::help", "重复的行留下哪一次出现：first 第一次，last 最后一次；\n"
                                        "也用于 -d 和 -c")},
    {OptionId::Unique, G::Written, 'u', "unique", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "只写只出现一次的行")},
    {OptionId::Repeated, G::Written, 'd', "repeated", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "每个重复的行只写一次（第一次出现的那一行）")},
    {OptionId::AllRepeated, G::Written, 'D', "all-repeated", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "重复的行每次出现都写，按文件中的顺序")},
    {OptionId::Count, G::Written, 'c', "count", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "每个行写一次，前面是出现的次数（同 uniq -c），\n"
                                        "按第一次出现的顺序；与 -d 同用时只写重复的行")},
    {OptionId::List, G::Written, 0, "list", nullptr, true, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "桌面程序的重复项列表：每次出现一行\n"
                                        "\"[行号]   文本\"（UTF-8）")},
    {OptionId::Format, G::Written, 0, "format", "FORM", true, C::Words, "numbered tsv",
     QT_TRANSLATE_NOOP("quillow::help", "--list 的格式：numbered，或 tsv（行号、组号和\n"
                                        "文本，以制表符分隔）")},
    {OptionId::DropEmpty, G::Written, 0, "drop-empty", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "不写空行")},
    {OptionId::WriteKeys, G::Written, 0, "write-keys", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "每行写成它比较的部分（去掉两端空格、跳过\n"
                                        "字段和字符、过滤之后）")},

    {OptionId::IgnoreCase, G::Compared, 'i', "ignore-case", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "不区分大小写（Unicode 大小写折叠）")},
    {OptionId::SkipFields, G::Compared, 'f', "skip-fields", "N", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "不比较前 N 个字段（字段是空白加非空白；\n"
                                        "有 -t 时以 SEP 分隔）")},
    {OptionId::SkipChars, G::Compared, 's', "skip-chars", "N", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "不比较前 N 个字符")},
    {OptionId::CheckChars, G::Compared, 'w', "check-chars", "N", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "最多比较 N 个字符")},
    {OptionId::KeyField, G::Compared, 'k', "key", "N", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "只比较第 N 个字段")},
    {OptionId::Separator, G::Compared, 't', "field-separator", "SEP", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "字段以字符 SEP 分隔（用于 -k 和 -f）；\n"
                                        "双引号中的字段可以包含 SEP（CSV）")},
    {OptionId::Trim, G::Compared, 0, "trim", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "不比较两端的空格")},
    {OptionId::Regex, G::Compared, 0, "regex", "PATTERN", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "只比较正则表达式 PATTERN 匹配的部分")},
    {OptionId::Match, G::Compared, 0, "match", "N", false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "哪个匹配作为比较的键：-1 最后一个，\n"
                                        "0 所有匹配连在一起，N 第 N 个")},
    {OptionId::Compat, G::Compared, 0, "compat", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "兼容字符视为相同（全角与半角字母和\n"
                                        "数字、连字等：NFKC）")},
    {OptionId::ZeroTerminated, G::Compared, 'z', "zero-terminated", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "行以 NUL 结束，而不是换行符")},

    {OptionId::Output, G::Files, 'o', "output", "FILE", false, C::File, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "把结果写到 FILE，可以就是输入文件")},
    {OptionId::InPlace, G::Files, 0, "in-place", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "把结果写回 INPUT（经临时文件整体替换）")},
    {OptionId::FilesFrom, G::Files, 0, "files0-from", "F", true, C::File, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "依次读 F 中列出的文件（以 NUL 分隔），\n"
                                        "像 cat 一样连起来；F 为 - 时从标准输入读文件名")},
    {OptionId::Encoding, G::Files, 0, "encoding", "NAME", false, C::Words, kEncodings,
     QT_TRANSLATE_NOOP("quillow::help", "文件的文本编码：auto 按字节顺序标记、UTF-16 的\n"
                                        "特征、UTF-8 的有效性依次判断，否则推测；\n"
                                        "或任何 ICU 编码名称（GB18030、UTF-16LE ...）")},
    {OptionId::MaxMemory, G::Files, 0, "max-memory", "SIZE", false, C::Words, "auto 256M 1G 4G",
     QT_TRANSLATE_NOOP("quillow::help", "扫描最多使用的内存（512M、4G ...；auto 为\n"
                                        "本机可用的内存）；文件和索引放不下时借助\n"
                                        "$TMPDIR 中的临时文件分区扫描，结果相同")},

    {OptionId::UseSettings, G::Other, 0, "use-settings", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "从桌面程序保存的设置开始，给出的选项加在上面")},
    {OptionId::Verbose, G::Other, 'v', "verbose", nullptr, true, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "结束时在标准错误上写一行摘要")},
    {OptionId::Help, G::Other, 'h', "help", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "显示此帮助并退出")},
    {OptionId::Version, G::Other, 'V', "version", nullptr, false, C::None, nullptr,
     QT_TRANSLATE_NOOP("quillow::help", "显示版本、许可证和所用库的版本并退出")},
};

}  // namespace

std::span<const OptionEntry> optionTable() { return kTable; }

const OptionEntry& optionEntry(OptionId id)
{
    for (const OptionEntry& entry : kTable)
        if (entry.id == id)
            return entry;
    throw std::logic_error("an option missing from the table");
}

bool shownFor(const OptionEntry& entry, Program program) { return program == Program::Cli || !entry.cliOnly; }

std::string optionSynopsis(const OptionEntry& entry)
{
    std::string out = entry.shortName ? std::string("-") + entry.shortName + ", " : std::string("    ");
    out += std::string("--") + entry.longName;
    if (entry.valueName)
        out += std::string("=") + entry.valueName;
    return out;
}

std::string optionName(const OptionEntry& entry)
{
    const std::string longName = std::string("--") + entry.longName;
    return entry.shortName ? std::string("-") + entry.shortName + " (" + longName + ")" : longName;
}

}  // namespace quillow

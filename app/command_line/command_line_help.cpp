#include "app/command_line/command_line_help.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <unicode/uversion.h>

#include <QtGlobal>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "app/command_line/option_table.h"
#include "app/settings/settings.h"
#include "app/texts.h"
#include "app/translation.h"

namespace quillow {

namespace {

std::string helpText(const char* source) { return text::translated(source, kHelpContext); }

// A paragraph (no term), or a term with its explanation. Lines of at most 72
// columns, so that the man page shows them as --help does.
struct Item {
    const char* term;
    const char* text;
};

struct Section {
    const char* helpTitle;  // empty: plain paragraphs after the options
    const char* manTitle;
    std::vector<Item> items;
};

struct Page {
    const char* name;
    const char* what;  // the man page's NAME line
    std::vector<const char*> usage;
    const char* summary;
    std::vector<Section> sections;
};

const char* groupTitle(OptionGroup group)
{
    switch (group) {
    case OptionGroup::Written:
        return QT_TRANSLATE_NOOP("quillow::help", "写出什么");
    case OptionGroup::Compared:
        return QT_TRANSLATE_NOOP("quillow::help", "怎样比较");
    case OptionGroup::Files:
        return QT_TRANSLATE_NOOP("quillow::help", "文件和内存");
    case OptionGroup::Other:
        break;
    }
    return QT_TRANSLATE_NOOP("quillow::help", "其他");
}

// What an option is when it is not given (the documented defaults are the
// code's defaults); empty for options without a value.
std::string defaultValue(OptionId id)
{
    const Options d = documentedDefaults();
    switch (id) {
    case OptionId::Keep:
        return "first";
    case OptionId::Format:
        return "numbered";
    case OptionId::Encoding:
        return d.textEncoding;
    case OptionId::MaxMemory:
        return d.maxMemory;
    case OptionId::Match:
        return std::to_string(d.filterMatch);
    default:
        return {};
    }
}

const char* const kSyntax =
    QT_TRANSLATE_NOOP("quillow::help", "第一个参数是斜杠开关（以 /i、/o、/s、/c、/r、/m、/f、/x、/a、/p 开头）\n"
                                       "或 DEBUG_MODE 时，整行按斜杠开关解读：开关的值一直延续到下一个\n"
                                       "开关（所以 /f -3 和 /a -5 照常使用），路径中间出现开关文本时值在那里\n"
                                       "被截断，绝对路径请用上面的选项。");

const char* const kKeyOrder =
    QT_TRANSLATE_NOOP("quillow::help", "比较的部分依次这样取：-k 的字段，跳过 -f 个字段，--trim，跳过 -s 个\n"
                                       "字符，最多 -w 个字符，--regex 匹配的部分；然后按 -i 和 --compat 比较。\n"
                                       "比较的部分为空或只有空格的行从不算重复。");

const Page& cliPage()
{
    static const Page page = {
        "quillow-cli",
        QT_TRANSLATE_NOOP("quillow::help", "查找并删除文本文件中重复的行（命令行）"),
        {
            QT_TRANSLATE_NOOP("quillow::help", "quillow-cli [选项]... [INPUT [OUTPUT]]"),
            "quillow-cli /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]",
            "            [/f N] [/x PATTERN] [/a N] [/p on|off]",
        },
        QT_TRANSLATE_NOOP("quillow::help", "把 INPUT 写到 OUTPUT，每个行只留第一次出现（像 awk '!a[$0]++'）。\n"
                                           "没有 INPUT 或为 - 时读标准输入，没有 OUTPUT 或为 - 时写到标准输出。\n"
                                           "行默认按原样比较；空行和只有空格的行从不算重复。写出的行都是它们在\n"
                                           "输入中的字节：编码、无效字节和行尾都不变。"),
        {
            {"",
             QT_TRANSLATE_NOOP("quillow::help", "说明"),
             {
                 {nullptr, kKeyOrder},
                 {nullptr,
                  QT_TRANSLATE_NOOP("quillow::help", "未给出的选项取上面写的默认值，不读桌面程序保存的设置（除非给出\n"
                                                     "--use-settings）。斜杠开关总是从保存的设置开始，开关覆盖其中的值。\n"
                                                     "quillow-cli 从不改动保存的设置。")},
                 {nullptr, kSyntax},
                 {nullptr,
                  QT_TRANSLATE_NOOP("quillow::help", "成功时标准错误上什么也没有（-v 写一行摘要）；错误写成\n"
                                                     "\"quillow-cli: 文件: 原因\"。Ctrl-C、SIGTERM 和 SIGHUP 立即停止，不留下\n"
                                                     "写了一半的文件；标准输出被关闭时悄然结束（SIGPIPE）。斜杠开关的运行\n"
                                                     "在标准错误上写出最后的状态文本。")},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "退出状态"),
             QT_TRANSLATE_NOOP("quillow::help", "退出状态"),
             {
                 {"0", QT_TRANSLATE_NOOP("quillow::help", "输出写好了（没有要删除的行时，输出就是输入）")},
                 {"1", QT_TRANSLATE_NOOP("quillow::help", "只用于斜杠开关：没有重复的行或没有选中的行，不写文件")},
                 {"2", QT_TRANSLATE_NOOP("quillow::help", "用法错误，或者无法读取输入")},
                 {"3", QT_TRANSLATE_NOOP("quillow::help", "无法写出输出（源文件保持原样）")},
                 {"4", QT_TRANSLATE_NOOP("quillow::help", "输出已写好并就位，但无法把所在文件夹写入磁盘\n"
                                                     "（断电时可能丢失）")},
                 {"130", QT_TRANSLATE_NOOP("quillow::help", "被 Ctrl-C、SIGTERM 或 SIGHUP 停止（输出写好之后\n"
                                                       "才到的停止：0）")},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "示例"),
             QT_TRANSLATE_NOOP("quillow::help", "示例"),
             {
                 {"quillow-cli in.txt out.txt", QT_TRANSLATE_NOOP("quillow::help", "每个重复的行只留第一次出现")},
                 {"quillow-cli -i --in-place names.txt",
                  QT_TRANSLATE_NOOP("quillow::help", "同上，不区分大小写，改写 names.txt 本身")},
                 {"some-command | quillow-cli -u", QT_TRANSLATE_NOOP("quillow::help", "只写只出现一次的行")},
                 {"quillow-cli -cd access.log | sort -rn | head",
                  QT_TRANSLATE_NOOP("quillow::help", "出现次数最多的行")},
                 {"quillow-cli -t , -k 2 data.csv", QT_TRANSLATE_NOOP("quillow::help", "第二个字段重复的记录只留第一条")},
                 {"find . -name '*.log' -print0 | quillow-cli --files0-from=- -D",
                  QT_TRANSLATE_NOOP("quillow::help", "所有日志中重复的行，每次出现都写")},
                 {"quillow-cli --list --format tsv in.txt", QT_TRANSLATE_NOOP("quillow::help", "每个重复项的行号、组号和文本")},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "文件"),
             QT_TRANSLATE_NOOP("quillow::help", "文件"),
             {
                 {"~/.config/Orvandel/Quillow.conf",
                  QT_TRANSLATE_NOOP("quillow::help", "桌面程序保存的设置（设置了 $XDG_CONFIG_HOME 时在它下面）；\n"
                                                     "只在斜杠开关或 --use-settings 时读取，从不写入")},
             }},
        },
    };
    return page;
}

const Page& desktopPage()
{
    static const Page page = {
        "quillow",
        QT_TRANSLATE_NOOP("quillow::help", "查找并删除文本文件中重复的行（桌面程序）"),
        {
            "quillow [FILE]",
            QT_TRANSLATE_NOOP("quillow::help", "quillow [选项]... FILE"),
            QT_TRANSLATE_NOOP("quillow::help", "quillow [选项]... INPUT -o OUTPUT"),
            "quillow /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]",
            "        [/f N] [/x PATTERN] [/a N] [/p on|off]",
        },
        QT_TRANSLATE_NOOP("quillow::help", "查找文本文件中出现不止一次的行，选择删除哪些出现，写出清理后的副本。\n"
                                           "不带参数时打开窗口；给出 FILE 时打开窗口并扫描 FILE，选择如何比较和\n"
                                           "读取的选项用于这次扫描；给出输出（-o、OUTPUT 或 --in-place）时自己\n"
                                           "清理 INPUT，像 quillow-cli 那样写出，在窗口中显示进度，然后关闭。"),
        {
            {"",
             QT_TRANSLATE_NOOP("quillow::help", "说明"),
             {
                 {nullptr, kKeyOrder},
                 {nullptr,
                  QT_TRANSLATE_NOOP("quillow::help", "运行从上面写的默认值开始（--use-settings 时从保存的设置开始）；\n"
                                                     "完成的运行不改动保存的设置。DEBUG_MODE 取消窗口的最小尺寸。")},
                 {nullptr, kSyntax},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "运行的退出状态"),
             QT_TRANSLATE_NOOP("quillow::help", "退出状态"),
             {
                 {"0", QT_TRANSLATE_NOOP("quillow::help", "输出写好了")},
                 {"1", QT_TRANSLATE_NOOP("quillow::help", "只用于斜杠开关：没有重复的行或没有选中的行")},
                 {"2", QT_TRANSLATE_NOOP("quillow::help", "用法错误，或者无法读取输入")},
                 {"3", QT_TRANSLATE_NOOP("quillow::help", "无法写出输出")},
                 {"4", QT_TRANSLATE_NOOP("quillow::help", "输出已写好并就位，但无法把所在文件夹写入磁盘\n"
                                                     "（断电时可能丢失）")},
                 {nullptr, QT_TRANSLATE_NOOP("quillow::help", "用\"停止\"按钮停止的运行留下打开的窗口。")},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "文件"),
             QT_TRANSLATE_NOOP("quillow::help", "文件"),
             {
                 {"~/.config/Orvandel/Quillow.conf",
                  QT_TRANSLATE_NOOP("quillow::help", "保存的设置（设置了 $XDG_CONFIG_HOME 时在它下面）")},
             }},
        },
    };
    return page;
}

const Page& pageOf(Program program) { return program == Program::Cli ? cliPage() : desktopPage(); }

// Terminal columns: CJK characters and full-width punctuation take two.
size_t columns(std::string_view s)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        n += len >= 3 ? 2 : 1;
        i += len;
    }
    return n;
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (size_t at = 0;;) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos)
            return lines;
        at = end + 1;
    }
}

std::string padded(std::string_view s, size_t width)
{
    std::string out(s);
    out.append(width > columns(s) ? width - columns(s) : 1, ' ');
    return out;
}

// The option's help with its default after it, on a line of its own when
// the last line has no room for it.
std::string withDefault(const OptionEntry& o)
{
    constexpr size_t kWidth = 54;
    std::string text = helpText(o.help);
    const std::string value = defaultValue(o.id);
    if (value.empty())
        return text;
    const char* pattern = QT_TRANSLATE_NOOP("quillow::help", "%1（默认：%2）");
    const std::string joined = text::arg(helpText(pattern), text, value);
    if (columns(linesOf(joined).back()) <= kWidth)
        return joined;
    std::string own = text::arg(helpText(pattern), "", value);
    own.erase(0, own.find_first_not_of(' '));
    return text + "\n" + own;
}

// ---- roff ----

// Text as roff reads it literally: backslashes and minus signs escaped, a
// control character at the start of a line defused.
std::string roff(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

// Lines kept as they are (no filling): they are already broken for a
// terminal, and roff cannot break Chinese text by itself. The first line
// is filled, so that it can stand beside a short tag.
std::string roffLines(std::string_view text)
{
    const std::vector<std::string_view> lines = linesOf(text);
    std::string out = roff(lines[0]) + "\n";
    if (lines.size() > 1) {
        out += ".nf\n";
        for (size_t i = 1; i < lines.size(); ++i)
            out += roff(lines[i]) + "\n";
        out += ".fi\n";
    }
    return out;
}

// "-i, --input=FILE": the names bold, the value italic.
std::string roffOptionNames(std::string_view names)
{
    names.remove_prefix(names.find_first_not_of(' '));
    std::string out;
    for (size_t at = 0;;) {
        const size_t comma = names.find(", ", at);
        const std::string_view one = names.substr(at, comma == std::string_view::npos ? comma : comma - at);
        const size_t eq = one.find('=');
        out += "\\fB" + roff(one.substr(0, eq)) + "\\fR";
        if (eq != std::string_view::npos)
            out += "=\\fI" + roff(one.substr(eq + 1)) + "\\fR";
        if (comma == std::string_view::npos)
            return out;
        out += ", ";
        at = comma + 2;
    }
}

// The options program takes, in the table's order, each group's title
// (untranslated) before its first option.
void forEachOption(Program program, const std::function<void(const char*)>& onGroup,
                   const std::function<void(const OptionEntry&)>& onOption)
{
    std::optional<OptionGroup> group;
    for (const OptionEntry& o : optionTable()) {
        if (!shownFor(o, program))
            continue;
        if (o.group != group) {
            group = o.group;
            onGroup(groupTitle(o.group));
        }
        onOption(o);
    }
}

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace

std::string commandLineHelp(Program program)
{
    const Page& page = pageOf(program);
    std::string out;
    const std::string usage = helpText(QT_TRANSLATE_NOOP("quillow::help", "用法："));
    const std::string orUsage = helpText(QT_TRANSLATE_NOOP("quillow::help", "  或："));
    for (size_t i = 0; i < page.usage.size(); ++i)
        out += (i == 0 ? usage : page.usage[i][0] == ' ' ? std::string(columns(usage), ' ') : orUsage) +
               helpText(page.usage[i]) + "\n";
    out += helpText(page.summary);
    out += "\n";
    constexpr size_t kColumn = 26;
    forEachOption(program, [&](const char* title) {
        out += "\n" + text::arg(helpText(QT_TRANSLATE_NOOP("quillow::help", "%1：")), helpText(title)) + "\n";
    }, [&](const OptionEntry& o) {
        const std::string names = "  " + optionSynopsis(o);
        // A long name gets its text on the next line.
        const bool below = columns(names) + 2 > kColumn;
        out += below ? names + "\n" : padded(names, kColumn);
        const std::string text = withDefault(o);
        const std::vector<std::string_view> lines = linesOf(text);
        for (size_t i = 0; i < lines.size(); ++i)
            out += (i || below ? std::string(kColumn, ' ') : std::string()) + std::string(lines[i]) + "\n";
    });
    for (const Section& section : page.sections) {
        if (*section.helpTitle) {
            const std::string title = helpText(section.helpTitle);
            out += "\n" + text::arg(helpText(QT_TRANSLATE_NOOP("quillow::help", "%1：")), title) + "\n";
        }
        for (const Item& item : section.items) {
            const std::string itemText = helpText(item.text);
            if (!item.term) {
                out += (*section.helpTitle ? "" : "\n") + itemText + "\n";
                continue;
            }
            const bool sameLine = columns(item.term) <= 4;
            out += "  " + (sameLine ? padded(item.term, 5) : std::string(item.term) + "\n      ");
            const std::vector<std::string_view> lines = linesOf(itemText);
            for (size_t i = 0; i < lines.size(); ++i)
                out += (i ? std::string(sameLine ? 7 : 6, ' ') : std::string()) + std::string(lines[i]) + "\n";
        }
    }
    return out;
}

std::string versionText(Program program)
{
    char pcre2[64] = "";
    pcre2_config(PCRE2_CONFIG_VERSION, pcre2);
    std::string_view pcre2Version(pcre2);
    pcre2Version = pcre2Version.substr(0, pcre2Version.find(' '));  // without the release date
    UVersionInfo icu;
    u_getVersion(icu);
    char icuVersion[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(icu, icuVersion);
    return std::string(pageOf(program).name) + " " + text::kVersion + "\n" +
           text::arg(helpText(QT_TRANSLATE_NOOP("quillow::help", "许可证：MIT\nQt %1，PCRE2 %2，ICU %3")),
                     qVersion(), pcre2Version, icuVersion) +
           "\n";
}

std::string manPage(Program program)
{
    const Page& page = pageOf(program);
    std::string out = ".\\\" Made from the texts of " + std::string(page.name) + " --help.\n";
    // Headings in capitals, as man pages have them (Chinese has none).
    auto heading = [](const char* source) { return ".SH " + upper(helpText(source)) + "\n"; };
    out += ".TH " + upper(page.name) + " 1 \"\" \"Quillow " + text::kVersion + "\" \"" +
           helpText(QT_TRANSLATE_NOOP("quillow::help", "用户命令")) + "\"\n";
    out += heading(QT_TRANSLATE_NOOP("quillow::help", "名称")) + roff(page.name) + " \\- " + helpText(page.what) + "\n";
    out += heading(QT_TRANSLATE_NOOP("quillow::help", "概述"));
    out += roffLines([&] {
        std::string usage;
        for (const char* line : page.usage)
            usage += helpText(line) + "\n";
        usage.pop_back();
        return usage;
    }());
    out += heading(QT_TRANSLATE_NOOP("quillow::help", "描述")) + roffLines(helpText(page.summary));
    out += heading(QT_TRANSLATE_NOOP("quillow::help", "选项"));
    forEachOption(program, [&](const char* title) { out += ".SS " + roff(helpText(title)) + "\n"; },
                  [&](const OptionEntry& o) {
                      // Wide enough that a short tag ("--list") stands apart from its text.
                      out += ".TP 8\n" + roffOptionNames(optionSynopsis(o)) + "\n" + roffLines(withDefault(o));
                  });
    for (const Section& section : page.sections) {
        out += heading(section.manTitle);
        for (const Item& item : section.items) {
            if (item.term)
                out += ".TP\n\\fB" + roff(item.term) + "\\fR\n";
            else
                out += ".PP\n";
            out += roffLines(helpText(item.text));
        }
    }
    out += heading(QT_TRANSLATE_NOOP("quillow::help", "参见"));
    out += program == Program::Cli ? "\\fBquillow\\fR(1)\n" : "\\fBquillow\\-cli\\fR(1)\n";
    return out;
}

}  // namespace quillow

#include "app/command_line/command_line_help.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <unicode/uversion.h>

#include <QtGlobal>
#include <string_view>
#include <vector>

#include "app/settings/settings.h"
#include "app/texts.h"
#include "app/translation.h"

namespace quillow {

namespace {

enum ShownIn : unsigned { kDesktop = 1, kCli = 2, kBoth = kDesktop | kCli };

// The texts below are Chinese sources marked for lupdate; helpText gives
// them in the interface language where the help and the man pages are made.
constexpr const char* kHelpContext = "quillow::help";

std::string helpText(const char* source) { return text::translated(source, kHelpContext); }

// One option: its names (ASCII, as typed), what it does (lines of at most
// 54 columns; a line starting with blanks is a sub-item), and quillow-cli's
// default when it is not given (the desktop program starts from the stored
// settings instead).
struct OptionHelp {
    unsigned shownIn;
    const char* names;
    const char* text;
    std::string defaultValue;
};

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

const char* onOff(bool on) { return on ? "on" : "off"; }

const std::vector<OptionHelp>& options()
{
    const Options d;  // the documented defaults are the code's defaults
    static const std::vector<OptionHelp> table = {
        {kDesktop, "-i, --input=FILE", QT_TRANSLATE_NOOP("quillow::help", "要扫描的文件（也可以直接写 FILE）"), ""},
        {kCli, "-i, --input=FILE",
         QT_TRANSLATE_NOOP("quillow::help", "要扫描的文件（也可以直接写 FILE）；\n"
                                            "- 读标准输入"),
         ""},
        {kDesktop, "-o, --output=FILE", QT_TRANSLATE_NOOP("quillow::help", "要写出的清理后的文件，可以就是输入文件"), ""},
        {kCli, "-o, --output=FILE",
         QT_TRANSLATE_NOOP("quillow::help", "要写出的清理后的文件，可以就是输入文件；\n"
                                            "- 写到标准输出，没有要删除的行时原样输出"),
         ""},
        {kBoth, "-s, --select=RULE",
         QT_TRANSLATE_NOOP("quillow::help", "删除哪些出现：\n"
                                            "  1, all            每个重复行的所有出现\n"
                                            "  2, all-but-first  除第一次以外的所有出现\n"
                                            "  3, all-but-last   除最后一次以外的所有出现"),
         ""},
        {kBoth, "-c, --case=on|off", QT_TRANSLATE_NOOP("quillow::help", "on: 只有大小写不同的行算作不同"),
         onOff(d.caseSensitive)},
        {kBoth, "-r, --trim=on|off", QT_TRANSLATE_NOOP("quillow::help", "on: 比较时忽略两端的空格"), onOff(d.trimLines)},
        {kBoth, "-m, --save-empty=on|off", QT_TRANSLATE_NOOP("quillow::help", "off: 清理后的文件中不写空行"),
         onOff(d.saveEmptyLines)},
        {kBoth, "-f, --start=N", QT_TRANSLATE_NOOP("quillow::help", "比较时跳过每行的前 N 个字符，N >= 0"),
         std::to_string(d.startPos)},
        {kBoth, "-x, --regex=PATTERN",
         QT_TRANSLATE_NOOP("quillow::help", "只比较正则表达式 PATTERN 匹配的部分；\n"
                                            "空的 PATTERN 关闭过滤"),
         d.filterPattern.empty() ? QT_TRANSLATE_NOOP("quillow::help", "不过滤") : d.filterPattern},
        {kBoth, "-a, --match=N",
         QT_TRANSLATE_NOOP("quillow::help", "哪个匹配作为比较的键：-1 最后一个，\n"
                                            "0 所有匹配连在一起，N 第 N 个"),
         std::to_string(d.filterMatch)},
        {kBoth, "-p, --apply-filter=on|off",
         QT_TRANSLATE_NOOP("quillow::help", "on: 各行按比较时的样子写出：去掉两端\n"
                                            "空格、跳过前面的字符、过滤之后"),
         onOff(d.saveApplyFilter)},
        {kBoth, "-e, --encoding=NAME",
         QT_TRANSLATE_NOOP("quillow::help", "文件的文本编码：auto 按字节顺序标记、UTF-16 的\n"
                                            "特征、UTF-8 的有效性依次判断，否则推测；\n"
                                            "或任何 ICU 编码名称（GB18030、UTF-16LE ...）"),
         d.textEncoding},
        {kBoth, "    --compat=on|off",
         QT_TRANSLATE_NOOP("quillow::help", "on: 兼容字符视为相同（全角与半角字母和\n"
                                            "数字、连字等：NFKC）"),
         onOff(d.compatForms)},
        {kBoth, "    --max-memory=SIZE",
         QT_TRANSLATE_NOOP("quillow::help", "扫描最多使用的内存（512M、4G ...；auto 为\n"
                                            "本机可用的内存）；文件和索引放不下时借助\n"
                                            "$TMPDIR 中的临时文件分区扫描，结果相同"),
         d.maxMemory},
        {kCli, "-l, --list", QT_TRANSLATE_NOOP("quillow::help", "只扫描，把每个重复项写到标准输出（UTF-8）"), ""},
        {kCli, "    --count",
         QT_TRANSLATE_NOOP("quillow::help", "只扫描，每组重复行写一行：出现次数、\n"
                                            "制表符、--list 显示的该组文本"),
         ""},
        {kCli, "    --format=FORM",
         QT_TRANSLATE_NOOP("quillow::help", "--list 的格式：numbered 每项一行 \"[行号]   文本\"；\n"
                                            "tsv 每项一行：行号、组号、文本，以制表符\n"
                                            "分隔"),
         "numbered"},
        {kCli, "    --use-settings",
         QT_TRANSLATE_NOOP("quillow::help", "未给出的选项取桌面程序保存的设置，\n"
                                            "而不是这里写的默认值"),
         ""},
        {kCli, "-q, --quiet", QT_TRANSLATE_NOOP("quillow::help", "成功时什么也不输出（错误照样报告）"), ""},
        {kBoth, "-h, --help", QT_TRANSLATE_NOOP("quillow::help", "显示此帮助并退出"), ""},
        {kBoth, "-V, --version", QT_TRANSLATE_NOOP("quillow::help", "显示版本、许可证和所用库的版本并退出"), ""},
    };
    return table;
}

const char* const kSyntax =
    QT_TRANSLATE_NOOP("quillow::help", "第一个参数是斜杠开关（以 /i、/o、/s、/c、/r、/m、/f、/x、/a、/p 开头）\n"
                                       "或 DEBUG_MODE 时，整行按斜杠开关解读：开关的值一直延续到下一个\n"
                                       "开关（所以 /f -3 和 /a -5 照常使用），路径中间出现开关文本时值在那里\n"
                                       "被截断，绝对路径请用上面的选项。否则只要有参数以 - 开头，就按上面的\n"
                                       "选项解读。");

const Page& cliPage()
{
    static const Page page = {
        "quillow-cli",
        QT_TRANSLATE_NOOP("quillow::help", "查找并删除文本文件中重复的行（命令行）"),
        {
            QT_TRANSLATE_NOOP("quillow::help", "quillow-cli -i FILE -o FILE -s RULE [选项]..."),
            QT_TRANSLATE_NOOP("quillow::help", "quillow-cli --list [--format=FORM] [选项]... FILE"),
            QT_TRANSLATE_NOOP("quillow::help", "quillow-cli --count [选项]... FILE"),
            "quillow-cli /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]",
            "            [/f N] [/x PATTERN] [/a N] [/p on|off]",
        },
        QT_TRANSLATE_NOOP("quillow::help", "查找文本文件中出现不止一次的行，按 RULE 删除其中一些出现，写出清理后\n"
                                           "的副本；或者只列出、统计重复的行。不需要图形界面。"),
        {
            {"",
             QT_TRANSLATE_NOOP("quillow::help", "说明"),
             {
                 {nullptr,
                  QT_TRANSLATE_NOOP("quillow::help", "未给出的选项取上面写的默认值，不读桌面程序保存的设置；给出\n"
                                                     "--use-settings 时取保存的设置。斜杠开关总是从保存的设置开始，\n"
                                                     "开关覆盖其中的值。quillow-cli 从不改动保存的设置。")},
                 {nullptr, kSyntax},
                 {nullptr,
                  QT_TRANSLATE_NOOP("quillow::help", "标准错误是终端时显示进度。文本编码不是 UTF-8 时在标准错误上说明\n"
                                                     "（-q 时不说）。最后一行是结果：输出完整写好之后的状态文本（-q 时\n"
                                                     "没有），或者写明程序、文件和原因的错误。Ctrl-C 干净地停止，不留下\n"
                                                     "写了一半的文件。")},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "退出状态"),
             QT_TRANSLATE_NOOP("quillow::help", "退出状态"),
             {
                 {"0",
                  QT_TRANSLATE_NOOP("quillow::help", "写出了清理后的文件，或者把输入原样写到了标准输出；\n"
                                                     "--list 和 --count：找到了重复的行")},
                 {"1", QT_TRANSLATE_NOOP("quillow::help", "没有可做的：没有重复的行，或者没有选中的行；不写文件")},
                 {"2", QT_TRANSLATE_NOOP("quillow::help", "用法错误，或者无法读取输入")},
                 {"3", QT_TRANSLATE_NOOP("quillow::help", "无法写出输出（源文件保持原样）")},
                 {"4", QT_TRANSLATE_NOOP("quillow::help", "输出已写好并就位，但无法把所在文件夹写入磁盘\n"
                                                     "（断电时可能丢失）")},
                 {"130", QT_TRANSLATE_NOOP("quillow::help", "被 Ctrl-C 停止（输出写好之后才到的停止：0）")},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "示例"),
             QT_TRANSLATE_NOOP("quillow::help", "示例"),
             {
                 {"quillow-cli -i in.txt -o out.txt -s all-but-first",
                  QT_TRANSLATE_NOOP("quillow::help", "每个重复的行只保留第一次出现")},
                 {"quillow-cli -i in.txt -o in.txt -s 1 -c on",
                  QT_TRANSLATE_NOOP("quillow::help", "删除所有重复的行（区分大小写），改写 in.txt 本身")},
                 {"some-command | quillow-cli -i - -o - -s 2 > out.txt",
                  QT_TRANSLATE_NOOP("quillow::help", "作为过滤器：去掉重复的行，其余原样传下去")},
                 {"quillow-cli --count access.log | sort -rn | head", QT_TRANSLATE_NOOP("quillow::help", "出现次数最多的行")},
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
            QT_TRANSLATE_NOOP("quillow::help", "quillow -i FILE -o FILE -s RULE [选项]..."),
            "quillow /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]",
            "        [/f N] [/x PATTERN] [/a N] [/p on|off]",
        },
        QT_TRANSLATE_NOOP("quillow::help", "查找文本文件中出现不止一次的行，选择删除哪些出现，写出清理后的副本。\n"
                                           "不带参数时打开窗口供交互使用；只给 FILE 时打开窗口并扫描 FILE；给出\n"
                                           "下面的选项时自己清理 FILE，在窗口中显示进度，然后关闭。"),
        {
            {"",
             QT_TRANSLATE_NOOP("quillow::help", "说明"),
             {
                 {nullptr,
                  QT_TRANSLATE_NOOP("quillow::help", "选项只在这一次运行中覆盖保存的设置；完成的运行不改动保存的设置。\n"
                                                     "DEBUG_MODE 取消窗口的最小尺寸。quillow-cli 不开窗口做同样的事。")},
                 {nullptr, kSyntax},
             }},
            {QT_TRANSLATE_NOOP("quillow::help", "运行的退出状态"),
             QT_TRANSLATE_NOOP("quillow::help", "退出状态"),
             {
                 {"0", QT_TRANSLATE_NOOP("quillow::help", "写出了清理后的文件")},
                 {"1", QT_TRANSLATE_NOOP("quillow::help", "没有可做的：没有重复的行，或者没有选中的行")},
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

unsigned shownIn(Program program) { return program == Program::Cli ? kCli : kDesktop; }

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

std::string withDefault(const OptionHelp& o, Program program)
{
    std::string text = helpText(o.text);
    if (program == Program::Cli && !o.defaultValue.empty())
        text = text::arg(helpText(QT_TRANSLATE_NOOP("quillow::help", "%1（默认：%2）")),
                         text, helpText(o.defaultValue.c_str()));
    return text;
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
    out += "\n\n" + helpText(QT_TRANSLATE_NOOP("quillow::help", "选项：")) + "\n";
    constexpr size_t kColumn = 26;
    for (const OptionHelp& o : options()) {
        if (!(o.shownIn & shownIn(program)))
            continue;
        const std::string names = std::string("  ") + o.names;
        // A long name gets its text on the next line.
        const bool below = columns(names) + 2 > kColumn;
        out += below ? names + "\n" : padded(names, kColumn);
        const std::string text = withDefault(o, program);
        const std::vector<std::string_view> lines = linesOf(text);
        for (size_t i = 0; i < lines.size(); ++i)
            out += (i || below ? std::string(kColumn, ' ') : std::string()) + std::string(lines[i]) + "\n";
    }
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
    for (const OptionHelp& o : options())
        if (o.shownIn & shownIn(program))
            out += ".TP\n" + roffOptionNames(o.names) + "\n" + roffLines(withDefault(o, program));
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

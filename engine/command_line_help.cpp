#include "engine/command_line_help.h"

#include "engine/texts.h"

namespace quillow {

namespace {

const char* const kCliUsage =
    "Usage: quillow-cli -i FILE -o FILE -s RULE [OPTION]...\n"
    "   or: quillow-cli --list [OPTION]... FILE\n"
    "   or: quillow-cli /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]\n"
    "                   [/f N] [/x PATTERN] [/a N] [/p on|off]\n"
    "Find the lines that occur more than once in a text file and write a copy\n"
    "without the occurrences chosen by RULE.\n"
    "\n";
const char* const kCliNotes =
    "\n"
    "Options not given are taken from the settings of the desktop program;\n"
    "quillow-cli never changes those settings. Any argument starting with '-'\n"
    "selects the options above; otherwise the arguments are read as the classic\n"
    "slash switches (where a path containing /i, /o, /s, /c, /r, /m, /f, /x, /a\n"
    "or /p is cut there: use the options above for absolute paths).\n"
    "Progress goes to standard error when it is a terminal; the final status\n"
    "line always does, and so does the text encoding when it is not UTF-8\n"
    "(unless -q). Ctrl-C stops cleanly and removes a partly written file.\n"
    "\n"
    "Exit status:\n"
    "  0  the cleaned file was written (--list: duplicates were found)\n"
    "  1  nothing to do: no duplicate lines, nothing selected; no file written\n"
    "  2  bad usage, or the input could not be read\n"
    "  3  the output could not be written\n"
    "  130  stopped by Ctrl-C\n";
const char* const kDesktopUsage =
    "Usage: quillow [FILE]\n"
    "   or: quillow -i FILE -o FILE -s RULE [OPTION]...\n"
    "   or: quillow /i FILE /o FILE /s RULE [/c on|off] [/r on|off] [/m on|off]\n"
    "               [/f N] [/x PATTERN] [/a N] [/p on|off]\n"
    "Find the lines that occur more than once in a text file, choose which\n"
    "occurrences to drop and write a cleaned copy. Without arguments the window\n"
    "opens for interactive use; with a FILE alone it opens and scans FILE; with\n"
    "the options below it cleans FILE by itself, showing its progress in the\n"
    "window, and closes.\n"
    "\n";
const char* const kDesktopNotes =
    "\n"
    "The options override the stored settings for this run only; a completed\n"
    "run leaves the stored settings untouched. Any argument starting with '-'\n"
    "selects the options above; otherwise the arguments are read as the classic\n"
    "slash switches (a path containing /i, /o, /s, /c, /r, /m, /f, /x, /a or /p\n"
    "is cut there: use the options above for absolute paths). DEBUG_MODE lifts\n"
    "the minimum window size. quillow-cli does the same without a window.\n"
    "\n"
    "Exit status of a run: 0 written, 1 nothing to do (no duplicates, nothing\n"
    "selected), 2 bad usage or unreadable input, 3 the output could not be\n"
    "written. A run stopped with the Stop button leaves the window open.\n";

enum ShownIn : unsigned { kDesktop = 1, kCli = 2, kBoth = kDesktop | kCli };
struct HelpLines {
    unsigned shownIn;
    const char* text;
};
constexpr HelpLines kOptionsHelp[] = {
    {kDesktop, "  -i, --input=FILE        the file to scan (a plain FILE argument does the same)\n"},
    {kCli,
     "  -i, --input=FILE        the file to scan (a plain FILE argument does the\n"
     "                          same); - reads standard input\n"},
    {kDesktop, "  -o, --output=FILE       the cleaned file to write; it may be the input itself\n"},
    {kCli,
     "  -o, --output=FILE       the cleaned file to write; it may be the input file\n"
     "                          itself; - writes to standard output\n"},
    {kBoth,
     "  -s, --select=RULE       which occurrences to drop:\n"
     "                            1, all            every occurrence\n"
     "                            2, all-but-first  all but the first of each line\n"
     "                            3, all-but-last   all but the last of each line\n"
     "  -c, --case=on|off       on: lines differing only in letter case differ\n"
     "  -r, --trim=on|off       on: ignore blanks at both ends when comparing\n"
     "  -m, --save-empty=on|off off: leave empty lines out of the cleaned file\n"},
    {kDesktop, "  -f, --start=N           ignore the first N characters of each line\n"},
    {kCli, "  -f, --start=N           ignore the first N characters of each line (N >= 0)\n"},
    {kBoth,
     "  -x, --regex=PATTERN     compare only what PATTERN matches; an empty\n"
     "                          PATTERN switches a stored filter off\n"
     "  -a, --match=N           which match forms the key: -1 the last,\n"
     "                          0 all matches joined, N the N-th\n"
     "  -p, --apply-filter=on|off  on: write lines the way they are compared\n"},
    {kCli, "                          (trimmed, shortened, filtered)\n"},
    {kBoth,
     "  -e, --encoding=NAME     the file's text encoding: auto (a byte-order mark,\n"
     "                          else UTF-8 when the bytes are UTF-8, else a guess)\n"
     "                          or an ICU converter name (GB18030, UTF-16LE, ...)\n"
     "      --compat=on|off     on: compatibility forms compare alike (full-width\n"
     "                          and half-width letters, ligatures: NFKC)\n"},
    {kCli,
     "  -l, --list              only scan, and write every duplicate entry\n"
     "                          ([line]   key) to standard output, as UTF-8\n"
     "  -q, --quiet             no progress on a terminal\n"},
    {kBoth,
     "  -h, --help              show this help and exit\n"
     "  -V, --version           show the version and exit\n"},
};

}  // namespace

std::string commandLineHelp(Program program)
{
    const unsigned shown = program == Program::Cli ? kCli : kDesktop;
    std::string text = program == Program::Cli ? kCliUsage : kDesktopUsage;
    for (const HelpLines& lines : kOptionsHelp)
        if (lines.shownIn & shown)
            text += lines.text;
    text += program == Program::Cli ? kCliNotes : kDesktopNotes;
    return text;
}

std::string versionText(Program program)
{
    return std::string(program == Program::Cli ? "quillow-cli " : "quillow ") + text::kVersion + "\n";
}

}  // namespace quillow

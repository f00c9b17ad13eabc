#include "engine/gnu_options.h"

#include <getopt.h>

#include <cmath>
#include <filesystem>
#include <string_view>

#include "engine/command_line.h"
#include "engine/text_util.h"

namespace quillow {

namespace {

const option kLongOptions[] = {
    {"input", required_argument, nullptr, 'i'},
    {"output", required_argument, nullptr, 'o'},
    {"select", required_argument, nullptr, 's'},
    {"case", required_argument, nullptr, 'c'},
    {"trim", required_argument, nullptr, 'r'},
    {"save-empty", required_argument, nullptr, 'm'},
    {"start", required_argument, nullptr, 'f'},
    {"regex", required_argument, nullptr, 'x'},
    {"match", required_argument, nullptr, 'a'},
    {"apply-filter", required_argument, nullptr, 'p'},
    {"list", no_argument, nullptr, 'l'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
// Leading '-': positional arguments come back in order as option 1, so the
// result does not depend on POSIXLY_CORRECT. ':' reports missing values.
constexpr const char* kShortOptions = "-:i:o:s:c:r:m:f:x:a:p:lqhV";

std::string optionName(int val)
{
    for (const option* o = kLongOptions; o->name; ++o)
        if (o->val == val)
            return std::string("-") + static_cast<char>(val) + " (--" + o->name + ")";
    return std::string("-") + static_cast<char>(val);
}

bool takesValue(int val)
{
    for (const option* o = kLongOptions; o->name; ++o)
        if (o->val == val)
            return o->has_arg == required_argument;
    return false;
}

bool isKnown(int val)
{
    for (const option* o = kLongOptions; o->name; ++o)
        if (o->val == val)
            return true;
    return false;
}

GnuOptions failure(std::string message)
{
    GnuOptions o;
    o.action = GnuOptions::Action::Error;
    o.error = std::move(message);
    return o;
}

bool readOnOff(std::string_view value, std::string& out)
{
    if (equalIgnoringCase(value, "on"))
        out = "on";
    else if (equalIgnoringCase(value, "off"))
        out = "off";
    else
        return false;
    return true;
}

bool readWhole(std::string_view value, int lowest, std::string& out)
{
    auto n = parseNumber(value);
    if (!n || std::floor(*n) != *n)
        return false;
    auto v = toInt16(*n);
    if (!v || *v < lowest)
        return false;
    out = std::to_string(*v);
    return true;
}

bool readSelect(std::string_view value, std::string& out)
{
    if (value == "1" || value == "all")
        out = "1";
    else if (value == "2" || value == "all-but-first")
        out = "2";
    else if (value == "3" || value == "all-but-last")
        out = "3";
    else
        return false;
    return true;
}

// Lines of the options help and the programs that show them.
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
    {kCli,
     "                          (trimmed, shortened, filtered)\n"
     "  -l, --list              only scan, and write every duplicate entry\n"
     "                          ([line]   key) to standard output\n"
     "  -q, --quiet             no progress on a terminal\n"},
    {kBoth,
     "  -h, --help              show this help and exit\n"
     "  -V, --version           show the version and exit\n"},
};

}  // namespace

std::string gnuOptionsHelp(HelpProgram program)
{
    const unsigned shown = program == HelpProgram::Cli ? kCli : kDesktop;
    std::string text;
    for (const HelpLines& lines : kOptionsHelp)
        if (lines.shownIn & shown)
            text += lines.text;
    return text;
}

bool usesGnuSyntax(const std::vector<std::string>& args)
{
    for (const std::string& a : args)
        if (!a.empty() && a[0] == '-')
            return true;
    return false;
}

GnuOptions parseGnuOptions(const std::vector<std::string>& args)
{
    GnuOptions result;
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back("quillow");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    bool inputGiven = false;
    auto setInput = [&](const char* value) -> bool {
        if (inputGiven)
            return false;
        inputGiven = true;
        result.inputIsStdin = std::string_view(value) == "-";
        result.input = result.inputIsStdin ? std::string() : std::string(value);
        return true;
    };

    // getopt keeps its position in globals; optind = 0 starts a fresh scan.
    optind = 0;
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr)) != -1) {
        std::string_view value = optarg ? std::string_view(optarg) : std::string_view();
        switch (c) {
        case 1:
        case 'i':
            if (!setInput(optarg))
                return failure("more than one input file given");
            break;
        case 'o':
            result.outputIsStdout = value == "-";
            result.output = result.outputIsStdout ? std::string() : std::string(value);
            if (value.empty())
                return failure("option " + optionName('o') + " needs a file name");
            break;
        case 's':
            if (!readSelect(value, result.select))
                return failure("invalid value '" + std::string(value) +
                               "' for -s (use 1 or all, 2 or all-but-first, 3 or all-but-last)");
            break;
        case 'c':
        case 'r':
        case 'm':
        case 'p': {
            std::string& field = c == 'c' ? result.caseSensitive
                                 : c == 'r' ? result.trimLines
                                 : c == 'm' ? result.saveEmptyLines
                                            : result.applyFilter;
            if (!readOnOff(value, field))
                return failure("invalid value '" + std::string(value) + "' for " + optionName(c) +
                               " (use on or off)");
            break;
        }
        case 'f':
            if (!readWhole(value, 0, result.startPos))
                return failure("invalid value '" + std::string(value) + "' for " + optionName('f') +
                               " (a whole number from 0 to 32767)");
            break;
        case 'a':
            if (!readWhole(value, -1, result.regExpMatch))
                return failure("invalid value '" + std::string(value) + "' for " + optionName('a') +
                               " (a whole number from -1 to 32767)");
            break;
        case 'x':
            result.regExp = std::string(value);
            result.clearRegExp = value.empty();
            break;
        case 'l':
            result.action = GnuOptions::Action::List;
            break;
        case 'q':
            result.quiet = true;
            break;
        case 'h':
            result.action = GnuOptions::Action::Help;
            return result;
        case 'V':
            result.action = GnuOptions::Action::Version;
            return result;
        case ':':
            return failure("option " + optionName(optopt) + " needs a value");
        default:  // '?'
            if (optopt && isKnown(optopt) && !takesValue(optopt))
                return failure("option " + optionName(optopt) + " takes no value");
            if (optopt)
                return failure(std::string("unknown option '-") + static_cast<char>(optopt) + "'");
            return failure("unknown or ambiguous option '" + std::string(argv[optind - 1]) + "'");
        }
    }
    for (int i = optind; i < argc; ++i)  // after "--"
        if (!setInput(argv[i]))
            return failure("more than one input file given");

    if (!inputGiven)
        return failure("no input file given (-i FILE, or FILE; - reads standard input)");
    if (result.action == GnuOptions::Action::List) {
        if (!result.output.empty() || result.outputIsStdout)
            return failure("--list writes the duplicates to standard output; -o cannot be used with it");
    } else {
        if (result.output.empty() && !result.outputIsStdout)
            return failure("no output file given (-o FILE, or -o - for standard output)");
        if (result.select.empty())
            return failure("no selection given (-s 1|all, 2|all-but-first, 3|all-but-last)");
    }
    return result;
}

std::string applyGnuOptions(const GnuOptions& options, ProgramState& state)
{
    state.cmdLineInputFile = options.input;
    state.cmdLineOutputFile = options.output;
    state.cmdLineSelectMode = options.select;
    state.cmdLineCaseSensitive = options.caseSensitive;
    state.cmdLineTrimLines = options.trimLines;
    state.cmdLineSaveEmptyLines = options.saveEmptyLines;
    state.cmdLineStartPos = options.startPos;
    state.cmdLineRegExp = options.regExp;
    state.cmdLineRegExpMatch = options.regExpMatch;
    state.cmdLineApplyFilter = options.applyFilter;

    std::error_code ec;
    std::filesystem::path input(options.input);
    if (options.input.empty()) {
        state.cmdLineMode = 0;
        return "no input file given";
    }
    if (!std::filesystem::is_regular_file(input, ec)) {
        state.cmdLineMode = 0;
        if (std::filesystem::is_directory(input, ec))
            return "'" + options.input + "' is a folder, not a file";
        return "cannot open '" + options.input + "': no such file";
    }
    if (options.action == GnuOptions::Action::List)
        state.cmdLineMode = -1;
    else
        decideCommandLineMode(state);
    if (state.cmdLineMode != -1)
        return "missing -o or -s";
    // The slash syntax cannot express "no filter"; an explicitly empty
    // pattern here switches the stored filter off for this run.
    if (options.clearRegExp)
        state.sRegExp.clear();
    return std::string();
}

}  // namespace quillow

#include "app/command_line/command_line.h"

#include <getopt.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <string_view>

#include "app/command_line/command_line_texts.h"
#include "engine/io/file_info.h"
#include "engine/dedup/line_filter.h"
#include "engine/work/memory_limit.h"
#include "app/command_line/slash_switches.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"
#include "app/texts.h"

namespace quillow {

namespace {

// Long options without a short form.
enum : int { kUseSettings = 256, kCount, kFormat, kCompat, kMaxMemory };

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
    {"encoding", required_argument, nullptr, 'e'},
    {"compat", required_argument, nullptr, kCompat},
    {"max-memory", required_argument, nullptr, kMaxMemory},
    {"list", no_argument, nullptr, 'l'},
    {"count", no_argument, nullptr, kCount},
    {"format", required_argument, nullptr, kFormat},
    {"use-settings", no_argument, nullptr, kUseSettings},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
// Leading '-': positional arguments come back in order as option 1, so the
// result does not depend on POSIXLY_CORRECT. ':' reports missing values.
constexpr const char* kShortOptions = "-:i:o:s:c:r:m:f:x:a:p:e:lqhV";

std::string optionName(int val)
{
    for (const option* o = kLongOptions; o->name; ++o)
        if (o->val == val)
            return val > 255 ? std::string("--") + o->name
                             : std::string("-") + static_cast<char>(val) + " (--" + o->name + ")";
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

std::optional<bool> onOff(std::string_view value)
{
    if (equalIgnoringCase(value, "on"))
        return true;
    if (equalIgnoringCase(value, "off"))
        return false;
    return std::nullopt;
}

// A whole number of at least lowest that fits 16 bits.
std::optional<int16_t> wholeNumber(std::string_view value, int lowest)
{
    auto n = parseNumber(value);
    if (!n || std::floor(*n) != *n)
        return std::nullopt;
    auto v = toInt16(*n);
    if (!v || *v < lowest)
        return std::nullopt;
    return v;
}

std::optional<SelectCommand> selectRule(std::string_view value)
{
    if (value == "1" || value == "all")
        return SelectCommand::All;
    if (value == "2" || value == "all-but-first")
        return SelectCommand::AllButFirst;
    if (value == "3" || value == "all-but-last")
        return SelectCommand::AllButLast;
    return std::nullopt;
}

std::optional<ListForm> listForm(std::string_view value)
{
    if (value == "numbered" || value == "classic")  // "classic": its earlier name
        return ListForm::Numbered;
    if (value == "tsv")
        return ListForm::Tsv;
    return std::nullopt;
}

CommandLine failure(std::string message, bool usage = true)
{
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.error = std::move(message);
    c.errorIsUsage = usage;
    return c;
}

}  // namespace

CommandLine parseGnuOptions(const std::vector<std::string>& args)
{
    CommandLine result;
    result.gnuSyntax = true;
    result.action = CommandLine::Action::Run;
    RunRequest& run = result.run;
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
        run.inputIsStdin = std::string_view(value) == "-";
        run.input = run.inputIsStdin ? std::string() : std::string(value);
        return true;
    };
    bool formatGiven = false;
    result.useStoredSettings = false;

    // getopt keeps its position in globals; optind = 0 starts a fresh scan.
    optind = 0;
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr)) != -1) {
        std::string_view value = optarg ? std::string_view(optarg) : std::string_view();
        auto invalid = [&](const char* expected) { return failure(text::invalidValue(optionName(c), value, expected)); };
        switch (c) {
        case 1:
        case 'i':
            if (!setInput(optarg))
                return failure(text::translated(text::kMoreThanOneInput));
            break;
        case 'o':
            if (value.empty())
                return failure(text::translated(text::kEmptyOutputName));
            run.outputIsStdout = value == "-";
            run.output = run.outputIsStdout ? std::string() : std::string(value);
            break;
        case 's':
            run.select = selectRule(value);
            if (!run.select)
                return invalid(text::kExpectSelect);
            break;
        case 'c':
        case 'r':
        case 'm':
        case 'p':
        case kCompat: {
            std::optional<bool>& field = c == 'c'   ? run.caseSensitive
                                         : c == 'r' ? run.trimLines
                                         : c == 'm' ? run.saveEmptyLines
                                         : c == 'p' ? run.saveApplyFilter
                                                    : run.compatForms;
            field = onOff(value);
            if (!field)
                return invalid(text::kExpectOnOff);
            break;
        }
        case 'e':
            if (!isAutoEncoding(value))
                if (EncodingLookup named = encodingNamed(value); !named.encoding)
                    return failure(text::unknownEncoding(optionName('e'), value, text::encodingRefusal(named.refusal)));
            run.textEncoding = std::string(value);
            break;
        case kMaxMemory:
            if (!equalIgnoringCase(value, kAutoMemory) && !parseMemorySize(value))
                return invalid(text::kExpectMemory);
            run.maxMemory = std::string(value);
            break;
        case 'f':
            run.startPos = wholeNumber(value, 0);
            if (!run.startPos)
                return invalid(text::kExpectStart);
            break;
        case 'a':
            run.filterMatch = wholeNumber(value, -1);
            if (!run.filterMatch)
                return invalid(text::kExpectMatch);
            break;
        case 'x':
            run.filterPattern = std::string(value);
            break;
        case 'l':
        case kCount: {
            const auto action = c == 'l' ? CommandLine::Action::List : CommandLine::Action::Count;
            if (result.action != CommandLine::Action::Run && result.action != action)
                return failure(text::translated(text::kListOrCount));
            result.action = action;
            break;
        }
        case kFormat: {
            const std::optional<ListForm> form = listForm(value);
            if (!form)
                return invalid(text::kExpectFormat);
            result.listForm = *form;
            formatGiven = true;
            break;
        }
        case kUseSettings:
            result.useStoredSettings = true;
            break;
        case 'q':
            result.quiet = true;
            break;
        case 'h':
            result.action = CommandLine::Action::Help;
            return result;
        case 'V':
            result.action = CommandLine::Action::Version;
            return result;
        case ':':
            return failure(text::optionNeedsValue(optionName(optopt)));
        default:  // '?'
            if (optopt && isKnown(optopt) && !takesValue(optopt))
                return failure(text::optionTakesNoValue(optionName(optopt)));
            if (optopt && optopt < 256)
                return failure(text::unknownOption(std::string("-") + static_cast<char>(optopt)));
            return failure(text::unknownOption(argv[optind - 1]));
        }
    }
    for (int i = optind; i < argc; ++i)  // after "--"
        if (!setInput(argv[i]))
            return failure(text::translated(text::kMoreThanOneInput));

    if (!inputGiven)
        return failure(text::translated(text::kNoInput));
    const bool scanOnly = result.action == CommandLine::Action::List || result.action == CommandLine::Action::Count;
    if (formatGiven && result.action != CommandLine::Action::List)
        return failure(text::translated(text::kFormatOnlyForList));
    if (scanOnly) {
        if (!run.output.empty() || run.outputIsStdout)
            return failure(text::translated(text::kListTakesNoOutput));
        run.select.reset();  // only a scan
    } else {
        if (run.output.empty() && !run.outputIsStdout)
            return failure(text::translated(text::kNoOutput));
        if (!run.select)
            return failure(text::translated(text::kNoSelect));
    }
    return result;
}

namespace {

// Why the input cannot be scanned, in the scan's words, or nothing. Looked
// at, never opened: a FIFO would block.
std::string inputRefusal(const std::string& input)
{
    struct stat st {};
    const int error = ::stat(input.c_str(), &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : kNotRegularError;
    return error ? text::failureStatus(text::kCannotOpen, input, error) : std::string();
}

std::optional<bool> switchOnOff(const std::string& value)
{
    return value.empty() ? std::nullopt : onOff(value);
}

// A /f or /a value that is not a number or does not fit 16 bits counts as
// not given; lower values are held at the lowest.
std::optional<int16_t> switchNumber(const std::string& value, int16_t lowest)
{
    if (auto n = parseNumber(value))
        if (auto v = toInt16(*n))
            return std::max(*v, lowest);
    return std::nullopt;
}

CommandLine parseSlash(const std::vector<std::string>& args, Program program)
{
    CommandLine result;
    const std::string text = argumentText(args);
    if (text.empty()) {
        if (program == Program::Cli)
            return failure(text::translated(text::kNothingGiven));
        return result;
    }
    const SlashSwitches v = splitSlashSwitches(text);
    RunRequest& run = result.run;
    run.input = v.input;
    run.output = v.output;
    run.select = v.select.size() == 1 ? selectRule(v.select) : std::nullopt;
    run.caseSensitive = switchOnOff(v.caseSensitive);
    run.trimLines = switchOnOff(v.trimLines);
    run.saveEmptyLines = switchOnOff(v.saveEmptyLines);
    run.saveApplyFilter = switchOnOff(v.applyFilter);
    run.startPos = switchNumber(v.startPos, 0);
    run.filterMatch = switchNumber(v.match, -1);
    if (!v.pattern.empty())  // the slash syntax cannot switch a stored filter off
        run.filterPattern = v.pattern;

    std::string refusal;
    bool usage = true;
    if (v.input.empty() || v.output.empty() || v.select.empty())
        refusal = text::translated(text::kSlashSwitchesRequired);
    else if (!run.select)
        refusal = text::slashSelectInvalid(v.select);
    else {
        refusal = inputRefusal(v.input);
        usage = false;  // the file's trouble, not the way the line is written
    }
    if (refusal.empty()) {
        result.action = CommandLine::Action::Run;
        return result;
    }
    if (program == Program::Cli)
        return failure(refusal, usage);
    // A file manager's "open with" passes the file alone.
    if (args.size() == 1 && fileExists(args[0]))
        result.openFile = args[0];
    result.run = RunRequest{};
    return result;
}

// A pattern PCRE2 refuses stops the run: it would otherwise compare whole
// lines without a word.
std::string patternRefusal(const CommandLine& command)
{
    const std::optional<std::string>& pattern = command.run.filterPattern;
    if (!pattern || pattern->empty())
        return {};
    const std::string why = filterPatternError(*pattern);
    if (why.empty())
        return {};
    return text::invalidPattern(command.gnuSyntax ? optionName('x') : "/x", *pattern, why);
}

}  // namespace

bool usesGnuSyntax(const std::vector<std::string>& args)
{
    if (!args.empty() && args[0] == "DEBUG_MODE")
        return false;
    // "/srv/in.txt -o - -s 2" starts with an absolute path, not a switch.
    struct stat st {};
    if (!args.empty() && switchTextAt(args[0], 0) && ::lstat(args[0].c_str(), &st) != 0)
        return false;
    for (const std::string& a : args)
        if (!a.empty() && a[0] == '-')
            return true;
    return false;
}

CommandLine parseCommandLine(const std::vector<std::string>& args, Program program)
{
    const bool debugMode =
        program == Program::Desktop && argumentText(args).find("DEBUG_MODE") != std::string::npos;
    CommandLine result;
    if (usesGnuSyntax(args)) {
        // "DEBUG_MODE" is a marker of the desktop program, not the input file.
        std::vector<std::string> options;
        for (const std::string& a : args)
            if (program == Program::Cli || a != "DEBUG_MODE")
                options.push_back(a);
        result = parseGnuOptions(options);
        const bool runs = result.action == CommandLine::Action::Run || result.action == CommandLine::Action::List ||
                          result.action == CommandLine::Action::Count;
        if (runs && program == Program::Desktop) {
            if (result.action == CommandLine::Action::List)
                result = failure(text::onlyForCli("--list"));
            else if (result.action == CommandLine::Action::Count)
                result = failure(text::onlyForCli("--count"));
            else if (result.useStoredSettings)
                result = failure(text::onlyForCli("--use-settings"));
            else if (result.run.inputIsStdin || result.run.outputIsStdout)
                result = failure(text::onlyForCli(text::translated(text::kStandardStreams)));
            // The desktop program starts from its stored settings, as ever.
            result.useStoredSettings = true;
        }
        if (runs && result.action != CommandLine::Action::Error)
            if (const std::string refusal = patternRefusal(result); !refusal.empty())
                result = failure(refusal);
        if (runs && result.action != CommandLine::Action::Error && !result.run.inputIsStdin) {
            const std::string refusal = inputRefusal(result.run.input);
            if (!refusal.empty())
                result = failure(refusal, false);
        }
        result.gnuSyntax = true;
    } else {
        result = parseSlash(args, program);
        if (result.action == CommandLine::Action::Run)
            if (const std::string refusal = patternRefusal(result); !refusal.empty())
                result = failure(refusal);
    }
    result.debugMode = debugMode;
    return result;
}

void applyOverrides(const RunRequest& run, Options& options)
{
    options.caseSensitive = run.caseSensitive.value_or(options.caseSensitive);
    options.trimLines = run.trimLines.value_or(options.trimLines);
    options.saveEmptyLines = run.saveEmptyLines.value_or(options.saveEmptyLines);
    options.startPos = run.startPos.value_or(options.startPos);
    options.filterPattern = run.filterPattern.value_or(options.filterPattern);
    options.filterMatch = run.filterMatch.value_or(options.filterMatch);
    options.saveApplyFilter = run.saveApplyFilter.value_or(options.saveApplyFilter);
    options.textEncoding = run.textEncoding.value_or(options.textEncoding);
    options.compatForms = run.compatForms.value_or(options.compatForms);
    options.maxMemory = run.maxMemory.value_or(options.maxMemory);
}

}  // namespace quillow

#include "app/command_line/command_line.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "app/command_line/command_line_texts.h"
#include "app/command_line/option_table.h"
#include "engine/io/file_info.h"
#include "engine/dedup/line_filter.h"
#include "app/command_line/slash_switches.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"
#include "app/texts.h"

namespace quillow {

namespace {

std::optional<bool> onOff(std::string_view value)
{
    if (equalIgnoringCase(value, "on"))
        return true;
    if (equalIgnoringCase(value, "off"))
        return false;
    return std::nullopt;
}

std::optional<SelectCommand> selectRule(std::string_view value)
{
    if (value == "1")
        return SelectCommand::All;
    if (value == "2")
        return SelectCommand::AllButFirst;
    if (value == "3")
        return SelectCommand::AllButLast;
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
    if (text.empty())
        return result;
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
    // A file manager's "open with" passes the file alone; one that is no
    // readable file is answered in the window.
    if (args.size() == 1 && !args[0].empty() && args[0] != "DEBUG_MODE")
        result.openFile = args[0];
    result.run = RunRequest{};
    return result;
}

// A pattern PCRE2 refuses is refused: the run would otherwise compare whole
// lines without a word.
std::string patternRefusal(const CommandLine& command)
{
    const std::optional<std::string>& pattern = command.run.filterPattern;
    if (!pattern || pattern->empty())
        return {};
    const std::string why = filterPatternError(*pattern);
    if (why.empty())
        return {};
    return text::invalidPattern(command.gnuSyntax ? optionName(optionEntry(OptionId::Regex)) : "/x", *pattern, why);
}

// The desktop program's reading of GNU options: a run when an output is
// given; otherwise the window opens INPUT with the options that choose how
// to scan.
CommandLine forDesktop(CommandLine command)
{
    RunRequest& run = command.run;
    if (command.action != CommandLine::Action::Run)
        return command;
    if (run.inputIsStdin || run.outputIsStdout)
        return failure(text::onlyForCli(text::translated(text::kStandardStreams)));
    if (run.output.empty()) {
        const bool writes = run.written != Written::Cleaned || run.keepLast || run.saveEmptyLines ||
                            run.saveApplyFilter;
        if (writes)
            return failure(text::translated(text::kNoOutput));
        command.action = CommandLine::Action::Interactive;
        command.openFile = run.input;
        run.fromStoredSettings = true;
        return command;
    }
    if (run.input.empty())
        return failure(text::translated(text::kNoInput));
    return command;
}

}  // namespace

bool usesGnuSyntax(const std::vector<std::string>& args, Program program)
{
    if (!args.empty() && args[0] == "DEBUG_MODE")
        return false;
    // "/srv/in.txt -o -" starts with an absolute path, not a switch.
    struct stat st {};
    if (!args.empty() && switchTextAt(args[0], 0) && ::lstat(args[0].c_str(), &st) != 0)
        return false;
    if (program == Program::Cli)
        return true;
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
    if (usesGnuSyntax(args, program)) {
        // "DEBUG_MODE" is a marker of the desktop program, not the input file.
        std::vector<std::string> options;
        for (const std::string& a : args)
            if (program == Program::Cli || a != "DEBUG_MODE")
                options.push_back(a);
        result = parseGnuOptions(options, program);
        if (program == Program::Desktop)
            result = forDesktop(std::move(result));
        if (result.action == CommandLine::Action::Run || result.action == CommandLine::Action::Interactive)
            if (const std::string refusal = patternRefusal(result); !refusal.empty())
                result = failure(refusal);
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

Options documentedDefaults()
{
    Options options;
    options.caseSensitive = true;
    return options;
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
    options.keyField = run.keyField.value_or(options.keyField);
    options.fieldSeparator = run.fieldSeparator.value_or(options.fieldSeparator);
    options.skipFields = run.skipFields.value_or(options.skipFields);
    options.checkChars = run.checkChars.value_or(options.checkChars);
    options.zeroTerminated = run.zeroTerminated.value_or(options.zeroTerminated);
}

}  // namespace quillow

// The GNU-style options, read by getopt_long from the option table.
#include <getopt.h>

#include <cmath>
#include <limits>
#include <set>
#include <string_view>

#include "app/command_line/command_line.h"
#include "app/command_line/command_line_texts.h"
#include "app/command_line/old_spellings.h"
#include "app/texts.h"
#include "engine/dedup/key_fields.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"
#include "engine/runtime/memory_limit.h"

namespace quillow {

namespace {

// getopt's codes: a short option's letter, or 256 + its row for the others.
constexpr int kLongOnly = 256;

int codeOf(const OptionEntry& entry, size_t row)
{
    return entry.shortName ? entry.shortName : kLongOnly + static_cast<int>(row);
}

const OptionEntry* entryOf(int code)
{
    const std::span<const OptionEntry> table = optionTable();
    for (size_t row = 0; row < table.size(); ++row)
        if (codeOf(table[row], row) == code)
            return &table[row];
    return nullptr;
}

// getopt_long's view of the table.
struct GetoptTable {
    std::vector<option> longOptions;
    std::string shortOptions;

    GetoptTable()
    {
        // Leading '-': operands come back in order as code 1, so the result
        // does not depend on POSIXLY_CORRECT. ':' reports missing values.
        shortOptions = "-:";
        const std::span<const OptionEntry> table = optionTable();
        for (size_t row = 0; row < table.size(); ++row) {
            const OptionEntry& entry = table[row];
            longOptions.push_back({entry.longName, entry.valueName ? required_argument : no_argument, nullptr,
                                   codeOf(entry, row)});
            if (entry.shortName) {
                shortOptions += entry.shortName;
                if (entry.valueName)
                    shortOptions += ':';
            }
        }
        longOptions.push_back({nullptr, 0, nullptr, 0});
    }
};

const GetoptTable& getoptTable()
{
    static const GetoptTable table;
    return table;
}

// A whole number from lowest to highest.
std::optional<int64_t> wholeNumber(std::string_view value, int64_t lowest, int64_t highest)
{
    auto n = parseNumber(value);
    if (!n || std::floor(*n) != *n || *n < static_cast<double>(lowest) || *n > static_cast<double>(highest))
        return std::nullopt;
    return static_cast<int64_t>(*n);
}

CommandLine failure(std::string message)
{
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.gnuSyntax = true;
    c.error = std::move(message);
    return c;
}

}  // namespace

CommandLine parseGnuOptions(const std::vector<std::string>& args, Program program)
{
    if (const std::optional<std::string> today =
            todaysSpelling(args, program == Program::Cli ? "quillow-cli" : "quillow"))
        return failure(text::oldSpelling(*today));

    CommandLine result;
    result.gnuSyntax = true;
    result.action = CommandLine::Action::Run;
    RunRequest& run = result.run;
    run.lineTool = true;
    run.fromStoredSettings = false;

    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.push_back("quillow");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());
    const GetoptTable& table = getoptTable();

    std::vector<std::string> operands;
    std::set<OptionId> given;
    bool outputOption = false;
    // getopt keeps its position in globals; optind = 0 starts a fresh scan.
    optind = 0;
    opterr = 0;
    int code;
    while ((code = getopt_long(argc, argv.data(), table.shortOptions.c_str(), table.longOptions.data(), nullptr)) !=
           -1) {
        if (code == 1) {
            operands.emplace_back(optarg);
            continue;
        }
        if (code == ':' || code == '?') {
            const OptionEntry* entry = optopt ? entryOf(optopt) : nullptr;
            if (code == ':')
                return failure(text::optionNeedsValue(entry ? optionName(*entry) : argv[optind - 1]));
            if (entry && !entry->valueName)
                return failure(text::optionTakesNoValue(optionName(*entry)));
            if (optopt && optopt < kLongOnly)
                return failure(text::unknownOption(std::string("-") + static_cast<char>(optopt)));
            return failure(text::unknownOption(argv[optind - 1]));
        }
        const OptionEntry& entry = *entryOf(code);
        if (entry.cliOnly && program == Program::Desktop)
            return failure(text::onlyForCli(optionName(entry)));
        given.insert(entry.id);
        const std::string_view value = optarg ? std::string_view(optarg) : std::string_view();
        auto invalid = [&](const char* expected) {
            return failure(text::invalidValue(optionName(entry), value, expected));
        };
        switch (entry.id) {
        case OptionId::Keep:
            if (value != "first" && value != "last")
                return invalid(text::kExpectKeep);
            run.keepLast = value == "last";
            break;
        case OptionId::Format:
            if (value == "numbered" || value == "classic")  // two names, one form: scripts use either
                run.listForm = ListForm::Numbered;
            else if (value == "tsv")
                run.listForm = ListForm::Tsv;
            else
                return invalid(text::kExpectFormat);
            break;
        case OptionId::Unique:
        case OptionId::Repeated:
        case OptionId::AllRepeated:
        case OptionId::Count:
        case OptionId::List:
        case OptionId::Help:
        case OptionId::Version:
            break;  // settled below
        case OptionId::DropEmpty:
            run.saveEmptyLines = false;
            break;
        case OptionId::WriteKeys:
            run.saveApplyFilter = true;
            break;
        case OptionId::IgnoreCase:
            run.caseSensitive = false;
            break;
        case OptionId::SkipFields:
        case OptionId::CheckChars:
        case OptionId::KeyField: {
            const int64_t lowest = entry.id == OptionId::KeyField ? 1 : 0;
            const std::optional<int64_t> n = wholeNumber(value, lowest, std::numeric_limits<int32_t>::max());
            if (!n)
                return invalid(lowest ? text::kExpectField : text::kExpectCount);
            (entry.id == OptionId::SkipFields ? run.skipFields : entry.id == OptionId::CheckChars ? run.checkChars
                                                                                                : run.keyField) = n;
            break;
        }
        case OptionId::SkipChars:
            if (const std::optional<int64_t> n = wholeNumber(value, 0, std::numeric_limits<int16_t>::max()))
                run.startPos = static_cast<int16_t>(*n);
            else
                return invalid(text::kExpectStart);
            break;
        case OptionId::Separator:
            if (!separatorOf(value))
                return invalid(text::kExpectCharacter);
            run.fieldSeparator = std::string(value);
            break;
        case OptionId::Trim:
            run.trimLines = true;
            break;
        case OptionId::Regex:
            run.filterPattern = std::string(value);
            break;
        case OptionId::Match:
            if (const std::optional<int64_t> n = wholeNumber(value, -1, std::numeric_limits<int16_t>::max()))
                run.filterMatch = static_cast<int16_t>(*n);
            else
                return invalid(text::kExpectMatch);
            break;
        case OptionId::Compat:
            run.compatForms = true;
            break;
        case OptionId::ZeroTerminated:
            run.zeroTerminated = true;
            break;
        case OptionId::Output:
            if (value.empty())
                return failure(text::arg(text::translated(text::kEmptyFileName), optionName(entry)));
            outputOption = true;
            run.outputIsStdout = value == "-";
            run.output = run.outputIsStdout ? std::string() : std::string(value);
            break;
        case OptionId::InPlace:
            run.inPlace = true;
            break;
        case OptionId::FilesFrom:
            if (value.empty())
                return failure(text::arg(text::translated(text::kEmptyFileName), optionName(entry)));
            run.filesFrom = std::string(value);
            break;
        case OptionId::Encoding:
            if (!isAutoEncoding(value))
                if (EncodingLookup named = encodingNamed(value); !named.encoding)
                    return failure(
                        text::unknownEncoding(optionName(entry), value, text::encodingRefusal(named.refusal)));
            run.textEncoding = std::string(value);
            break;
        case OptionId::MaxMemory:
            if (!equalIgnoringCase(value, kAutoMemory) && !parseMemorySize(value))
                return invalid(text::kExpectMemory);
            run.maxMemory = std::string(value);
            break;
        case OptionId::UseSettings:
            run.fromStoredSettings = true;
            break;
        case OptionId::Verbose:
            result.verbose = true;
            break;
        }
        if (entry.id == OptionId::Help || entry.id == OptionId::Version) {
            result.action = entry.id == OptionId::Help ? CommandLine::Action::Help : CommandLine::Action::Version;
            return result;
        }
    }
    for (int i = optind; i < argc; ++i)  // after "--"
        operands.emplace_back(argv[i]);

    // What is written: one of the modes, -c alone or with -d.
    auto has = [&](OptionId id) { return given.count(id) > 0; };
    auto name = [](OptionId id) { return optionName(optionEntry(id)); };
    const OptionId modes[] = {OptionId::List, OptionId::Unique, OptionId::Repeated, OptionId::AllRepeated,
                              OptionId::Count};
    for (size_t a = 0; a < std::size(modes); ++a)
        for (size_t b = a + 1; b < std::size(modes); ++b)
            if (has(modes[a]) && has(modes[b]) && !(modes[a] == OptionId::Repeated && modes[b] == OptionId::Count))
                return failure(text::optionsConflict(name(modes[a]), name(modes[b])));
    if (has(OptionId::Count)) {
        run.written = Written::Counts;
        run.onlyRepeated = has(OptionId::Repeated);
    } else if (has(OptionId::Repeated)) {
        run.written = Written::Repeated;
    } else if (has(OptionId::AllRepeated)) {
        run.written = Written::AllRepeated;
    } else if (has(OptionId::Unique)) {
        run.written = Written::Unique;
    } else if (has(OptionId::List)) {
        run.written = Written::List;
    }
    if (has(OptionId::Format) && run.written != Written::List)
        return failure(text::translated(text::kFormatOnlyForList));

    // The operands: INPUT and OUTPUT, as uniq takes them.
    if (!run.filesFrom.empty() && !operands.empty())
        return failure(text::arg(text::translated(text::kOperandWithFilesFrom), "'" + operands[0] + "'"));
    if (operands.size() > 2 || (operands.size() == 2 && outputOption))
        return failure(text::extraOperand(operands[outputOption ? 1 : 2]));
    if (!operands.empty()) {
        run.inputIsStdin = operands[0] == "-";
        run.input = run.inputIsStdin ? std::string() : operands[0];
    } else if (run.filesFrom.empty()) {
        run.inputIsStdin = program == Program::Cli;
    }
    if (operands.size() == 2) {
        run.outputIsStdout = operands[1] == "-";
        run.output = run.outputIsStdout ? std::string() : operands[1];
    }
    const bool outputGiven = outputOption || operands.size() == 2;
    if (run.inPlace) {
        if (outputGiven)
            return failure(text::optionsConflict(name(OptionId::InPlace), name(OptionId::Output)));
        if (run.input.empty())
            return failure(text::translated(text::kInPlaceNeedsFile));
        run.output = run.input;
    } else if (!outputGiven) {
        run.outputIsStdout = program == Program::Cli;
    }
    if (run.written == Written::List && (outputGiven || run.inPlace))
        return failure(text::translated(text::kListTakesNoOutput));
    if (run.written == Written::List)
        run.outputIsStdout = false;
    return result;
}

}  // namespace quillow

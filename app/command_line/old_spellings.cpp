#include "app/command_line/old_spellings.h"

#include <string_view>

#include "engine/text/text_util.h"

namespace quillow {

namespace {

bool isOnOff(std::string_view v) { return equalIgnoringCase(v, "on") || equalIgnoringCase(v, "off"); }
bool isOn(std::string_view v) { return equalIgnoringCase(v, "on"); }

bool isSelectWord(std::string_view v) { return v == "all" || v == "all-but-first" || v == "all-but-last"; }
bool isSelectNumber(std::string_view v) { return v == "1" || v == "2" || v == "3"; }

// Single quotes where a shell would read a character otherwise.
std::string shellWord(const std::string& word)
{
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                "_-+=./,:@%") == std::string::npos)
        return word;
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The options as they were read: each with its value (if any).
struct Old {
    std::string input, output, select, caseSensitive, trim, saveEmpty, applyFilter, compat;
    std::string start, pattern, match, encoding, maxMemory, format;
    bool patternGiven = false, list = false, count = false, useSettings = false;
    bool inputAsOption = false;  // -i FILE or --input
    std::vector<std::string> operands;
};

}  // namespace

std::optional<std::string> todaysSpelling(const std::vector<std::string>& args, const std::string& program)
{
    Old old;
    bool refused = false;
    bool selectNumber = false;
    // The value of the option at i: attached after prefix, or the next word.
    size_t i = 0;
    auto valueOf = [&](std::string_view arg, size_t prefix, std::string& to) {
        if (arg.size() > prefix) {
            to = std::string(arg.substr(arg[prefix] == '=' ? prefix + 1 : prefix));
            return true;
        }
        if (i + 1 < args.size()) {
            to = args[++i];
            return true;
        }
        return false;
    };
    for (; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--")
            break;
        const bool next = i + 1 < args.size();
        const std::string_view following = next ? std::string_view(args[i + 1]) : std::string_view();
        if (a == "-i" && next && (following == "-" || !following.starts_with("-"))) {
            old.inputAsOption = true;
            old.input = args[++i];
        } else if (a.starts_with("--input")) {
            valueOf(a, 7, old.input);
            old.inputAsOption = true;
            refused = true;
        } else if (a == "-o" || (a.starts_with("--output") && a.size() > 8)) {
            valueOf(a, a == "-o" ? 2 : 8, old.output);
        } else if (a.starts_with("--select")) {
            valueOf(a, 8, old.select);
            refused = true;
        } else if (a.starts_with("-s") && !a.starts_with("--")) {
            const std::string v(a.size() > 2 ? a.substr(2) : following);
            if (isSelectWord(v) || isSelectNumber(v)) {
                if (a.size() == 2)
                    ++i;
                old.select = v;
                refused = refused || isSelectWord(v);
                selectNumber = selectNumber || isSelectNumber(v);
            }
        } else if ((a.starts_with("-c") || a.starts_with("-r") || a.starts_with("-m") || a.starts_with("-p")) &&
                   a.size() <= 5 && (isOnOff(a.substr(2)) || (a.size() == 2 && isOnOff(following)))) {
            std::string v;
            valueOf(a, 2, v);
            std::string& to = a[1] == 'c'   ? old.caseSensitive
                              : a[1] == 'r' ? old.trim
                              : a[1] == 'm' ? old.saveEmpty
                                            : old.applyFilter;
            to = v;
            refused = true;
        } else if (a.starts_with("--case") || a.starts_with("--save-empty") || a.starts_with("--apply-filter")) {
            const size_t name = a.starts_with("--case") ? 6 : a.starts_with("--save-empty") ? 12 : 14;
            std::string v;
            valueOf(a, name, v);
            (name == 6 ? old.caseSensitive : name == 12 ? old.saveEmpty : old.applyFilter) = v;
            refused = true;
        } else if ((a == "--trim" || a == "--compat") && isOnOff(following)) {
            (a == "--trim" ? old.trim : old.compat) = args[++i];
            refused = true;
        } else if ((a.starts_with("--trim=") || a.starts_with("--compat=")) && isOnOff(a.substr(a.find('=') + 1))) {
            (a.starts_with("--trim") ? old.trim : old.compat) = std::string(a.substr(a.find('=') + 1));
            refused = true;
        } else if (a == "-x" || a == "-a" || a == "-e" || a == "-f" || a.starts_with("--start") ||
                   a.starts_with("--encoding") || a.starts_with("--regex") || a.starts_with("--match") ||
                   a.starts_with("--max-memory") || a.starts_with("--format")) {
            const bool letter = a.size() == 2;
            const size_t name = letter ? 2 : a.find('=') != std::string_view::npos ? a.find('=') : a.size();
            std::string v;
            valueOf(a, name, v);
            // The letters without a meaning today, and --start, were never
            // written otherwise; -f N means fields today.
            if (letter && a[1] != 'f')
                refused = true;
            if (a.starts_with("--start"))
                refused = true;
            std::string& to = a == "-x" || a.starts_with("--regex")   ? old.pattern
                              : a == "-a" || a.starts_with("--match")  ? old.match
                              : a == "-e" || a.starts_with("--encoding") ? old.encoding
                              : a.starts_with("--max-memory")          ? old.maxMemory
                              : a.starts_with("--format")              ? old.format
                                                                       : old.start;
            to = v;
            old.patternGiven = old.patternGiven || &to == &old.pattern;
        } else if (a == "-l" || a == "-q" || a == "--quiet" || a == "-lq" || a == "-ql") {
            old.list = old.list || a.find('l') != std::string_view::npos;
            refused = true;
        } else if (a == "--list") {
            old.list = true;
        } else if (a == "--count") {
            old.count = true;
        } else if (a == "--use-settings") {
            old.useSettings = true;
        } else if (!a.starts_with("-") || a == "-") {
            old.operands.emplace_back(a);
        }
    }
    // "-s 2" skips characters today; with -i FILE and -o it is the rule it was.
    if (selectNumber && old.inputAsOption && !old.output.empty())
        refused = true;
    if (!refused)
        return std::nullopt;

    if (old.input.empty() && !old.operands.empty())
        old.input = old.operands.front();
    std::vector<std::string> now{program};
    if (old.list)
        now.push_back("--list");
    if (!old.format.empty())
        now.push_back("--format=" + old.format);
    if (old.count)
        now.push_back("-cd");
    if (!old.list && !old.count) {
        if (old.select == "1" || old.select == "all")
            now.push_back("-u");
        else if (old.select == "3" || old.select == "all-but-last")
            now.push_back("--keep=last");
    }
    // The options not given meant their defaults then: letter case ignored.
    if (!isOn(old.caseSensitive))
        now.push_back("-i");
    if (isOn(old.trim))
        now.push_back("--trim");
    if (!old.start.empty() && old.start != "0")
        now.push_back("-s " + shellWord(old.start));
    if (old.patternGiven)
        now.push_back("--regex=" + shellWord(old.pattern));
    if (!old.match.empty())
        now.push_back("--match=" + shellWord(old.match));
    if (isOn(old.compat))
        now.push_back("--compat");
    if (equalIgnoringCase(old.saveEmpty, "off"))
        now.push_back("--drop-empty");
    if (isOn(old.applyFilter))
        now.push_back("--write-keys");
    if (!old.encoding.empty())
        now.push_back("--encoding=" + shellWord(old.encoding));
    if (!old.maxMemory.empty())
        now.push_back("--max-memory=" + shellWord(old.maxMemory));
    if (old.useSettings)
        now.push_back("--use-settings");
    const bool inPlace = !old.input.empty() && old.input != "-" && old.output == old.input;
    if (inPlace)
        now.push_back("--in-place");
    if (!old.input.empty() && (old.input != "-" || (!old.output.empty() && old.output != "-" && !inPlace)))
        now.push_back(old.input == "-" ? "-" : shellWord(old.input));
    if (!old.output.empty() && old.output != "-" && !inPlace)
        now.push_back("-o " + shellWord(old.output));
    std::string line;
    for (const std::string& word : now)
        line += (line.empty() ? "" : " ") + word;
    return line;
}

}  // namespace quillow

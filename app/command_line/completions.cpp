#include "app/command_line/completions.h"

#include <string_view>

#include "app/translation.h"

namespace quillow {

namespace {

std::string programName(Program program) { return program == Program::Cli ? "quillow-cli" : "quillow"; }

// A shell function's name for the program ("_quillow_cli").
std::string functionName(Program program)
{
    std::string name = "_" + programName(program);
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

// Single quotes for any shell.
std::string quoted(std::string_view s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The rows of the table the program takes, with their indexes.
template <typename F>
void forEachOption(Program program, F&& f)
{
    const std::span<const OptionEntry> table = optionTable();
    for (size_t row = 0; row < table.size(); ++row)
        if (shownFor(table[row], program))
            f(table[row], row);
}

std::string shortFlag(const OptionEntry& o) { return std::string("-") + o.shortName; }
std::string longFlag(const OptionEntry& o) { return std::string("--") + o.longName; }

// The test of the locale's language, as the programs make it.
constexpr const char* kZshChinese = R"(local chinese=0 value name
for value in "$LANGUAGE" "$LC_ALL" "$LC_MESSAGES" "$LANG"; do
  for name in ${(s.:.)value}; do
    [[ $name == [zZ][hH](|[_.@-]*) ]] && chinese=1
    break 2
  done
done
)";

constexpr const char* kFishChinese = R"(    for value in $LANGUAGE $LC_ALL $LC_MESSAGES $LANG
        test -n "$value"; or continue
        for name in (string split -- : $value)
            test -n "$name"; or continue
            string match -qr '^[zZ][hH]([_.@-]|$)' -- $name
            return
        end
    end
    return 1
)";

// A description as zsh's _arguments reads it between brackets.
std::string zshDescription(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (c == '[' || c == ']' || c == ':' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// One word per text, each on a line of its own after separator.
std::string descriptionArray(const std::vector<std::string>& texts, std::string (*escape)(std::string_view),
                             std::string_view separator)
{
    std::string out;
    for (const std::string& t : texts)
        out += std::string(separator) + quoted(escape(t));
    return out;
}

std::string asIs(std::string_view s) { return std::string(s); }

// Up to the first "；" or "; " outside parentheses.
std::string firstClause(const std::string& text)
{
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = std::string_view(text).substr(i);
        if (rest.starts_with("（") || rest.starts_with("("))
            ++depth;
        else if (rest.starts_with("）") || rest.starts_with(")"))
            --depth;
        else if (depth == 0 && (rest.starts_with("；") || rest.starts_with("; ")))
            return text.substr(0, i);
    }
    return text;
}

}  // namespace

std::vector<std::string> completionDescriptions()
{
    std::vector<std::string> out;
    for (const OptionEntry& o : optionTable()) {
        // The help's lines joined (a blank between two ASCII characters),
        // up to the end of its first clause.
        const std::string help = text::translated(o.help, kHelpContext);
        std::string text;
        for (size_t i = 0; i < help.size(); ++i) {
            if (help[i] != '\n') {
                text += help[i];
            } else if (!text.empty() && i + 1 < help.size() && static_cast<unsigned char>(text.back()) < 0x80 &&
                       static_cast<unsigned char>(help[i + 1]) < 0x80) {
                text += ' ';
            }
        }
        out.push_back(firstClause(text));
    }
    return out;
}

std::string bashCompletion(Program program)
{
    std::string files, words, plain, all;
    forEachOption(program, [&](const OptionEntry& o, size_t) {
        const std::string names = o.shortName ? shortFlag(o) + " | " + longFlag(o) : longFlag(o);
        all += (all.empty() ? "" : " ") + (o.shortName ? shortFlag(o) + " " : std::string()) + longFlag(o);
        if (!o.valueName)
            return;
        switch (o.completion) {
        case ValueCompletion::File:
            files += (files.empty() ? "" : " | ") + names;
            break;
        case ValueCompletion::Words:
            words += "        " + names + ") values=" + quoted(o.words) + " ;;\n";
            break;
        case ValueCompletion::None:
            plain += (plain.empty() ? "" : " | ") + names;
            break;
        }
    });
    const std::string program_ = programName(program), function = functionName(program);
    return "# bash completion for " + program_ + ", made from its option table    -*- shell-script -*-\n"
           "# Plain bash: needs nothing from the bash-completion package.\n\n" +
           function + "()\n{\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev= values=\n"
           "    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
           "    # \"--keep=la\" arrives as \"--keep\" \"=\" \"la\" (= is a word break).\n"
           "    if [[ $cur == = ]]; then\n"
           "        cur=\n"
           "    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then\n"
           "        prev=${COMP_WORDS[COMP_CWORD - 2]}\n"
           "    fi\n"
           "    case $prev in\n"
           "        " + files + ")\n"
           "            compopt -o filenames 2>/dev/null\n"
           "            mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
           "            return\n"
           "            ;;\n" +
           words + "        " + plain + ") return ;;\n"
           "    esac\n"
           "    if [[ -n $values ]]; then\n"
           "        mapfile -t COMPREPLY < <(compgen -W \"$values\" -- \"$cur\")\n"
           "        return\n"
           "    fi\n"
           "    if [[ $cur == -* ]]; then\n"
           "        mapfile -t COMPREPLY < <(compgen -W " + quoted(all) + " -- \"$cur\")\n"
           "        return\n"
           "    fi\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
           "}\n"
           "complete -F " + function + " " + program_ + "\n";
}

std::string zshCompletion(Program program, const std::vector<std::string>& chinese,
                          const std::vector<std::string>& english)
{
    const std::string name = programName(program);
    std::string out = "#compdef " + name + "\n# zsh completion for " + name +
                      ", made from its option table. The descriptions speak the\n"
                      "# interface's language: Chinese when the locale's first language is Chinese.\n" +
                      kZshChinese + "local -a d\nif (( chinese )); then\n  d=(" +
                      descriptionArray(chinese, zshDescription, "\n  ") + ")\nelse\n  d=(" +
                      descriptionArray(english, zshDescription, "\n  ") + ")\nfi\n\n_arguments -s -S \\\n";
    forEachOption(program, [&](const OptionEntry& o, size_t row) {
        const std::string description = "[$d[" + std::to_string(row + 1) + "]]";
        std::string value;
        if (o.valueName) {
            value = std::string(":") + o.valueName + ":";
            if (o.completion == ValueCompletion::File)
                value += "_files";
            else if (o.completion == ValueCompletion::Words)
                value += "(" + std::string(o.words) + ")";
        }
        const bool ends = o.id == OptionId::Help || o.id == OptionId::Version;
        if (o.shortName) {
            const std::string exclusion = ends ? "(- *)" : "(" + shortFlag(o) + " " + longFlag(o) + ")";
            out += "  '" + exclusion + "'{" + shortFlag(o) + (o.valueName ? "+" : "") + "," + longFlag(o) +
                   (o.valueName ? "=" : "") + "}\"" + description + value + "\" \\\n";
        } else {
            out += "  \"" + longFlag(o) + (o.valueName ? "=" : "") + description + value + "\" \\\n";
        }
    });
    return out + "  '*:file:_files'\n";
}

std::string fishCompletion(Program program, const std::vector<std::string>& chinese,
                           const std::vector<std::string>& english)
{
    const std::string name = programName(program), function = "_" + functionName(program) + "_chinese";
    std::string out = "# fish completion for " + name +
                      ", made from its option table. The descriptions speak the\n"
                      "# interface's language: Chinese when the locale's first language is Chinese.\n"
                      "function " + function + "\n" + kFishChinese + "end\n" + "set -l d\nif " + function +
                      "\n    set d" + descriptionArray(chinese, asIs, " \\\n        ") + "\nelse\n    set d" +
                      descriptionArray(english, asIs, " \\\n        ") + "\nend\n";
    forEachOption(program, [&](const OptionEntry& o, size_t row) {
        out += "complete -c " + name;
        if (o.shortName)
            out += std::string(" -s ") + o.shortName;
        out += std::string(" -l ") + o.longName;
        if (o.valueName) {
            out += o.completion == ValueCompletion::File ? " -r -F" : " -x";
            if (o.completion == ValueCompletion::Words)
                out += " -a " + quoted(o.words);
        }
        out += " -d $d[" + std::to_string(row + 1) + "]\n";
    });
    return out;
}

}  // namespace quillow

#pragma once
// The GNU-style options of both programs in one table: the parser, --help,
// the man pages and the shell completions are made from it, so that no
// option is described twice.
#include <span>
#include <string>

namespace quillow {

enum class Program { Desktop, Cli };

enum class OptionId {
    Keep, Unique, Repeated, AllRepeated, Count, List, Format, DropEmpty, WriteKeys,
    IgnoreCase, SkipFields, SkipChars, CheckChars, KeyField, Separator, Trim, Regex, Match, Compat, ZeroTerminated,
    Output, InPlace, FilesFrom, Encoding, MaxMemory,
    UseSettings, Verbose, Help, Version,
};

// The headings --help and the man pages list the options under.
enum class OptionGroup { Written, Compared, Files, Other };

// What a shell offers for an option's value.
enum class ValueCompletion { None, File, Words };

struct OptionEntry {
    OptionId id;
    OptionGroup group;
    char shortName;          // 0: none
    const char* longName;
    const char* valueName;   // "N", "FILE" ...; nullptr: the option takes no value
    bool cliOnly;            // the desktop program refuses it
    ValueCompletion completion;
    const char* words;       // the values a shell offers (Words), separated by blanks
    // What it does: a Chinese source text marked in the "quillow::help"
    // context, lines of at most 54 columns. Its first line is what the
    // completions show.
    const char* help;
};

std::span<const OptionEntry> optionTable();
const OptionEntry& optionEntry(OptionId id);
bool shownFor(const OptionEntry& entry, Program program);

// "-o, --output" or "--keep", as --help shows them, with "=VALUE" when valued.
std::string optionSynopsis(const OptionEntry& entry);
// "-o (--output)" or "--keep": how messages name an option.
std::string optionName(const OptionEntry& entry);

// The lupdate context of the help texts.
inline constexpr const char* kHelpContext = "quillow::help";

}  // namespace quillow

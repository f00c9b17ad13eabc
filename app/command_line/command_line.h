#pragma once
// What the arguments of either program ask for, parsed once. Two syntaxes:
// the slash switches, and GNU-style options (option_table.h) in the manner
// of uniq and sort. The first argument decides: a slash switch or
// "DEBUG_MODE" there means slash switches for the whole line (so "/f -3"
// keeps its meaning). Otherwise quillow-cli always reads GNU options, and
// the desktop program does when any argument starts with "-".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line/option_table.h"
#include "app/settings/settings.h"
#include "engine/dedup/selection.h"

namespace quillow {

// What a GNU-style run writes.
enum class Written {
    Cleaned,      // every line but the later (--keep=last: earlier) occurrences of each
    Unique,       // -u: the lines that occur once
    Repeated,     // -d: one line of each repeated line
    AllRepeated,  // -D: every occurrence of the repeated lines
    Counts,       // -c: each line once after its count (with -d: the repeated lines only)
    List,         // --list: the duplicates list
};

// How --list writes the duplicates: "[line]   text" per entry, or line,
// group and text separated by tabs.
enum class ListForm { Numbered, Tsv };

// An unattended run: what to scan, what to write and where, and the options
// that override the starting ones for this run only.
struct RunRequest {
    std::string input;                // a file; empty for standard input or inputs
    bool inputIsStdin = false;
    std::vector<std::string> inputs;  // --files0-from: read one after another as one text
    std::string filesFrom;            // where those names are read ("-": standard input)
    std::string output;
    bool outputIsStdout = false;
    bool inPlace = false;             // the output is the input file

    // The slash switches choose occurrences to drop (none: only a scan).
    std::optional<SelectCommand> select;
    // GNU-style runs write as uniq does (lineTool): the input passed on
    // when nothing is to be dropped.
    bool lineTool = false;
    // The run starts from the stored settings: slash switches always do,
    // GNU-style options only with --use-settings (otherwise the documented
    // defaults hold).
    bool fromStoredSettings = true;
    Written written = Written::Cleaned;
    bool keepLast = false;
    bool onlyRepeated = false;        // -c with -d
    ListForm listForm = ListForm::Numbered;

    std::optional<bool> caseSensitive, trimLines, saveEmptyLines, saveApplyFilter, compatForms, zeroTerminated;
    std::optional<int16_t> startPos, filterMatch;
    std::optional<int64_t> keyField, skipFields, checkChars;
    std::optional<std::string> fieldSeparator;
    std::optional<std::string> filterPattern;  // empty: no filter for this run
    std::optional<std::string> textEncoding;   // "auto" or an encoding's name (checked)
    std::optional<std::string> maxMemory;      // "auto" or a size (checked)
};

struct CommandLine {
    enum class Action {
        // The desktop program opens for the user. With openFile it scans it
        // at once, by the stored options with run's overrides for this
        // session (GNU options that choose how to scan, without an output).
        Interactive,
        Run,      // the unattended run of run
        Help,
        Version,
        Error,    // error says why, in one line
    };
    Action action = Action::Interactive;
    bool gnuSyntax = false;
    bool debugMode = false;  // "DEBUG_MODE" anywhere in the desktop program's arguments
    bool verbose = false;    // -v: a summary line at the end
    std::string error;
    bool errorIsUsage = true;  // a usage error (the help names the right form), not a missing file
    std::string openFile;
    RunRequest run;
};

// False when the first argument is a slash switch (it starts with one of
// them and names no existing path) or "DEBUG_MODE". Otherwise true for
// quillow-cli, and for the desktop program when any argument starts with "-".
bool usesGnuSyntax(const std::vector<std::string>& args, Program program);

// Parses the arguments (without the program's name). GNU options follow
// getopt_long's rules: bundled short options, attached or separate values,
// long options with "=" or a separate value and unambiguous abbreviations,
// "--" ending the options; the operands are INPUT and OUTPUT. The slash
// switches run only when /i, /o and /s are given, /s is 1, 2 or 3 and /i
// names a regular file; otherwise the desktop program opens for the user
// and quillow-cli reports why.
CommandLine parseCommandLine(const std::vector<std::string>& args, Program program);

// The GNU options alone, for program, without looking at the file system.
CommandLine parseGnuOptions(const std::vector<std::string>& args, Program program = Program::Cli);

// The options a GNU-style run starts from: the documented defaults, which
// compare exactly.
Options documentedDefaults();

// Applies the run's overrides to the options in memory.
void applyOverrides(const RunRequest& run, Options& options);

}  // namespace quillow

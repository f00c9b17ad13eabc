#pragma once
// What the arguments of either program ask for, parsed once. Two syntaxes:
// the slash switches, and GNU-style options for Linux paths (slash
// switches clash with absolute paths: "/in.txt" holds "/i"). The first
// argument decides: a slash switch or "DEBUG_MODE" there means slash
// switches for the whole line (so "/f -3" keeps its meaning); otherwise any
// argument starting with "-" selects the GNU syntax.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/dedup/selection.h"
#include "app/settings/settings.h"

namespace quillow {

enum class Program { Desktop, Cli };

// An unattended run: the file to scan, what to drop, where to write, and the
// options that override the stored ones for this run only.
struct RunRequest {
    std::string input;
    std::string output;
    bool inputIsStdin = false;    // -i -
    bool outputIsStdout = false;  // -o -
    std::optional<SelectCommand> select;  // none: only scan (--list)
    std::optional<bool> caseSensitive, trimLines, saveEmptyLines, saveApplyFilter;
    std::optional<int16_t> startPos, filterMatch;
    std::optional<std::string> filterPattern;  // empty: no filter for this run
    std::optional<std::string> textEncoding;   // "auto" or an encoding's name (checked)
    std::optional<bool> compatForms;
    std::optional<std::string> maxMemory;      // "auto" or a size (checked)
};

// How --list writes the duplicates: "[line]   text" per entry, or line,
// group and text separated by tabs.
enum class ListForm { Numbered, Tsv };

struct CommandLine {
    enum class Action {
        Interactive,  // the desktop program opens for the user (openFile: scanned at once)
        Run,          // clean up run.input by itself
        List,         // quillow-cli --list: scan and print the duplicates
        Count,        // quillow-cli --count: scan and print each group's size
        Help,
        Version,
        Error,        // error says why, in one line
    };
    Action action = Action::Interactive;
    bool gnuSyntax = false;
    bool debugMode = false;  // "DEBUG_MODE" anywhere in the desktop program's arguments
    bool quiet = false;
    // Whether the run starts from the stored settings: slash switches always
    // do, GNU-style options only with --use-settings (otherwise the
    // documented defaults hold). The desktop program always does.
    bool useStoredSettings = true;
    ListForm listForm = ListForm::Numbered;
    std::string error;
    bool errorIsUsage = true;  // a usage error (the help names the right form), not a missing file
    std::string openFile;
    RunRequest run;
};

// False when the first argument is a slash switch (it starts with one of
// them and names no existing path) or "DEBUG_MODE"; otherwise true when any
// argument starts with "-".
bool usesGnuSyntax(const std::vector<std::string>& args);

// Parses the arguments (without the program's name). GNU options follow
// getopt_long's rules: bundled short options, attached or separate values,
// long options with "=" or a separate value and unambiguous abbreviations,
// "--" ending the options; a positional argument is the input file. The
// slash switches run only when /i, /o and /s are given, /s is 1, 2 or 3 and
// /i names a regular file; otherwise the desktop program opens for the user
// and quillow-cli reports why.
CommandLine parseCommandLine(const std::vector<std::string>& args, Program program);

// The GNU options alone, without looking at the file system.
CommandLine parseGnuOptions(const std::vector<std::string>& args);

// Applies the run's overrides to the options in memory.
void applyOverrides(const RunRequest& run, Options& options);

}  // namespace quillow

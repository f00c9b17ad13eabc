#pragma once
// GNU-style options for both front ends. Slash switches clash with absolute
// Linux paths ("/in.txt" holds "/i"), so any argument that starts with "-"
// selects this syntax instead. Parsing prints nothing; the caller reports.
#include <string>
#include <vector>

#include "engine/program_state.h"

namespace quillow {

struct GnuOptions {
    enum class Action { Run, List, Help, Version, Error };
    Action action = Action::Run;
    std::string error;  // one line, set with Action::Error

    bool quiet = false;
    bool inputIsStdin = false;    // -i - (or FILE -): read standard input
    bool outputIsStdout = false;  // -o -: write to standard output
    bool clearRegExp = false;     // --regex '': no filter for this run

    // Values in the form the slash switches give them: on/off as "on" or
    // "off", the selection as "1", "2" or "3", numbers as decimal text.
    std::string input, output, select, caseSensitive, trimLines, saveEmptyLines, startPos, regExp, regExpMatch,
        applyFilter;
};

// True when any argument starts with "-".
bool usesGnuSyntax(const std::vector<std::string>& args);

// Parses the arguments (without the program's name) with getopt_long rules:
// bundled short options, attached or separate values, long options with
// "=" or a separate value and unambiguous abbreviations, "--" ending the
// options. A positional argument is the input file.
GnuOptions parseGnuOptions(const std::vector<std::string>& args);

// Copies the values into the cmdLine* fields and decides cmdLineMode as the
// slash syntax does (a scan-only List run needs just the input). Returns an
// empty text when the run can take place, else a one-line reason.
std::string applyGnuOptions(const GnuOptions& options, ProgramState& state);

// The program whose --help is printed: reading standard input, writing
// standard output, --list and --quiet belong to quillow-cli alone.
enum class HelpProgram { Desktop, Cli };

// The option lines of that program's --help, each option described once for
// both programs; the usage lines and closing notes are the program's own.
std::string gnuOptionsHelp(HelpProgram program);

}  // namespace quillow

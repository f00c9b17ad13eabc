#pragma once
// Command-line mode: the slash switches (/i /o /s /c /r /m /f /x /a /p) parsed
// from the argument text exactly as the classic program does, GNU-style
// options for Linux paths, and the unattended run.
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/program_state.h"

namespace quillow {

// Fills the cmdLine* fields from the argument text and sets cmdLineMode.
void ParseCommandLine(ProgramState& state, const std::string& argumentText);

// The argument text as the classic program sees it: the arguments joined by
// blanks.
std::string argumentText(const std::vector<std::string>& args);

// The decision that closes the parse, shared by both syntaxes: cmdLineMode
// becomes -1 when /i, /o and /s are given, /s is "1", "2" or "3" and /i names
// a regular file (after symlinks; directories do not count), else 0.
void decideCommandLineMode(ProgramState& state);

// Applies the overrides to the settings in memory: /c, /r, /m, then /f, /x,
// /a, then /p. An on/off value that is neither (ignoring case) changes nothing;
// a /f or /a value that is not a number or does not fit 16 bits is ignored.
void ApplyCommandLineOverrides(ProgramState& state);

// How the unattended run ended, for quillow-cli's exit status.
enum class RunOutcome {
    NotRun,           // cmdLineMode was 0
    Written,          // exit 0
    DuplicatesFound,  // exit 0: a scan-only run found duplicates
    NothingToDo,      // exit 1: no duplicates or nothing selected
    InputError,       // exit 2: the input could not be read
    OutputError,      // exit 3: the output could not be written
    Stopped,          // the user stopped; cmdLineMode is 0 again
};

// The unattended run: overrides, scan, selection by /s, save. Does nothing
// unless cmdLineMode is -1. With scanOnly the run ends after the scan
// (DuplicatesFound, NothingToDo, InputError or Stopped); the results stay in
// state.
RunOutcome RunCommandLine(ProgramState& state, Host& host, bool scanOnly = false);

}  // namespace quillow

#pragma once
// Command-line mode: the slash switches (/i /o /s /c /r /m /f /x /a /p) parsed
// from the argument text exactly as the classic program does, GNU-style
// options for Linux paths, and the unattended run.
#include <string>
#include <vector>

#include "app/host.h"
#include "scan/program_state.h"

namespace quillow {

// Fills the cmdLine* fields from the argument text and sets cmdLineMode.
void ParseCommandLine(ProgramState& state, const std::string& argumentText);

// The argument text as the classic program sees it: the arguments joined by
// blanks.
std::string argumentText(const std::vector<std::string>& args);

// How the unattended run ended, for quillow-cli's exit status.
enum class RunOutcome {
    NotRun,        // cmdLineMode was 0
    Written,       // exit 0
    NothingToDo,   // exit 1: no duplicates or nothing selected
    InputError,    // exit 2: the input could not be read
    OutputError,   // exit 3: the output could not be written
    Stopped,       // the user stopped; cmdLineMode is 0 again
};

RunOutcome RunCommandLine(ProgramState& state, Host& host);

}  // namespace quillow

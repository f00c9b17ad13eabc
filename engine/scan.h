#pragma once
// The scan behind the Open button: choose a file, read its lines, build a key
// per line, and list every occurrence of every key found at least twice.
#include "engine/host.h"
#include "engine/program_state.h"

namespace quillow {

// How a scan ended, for callers that report it (quillow-cli's exit status);
// the status text says the same to the user.
enum class ScanOutcome {
    NoFile,     // no file chosen: nothing happened
    Completed,  // read and compared; state.resultsReady says whether duplicates were found
    EmptyFile,  // the file holds no bytes
    Failed,     // the file could not be read
    Stopped,    // the user stopped it
};

// The whole scan; results are left in state and shown through host.
ScanOutcome runScan(ProgramState& state, Host& host);
inline void cmdScan_Click(ProgramState& state, Host& host) { runScan(state, host); }

// What the main-window buttons show for the current state.
ButtonStates buttonStates(const ProgramState& state);

}  // namespace quillow

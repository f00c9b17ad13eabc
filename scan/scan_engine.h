#pragma once
// The scan behind the Open button: choose a file, read its lines, build a key
// per line, and list every occurrence of every key found at least twice.
#include "app/host.h"
#include "scan/program_state.h"

namespace quillow {

// The whole scan; results are left in state and shown through host.
void cmdScan_Click(ProgramState& state, Host& host);

// What the main-window buttons show for the current state.
ButtonStates buttonStates(const ProgramState& state);

}  // namespace quillow

#pragma once
// The save behind the Save button: checks the source and the selection,
// settles the target, then hands over to WriteCleanedFile.
#include <string>

#include "engine/host.h"
#include "engine/program_state.h"

namespace quillow {

void cmdSave_Click(ProgramState& state, Host& host);

// How the last WriteCleanedFile ended, for callers that report it (the CLI's
// exit status); the status text says the same to the user.
enum class WriteOutcome { Written, Stopped, SourceUnreadable, TargetUnwritable, Failed, NotStarted };

WriteOutcome WriteCleanedFile(ProgramState& state, Host& host, const std::string& target, bool sameFile);

// cmdSave_Click with its outcome: NotStarted when a check or a question
// ended the save before writing began, else what WriteCleanedFile returned.
WriteOutcome runSave(ProgramState& state, Host& host);

}  // namespace quillow

#pragma once
// The unattended run: the options overridden by the request, the scan, the
// selection and the save, with nothing asked of the user (unless Stop is
// pressed), and the exit status that reports it. Slash switches select by
// their rule and save as the Save button does; GNU-style runs write as uniq
// does (line_tool_run.h).
#include <string>

#include "app/command_line/command_line.h"
#include "app/session.h"

namespace quillow {

enum class RunOutcome {
    Written,          // the output was written (or, with nothing to drop, the input passed on)
    WrittenUnflushed, // the output took the target's place, but its folder could not be flushed to disk
    DuplicatesFound,  // a scan-only run found duplicates
    NothingToDo,      // no duplicates, or nothing selected: nothing written
    InputError,       // the input could not be read
    OutputError,      // the output could not be written
    Stopped,          // the user stopped; the session is no longer unattended
};

// Why a run failed, for "program: FILE: REASON".
struct RunFailure {
    std::string file;
    std::string reason;
    int error = 0;  // the system's error number behind it, or 0
};

// Exit statuses: 0 written or duplicates found, 1 nothing to do, 2 bad
// usage or unreadable input, 3 output not written, 4 written but its folder
// not flushed to disk, 130 stopped.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitOutput = 3;
inline constexpr int kExitUnflushed = 4;
inline constexpr int kExitStopped = 130;
int exitStatus(RunOutcome outcome);

// Runs request. The results stay in the session; a failure's status text
// names the file and the reason, and so does failure (when given) for
// GNU-style runs.
RunOutcome runUnattended(Session& session, const RunRequest& request, RunFailure* failure = nullptr);

}  // namespace quillow

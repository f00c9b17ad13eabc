#pragma once
// The unattended run: the options overridden by the request, the scan, the
// selection by rule and the save, with nothing asked of the user (unless
// Stop is pressed), and the exit status that reports it.
#include "app/command_line/command_line.h"
#include "app/session.h"

namespace quillow {

enum class RunOutcome {
    Written,          // the cleaned file was written
    WrittenUnflushed, // the cleaned file took the target's place, but its folder was not flushed
    PassedThrough,    // nothing to drop: standard output got the input as it came
    DuplicatesFound,  // a scan-only run found duplicates
    NothingToDo,      // no duplicates, or nothing selected: nothing written
    InputError,       // the input could not be read
    OutputError,      // the output could not be written
    Stopped,          // the user stopped; the session is no longer unattended
};

// Exit statuses: 0 written, passed through or duplicates found, 1 nothing
// to do, 2 bad usage or unreadable input, 3 output not written, 4 written
// but its folder not flushed to disk, 130 stopped.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitOutput = 3;
inline constexpr int kExitUnflushed = 4;
inline constexpr int kExitStopped = 130;
int exitStatus(RunOutcome outcome);

// Runs request (a scan only when it has no selection). The results stay in
// result; a failure's status text names the file and the reason. Standard
// input is read straight into the scan's buffer. Standard output, and an
// output that names a stream (/dev/stdout, a pipe, a device), gets the
// cleaned text straight, or the input as it came when nothing is to be
// dropped; a file target is not written then.
RunOutcome runUnattended(Session& session, const RunRequest& request);

}  // namespace quillow

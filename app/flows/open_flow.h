#pragma once
// Open: choose a file (or take standard input), scan it with the session's
// options on the front end's worker, and report what was found.
#include <string>

#include "app/session.h"
#include "engine/dedup/scan.h"

namespace quillow {

// How an open ended, for callers that report it (quillow-cli's exit status);
// the status text says the same to the user.
enum class ScanOutcome {
    NoFile,     // no file chosen: nothing happened
    Completed,  // read and compared; the result's ready says whether duplicates were found
    EmptyFile,  // the file holds no bytes
    Failed,     // the file could not be read, or stored options cannot run
    Stopped,    // the user stopped it
};

// Scans file, or the file the open dialog gives when file is empty (never
// in an unattended run). Counts into the usage counters and remembers the
// file; leaves the lists in session.result, and why it failed in failure
// (when given).
ScanOutcome openFile(Session& session, std::string file, ScanFailure* failure = nullptr);

// Scans what fd holds up to its end (standard input, a pipe); name stands
// for it in the caption and in failures.
ScanOutcome openStream(Session& session, int fd, const std::string& name, ScanFailure* failure = nullptr);

}  // namespace quillow

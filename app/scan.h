#pragma once
// The scan behind Open: read a file, build a key per line, and list every
// occurrence of every key found at least twice.
#include <string>

#include "app/host.h"
#include "app/run_flags.h"
#include "app/scan_result.h"
#include "app/settings/settings.h"

namespace quillow {

// How a scan ended, for callers that report it (quillow-cli's exit status);
// the status text says the same to the user.
enum class ScanOutcome {
    NoFile,     // no file chosen: nothing happened
    Completed,  // read and compared; ScanResult::ready says whether duplicates were found
    EmptyFile,  // the file holds no bytes
    Failed,     // the file could not be read
    Stopped,    // the user stopped it
};

// Scans file, or the file the open dialog gives when file is empty. Reads
// the options from settings, counts into its usage
// counters and remembers the file; leaves the lists in result.
ScanOutcome runScan(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, std::string file);

// Scans what fd holds up to its end (standard input); name stands for it in
// the caption. Nothing can read the bytes again: result.file stays empty,
// result.fromStream is set and the lines live only in result.source. A stop
// while waiting for input ends the scan as Stopped.
ScanOutcome runScanOfStream(Settings& settings, ScanResult& result, RunFlags& flags, Host& host, int fd,
                            const std::string& name);

}  // namespace quillow

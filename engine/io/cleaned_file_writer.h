#pragma once
// The writing stage of the save: every line of the scanned file whose entry
// is not selected, written from the bytes the scan read. A file target is
// written to a private temporary file beside it, flushed to disk and renamed
// into place only when the source is still the file that was scanned, so a
// failed, stopped or raced save never leaves a partial file and never loses
// a line. A stream target (standard output) is written straight.
#include <string>

#include "app/host.h"
#include "app/run_flags.h"
#include "app/scan_result.h"
#include "app/settings/settings.h"
#include "engine/io/temp_name.h"

namespace quillow {

// Where the cleaned text goes: a file, or a descriptor that is already open.
struct SaveTarget {
    std::string path;
    int fd = -1;  // >= 0: written straight, no temporary file, no fsync
    bool isStream() const { return fd >= 0; }
};

// How a save ended, for callers that report it (quillow-cli's exit status);
// the status text says the same to the user.
enum class WriteOutcome { Written, Stopped, SourceUnreadable, SourceChanged, TargetUnwritable, Failed, NotStarted };

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::NotStarted;
    std::string file;  // the file a failure concerns
    int error = 0;     // the system's error number, kNotRegularError, or 0 when there is none
};

// Reads the save options from settings and counts the dropped lines into
// its counters.
WriteResult writeCleanedFile(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                             const SaveTarget& target);

}  // namespace quillow

#pragma once
// The writing stage of the save: the kept lines of the scanned file go to a
// temporary file beside the target, which is flushed to disk and renamed
// into place, so a failed or stopped save never leaves a partial file.
#include <string>

#include "engine/host.h"
#include "engine/run_flags.h"
#include "engine/scan_result.h"
#include "engine/settings.h"

namespace quillow {

inline constexpr const char* kTempSuffix = ".quillowtemp";

// How a save ended, for callers that report it (quillow-cli's exit status);
// the status text says the same to the user.
enum class WriteOutcome { Written, Stopped, SourceUnreadable, TargetUnwritable, Failed, NotStarted };

// Writes every line of the scanned file whose entry is not selected to
// target (the source's own name + kTempSuffix when sameFile). Reads the
// save options from settings and counts the dropped lines into its counters.
WriteOutcome writeCleanedFile(Settings& settings, ScanResult& result, RunFlags& flags, Host& host,
                              const std::string& target, bool sameFile);

}  // namespace quillow

#pragma once
// What the main-window buttons show follows from what is running and what the
// last scan left.
#include "engine/host.h"
#include "engine/run_flags.h"
#include "engine/scan_result.h"

namespace quillow {

ButtonStates buttonStates(const ScanResult& result, const RunFlags& flags);

}  // namespace quillow

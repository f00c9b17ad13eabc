#pragma once
// What the main-window buttons show follows from what is running and what the
// last scan left.
#include "app/host.h"
#include "app/run_flags.h"
#include "app/scan_result.h"

namespace quillow {

ButtonStates buttonStates(const ScanResult& result, const RunFlags& flags);

}  // namespace quillow

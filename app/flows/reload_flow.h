#pragma once
// Reload: scan the scanned file again (it may have changed) and keep the
// ticks on the lines whose text did not change. A ticked line is known by
// its bytes and by which occurrence of those bytes it is (the third "x"
// stays the third "x" when lines are added elsewhere).
#include <cstdint>

#include "app/flows/open_flow.h"

namespace quillow {

struct ReloadOutcome {
    ScanOutcome scan = ScanOutcome::NoFile;
    int64_t kept = 0;  // ticks carried over to the new list
    int64_t lost = 0;  // ticked lines no longer found, or no longer duplicates
};

// Whether the ticks of the current list can be carried over: the line
// texts are still there to compare.
bool ticksCanBeKept(const ScanResult& result);

ReloadOutcome reloadFile(Session& session);

}  // namespace quillow

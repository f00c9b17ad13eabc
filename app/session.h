#pragma once
// What the program holds while it runs: its settings, the last scan and
// what is running, with the front end that shows it. The flows (open, save,
// select, the unattended run) work on a session.
#include "app/front_end.h"
#include "app/settings/settings.h"
#include "engine/dedup/scan_result.h"

namespace quillow {

struct Session {
    Session(Settings& settings, FrontEnd& frontEnd) : settings(settings), frontEnd(frontEnd) {}

    Settings& settings;
    FrontEnd& frontEnd;
    ScanResult result;
    bool busy = false;        // a scan or save runs: nothing else starts, the window stays open
    bool unattended = false;  // an unattended run: nothing is asked (but whether to stop)
    bool debugMode = false;   // "DEBUG_MODE" given: a debug version, no minimum window sizes
};

}  // namespace quillow

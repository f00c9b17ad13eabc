#pragma once
// What is running, shared by the work in progress and the front end.
namespace quillow {

struct RunFlags {
    bool busy = false;           // a scan or save runs: nothing else starts, the window stays open
    bool stopRequested = false;  // Stop was pressed; the running work asks and clears it
    bool unattended = false;     // an unattended run: no dialogs; a confirmed stop ends it
    bool selecting = false;      // a selection command runs over the duplicates list
    bool viewerOpen = false;     // the viewer is shown
    bool debugMode = false;      // DEBUG_MODE given: no minimum window sizes, a debug version
};

}  // namespace quillow

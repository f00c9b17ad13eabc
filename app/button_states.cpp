#include "app/button_states.h"

namespace quillow {

ButtonStates buttonStates(const ScanResult& result, const RunFlags& flags)
{
    ButtonStates s;
    if (flags.busy) {
        // Only Stop, in Open's place.
        s.scanEnabled = false;
        s.scanVisible = false;
        s.stopEnabled = true;
        s.stopVisible = true;
        s.saveEnabled = s.selectEnabled = s.viewEnabled = false;
        s.settingsEnabled = s.aboutEnabled = false;
        return s;
    }
    s.saveEnabled = s.selectEnabled = result.ready;
    s.viewEnabled = result.ready && !result.memoryPreserved;
    return s;
}

}  // namespace quillow

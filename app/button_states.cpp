#include "app/button_states.h"

namespace quillow {

ButtonStates buttonStates(const Session& session)
{
    ButtonStates s;
    if (session.busy) {
        // Only Stop, in Open's place.
        s.scanEnabled = false;
        s.scanVisible = false;
        s.stopEnabled = true;
        s.stopVisible = true;
        s.saveEnabled = s.selectEnabled = s.viewEnabled = false;
        s.settingsEnabled = s.aboutEnabled = false;
        return s;
    }
    const ScanResult& result = session.result;
    s.saveEnabled = s.selectEnabled = result.ready;
    s.viewEnabled = result.ready && !result.memoryPreserved;
    return s;
}

}  // namespace quillow

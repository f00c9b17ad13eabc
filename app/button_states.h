#pragma once
// What the main-window buttons show follows from what is running and what the
// last scan left.
#include "app/session.h"

namespace quillow {

struct ButtonStates {
    bool scanEnabled = true, scanVisible = true;
    bool stopEnabled = false, stopVisible = false;
    bool saveEnabled = false, selectEnabled = false, viewEnabled = false;
    bool settingsEnabled = true, aboutEnabled = true;
    bool operator==(const ButtonStates&) const = default;
};

ButtonStates buttonStates(const Session& session);

}  // namespace quillow

#pragma once
// The settings on QSettings (organisation "Orvandel", application "Quillow",
// group "Quillow"), every value stored as text. A value that is not a number
// where one is expected, or does not fit, reads as the key's default.
#include <string>

#include "app/settings/settings.h"

namespace quillow {

// The screen the default window places are centred on, in twips.
struct ScreenSize {
    double widthTwips = 19200;   // 1280 px
    double heightTwips = 15360;  // 1024 px
};

// Where the main window stands when the settings are saved.
struct MainWindowPlacement {
    WindowState state = WindowState::Normal;
    double left = 0, top = 0;  // twips; used only in the normal state
};

void loadSettings(Settings& settings, const ScreenSize& screen);
// The file the store reads and writes (for messages about its values).
std::string settingsFileName();
// Writes every setting. A minimised main window leaves the previous run's
// placement in the store; a normal one records its left and top edge first.
void saveSettings(Settings& settings, const MainWindowPlacement& window);

}  // namespace quillow

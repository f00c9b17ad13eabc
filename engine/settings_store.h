#pragma once
// The 28 stored settings on QSettings (organisation "Orvandel", application
// "Quillow", group "Quillow"), every value as text.
#include "engine/program_state.h"

namespace quillow {

struct ScreenSize {
    double widthTwips = 19200;   // 1280 px
    double heightTwips = 15360;  // 1024 px
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Where the main window stands when the settings are saved.
struct MainWindowPlacement {
    WindowState state = WindowState::Normal;
    double left = 0, top = 0;  // twips; used only in the normal state
};

void LoadSettings(ProgramState& state, const ScreenSize& screen);
void SaveSettings(ProgramState& state, const MainWindowPlacement& window);

}  // namespace quillow

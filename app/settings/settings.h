#pragma once
// What the program keeps between runs: the options, the last files, the
// placement of its two resizable windows and the usage counters.
// app/settings/settings_store.* moves them to and from the settings store.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/options.h"

namespace quillow {

// A window's state as stored; other stored values are kept as they are.
enum class WindowState : int16_t { Normal = 0, Minimized = 1, Maximized = 2 };

// Where a window stands, in twips (15 per logical pixel); the size is the
// outer one, frame included.
struct WindowPlacement {
    int16_t left = 0, top = 0, width = 0, height = 0;
    WindowState state = WindowState::Normal;
};

inline constexpr int16_t kMainWindowWidth = 6765, kMainWindowHeight = 7300;
inline constexpr int16_t kViewerWidth = 7095, kViewerHeight = 5655;

struct UsageCounters {
    int32_t filesOpened = 0;
    int32_t linesScanned = 0;
    int32_t dupsFound = 0;
    int32_t uniqueDupsFound = 0;
    int32_t dupsDeleted = 0;
};

struct Settings {
    Options options;
    std::string filterTestText;  // the text last used in the options dialog's filter test
    std::string lastLoadedFile;
    std::string lastSavedFile;
    std::vector<std::string> recentFiles;  // the files opened last, newest first (File > Open Recent)
    int16_t listFontPoints = 0;            // the two lists' font size; 0: the window's own
    WindowPlacement mainWindow{0, 0, kMainWindowWidth, kMainWindowHeight, WindowState::Normal};
    WindowPlacement viewerWindow{0, 0, kViewerWidth, kViewerHeight, WindowState::Normal};
    UsageCounters counters;
};

}  // namespace quillow

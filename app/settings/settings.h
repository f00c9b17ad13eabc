#pragma once
// What the program keeps between runs: the options, the last files, the
// placement of its two resizable windows and the usage counters.
// engine/settings_store.* moves them to and from the settings store.
#include <cstdint>
#include <string>

namespace quillow {

// How lines are compared and written.
struct Options {
    bool caseSensitive = false;    // lines differing only in letter case differ
    bool trimLines = false;        // blanks at both ends are ignored when comparing
    int16_t startPos = 0;          // leading characters comparison ignores
    std::string filterPattern;     // regular expression; empty: no filter
    int16_t filterMatch = 0;       // which match is the key: -1 the last, 0 all joined, n the n-th
    bool saveEmptyLines = true;    // empty lines are written
    bool saveApplyFilter = false;  // lines are written the way they are compared
    bool preserveMemory = false;   // the line texts are freed after scanning a big file
    std::string textEncoding = "auto";  // the files' encoding: "auto" lets each file decide, else an ICU name
    bool compatForms = false;      // compatibility forms (full/half width, ligatures) compare alike (NFKC)
    std::string maxMemory = "auto";  // the memory a scan may use ("2G"); "auto": what the machine has available
};

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
    // Nothing reads these two; the store keeps whatever they hold.
    int16_t includeEmptyLines = 0;
    int16_t trimSaveLines = 0;
    WindowPlacement mainWindow{0, 0, kMainWindowWidth, kMainWindowHeight, WindowState::Normal};
    WindowPlacement viewerWindow{0, 0, kViewerWidth, kViewerHeight, WindowState::Normal};
    UsageCounters counters;
};

}  // namespace quillow

#pragma once
// Whether the desktop program can open a display, settled around the
// construction of QApplication: Qt ends a program whose platform cannot
// start with an abort and an advice to reinstall, so the program tries the
// display platforms itself, with the offscreen one as the last resort, and
// takes landing there as "no display".
#include <string>
#include <vector>

namespace quillow {

class DisplayCheck {
public:
    // Before QApplication: args are the program's arguments. The platform
    // the user chose (QT_QPA_PLATFORM, -platform) is left alone.
    explicit DisplayCheck(const std::vector<std::string>& args);
    // Why there is no display, known before QApplication (no DISPLAY and no
    // WAYLAND_DISPLAY); empty when one may be there.
    const std::string& missing() const { return missing_; }
    // After QApplication: why the display could not be opened, or empty.
    std::string failure() const;

    // "quillow: cannot open a display (REASON); quillow-cli ..." and a newline.
    static std::string message(const std::string& reason);

private:
    bool checking_ = false;
    std::string display_;
    std::string missing_;
};

}  // namespace quillow

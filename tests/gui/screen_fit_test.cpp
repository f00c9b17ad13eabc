// Stored window places against fake screen layouts.
#include <gtest/gtest.h>

#include "gui/screen_fit.h"

namespace quillow {
namespace {

TEST(ScreenFit, StoredPlacesAreMovedAndShrunkOntoTheScreens)
{
    // Device-independent pixels, as Qt reports them: a 1920 x 1080 screen at
    // 200 % is 960 x 540, with a 30-pixel panel at its top.
    const QRect hiDpi(0, 30, 960, 510);
    const QRect right(1920, 0, 1920, 1080);
    const QRect main(0, 0, 1920, 1050);
    struct Row {
        const char* name;
        QList<QRect> areas;
        QRect frame, fallback, expected;
    };
    const Row rows[] = {
        {"inside one screen", {main}, {100, 60, 600, 540}, main, {100, 60, 600, 540}},
        {"across two screens side by side", {main, right}, {1700, 100, 600, 400}, main, {1700, 100, 600, 400}},
        {"past the right edge", {main}, {1700, 100, 600, 400}, main, {1320, 100, 600, 400}},
        {"above the top", {main}, {100, -200, 600, 400}, main, {100, 0, 600, 400}},
        {"larger than the screen", {main}, {-50, -50, 2500, 1500}, main, {0, 0, 1920, 1050}},
        {"saved at 100 %, opened at 200 %", {hiDpi}, {1500, 100, 600, 400}, hiDpi, {360, 100, 600, 400}},
        {"taller than the 200 % screen", {hiDpi}, {100, 0, 700, 800}, hiDpi, {100, 30, 700, 510}},
        {"mostly on the second screen", {main, right}, {3700, 500, 600, 400}, main, {3240, 500, 600, 400}},
        {"in the gap between screens of two scales", {hiDpi, right}, {900, 100, 600, 400}, hiDpi,
         {360, 100, 600, 400}},
        {"on a screen that is gone", {main}, {4000, 300, 600, 400}, main, {1320, 300, 600, 400}},
        {"on none, with the main window on the second", {main, right}, {-3000, 300, 600, 400}, right,
         {1920, 300, 600, 400}},
        {"no screens known", {}, {-3000, 300, 600, 400}, QRect(), {-3000, 300, 600, 400}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(fitOnScreens(row.frame, row.areas, row.fallback), row.expected);
    }
}

}  // namespace
}  // namespace quillow

// The self-drawn progress bar, checked pixel by pixel on what its widget shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QWidget>
#include <string>

#include "gui/progress_bar.h"

using quillow::ProgressBar;

namespace {

const QColor kBack(255, 0, 0);
const QColor kBar(0, 0, 255);

// The bar's background and bar colours on a widget: red and blue.
void giveColours(QWidget& w)
{
    QPalette pal = w.palette();
    pal.setColor(QPalette::Button, kBack);
    pal.setColor(QPalette::Highlight, kBar);
    w.setPalette(pal);
}

// A bar as the main window sets it up: no border, button face behind a
// highlighted bar.
void plain(ProgressBar& bar)
{
    bar.setBorderStyle(ProgressBar::BorderStyle::None);
    bar.setBackgroundRole(QPalette::Button);
    bar.setBarRole(QPalette::Highlight);
}

// What a plain widget of w x h pixels shows with the bar on it.
QImage shown(ProgressBar& bar, int w, int h)
{
    QWidget box;
    giveColours(box);
    box.resize(w, h);
    bar.setWidget(&box);
    return box.grab().toImage();
}

char pixelCode(const QImage& img, int x, int y)
{
    const QColor c = img.pixelColor(x, y);
    return c == kBar ? 'b' : c == kBack ? '.' : '?';
}

// "b" for bar colour, "." for background, "?" otherwise, one per column on row y.
std::string rowPattern(const QImage& img, int y)
{
    std::string s;
    for (int x = 0; x < img.width(); ++x)
        s += pixelCode(img, x, y);
    return s;
}

std::string columnPattern(const QImage& img, int x)
{
    std::string s;
    for (int y = 0; y < img.height(); ++y)
        s += pixelCode(img, x, y);
    return s;
}

std::string repeat(char c, int n)
{
    return std::string(size_t(n), c);
}

TEST(ProgressBar, Defaults)
{
    ProgressBar bar;
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.maximum(), 100);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(bar.borderStyle(), ProgressBar::BorderStyle::Sunken);
    EXPECT_EQ(bar.widget(), nullptr);
}

TEST(ProgressBar, QuarterOfHundredPixelsFillsToPixel24)
{
    ProgressBar bar;
    plain(bar);
    bar.setMaximum(200);
    bar.setValue(50);
    const QImage img = shown(bar, 100, 10);
    for (int y : {0, 5, 9})
        EXPECT_EQ(rowPattern(img, y), repeat('b', 25) + repeat('.', 75)) << "row " << y;
}

TEST(ProgressBar, FillRoundsHalvesToEven)
{
    struct Row {
        const char* name;
        int32_t value;
        int width;
        int filled;
    };
    const Row rows[] = {
        {"12.5 rounds down to 12", 125, 100, 12},
        {"13.5 rounds up to 14", 135, 100, 14},
        {"a third of 100 is 33", 333, 100, 33},
    };
    for (const Row& r : rows) {
        ProgressBar bar;
        plain(bar);
        bar.setMaximum(1000);
        bar.setValue(r.value);
        const QImage img = shown(bar, r.width, 4);
        EXPECT_EQ(rowPattern(img, 1), repeat('b', r.filled) + repeat('.', r.width - r.filled)) << r.name;
    }
}

TEST(ProgressBar, ValuesOutsideTheRangeAreLimited)
{
    struct Row {
        const char* name;
        int32_t min, max, value;
        int filled;
    };
    const Row rows[] = {
        {"above the maximum is full", 0, 100, 250, 50},
        {"below the minimum is empty", 10, 100, -5, 0},
        {"maximum equal to minimum is empty", 7, 7, 9, 0},
        {"whole 32-bit range", INT32_MIN, INT32_MAX, 0, 25},
        {"reversed range counts downwards", 100, 0, 25, 38},
    };
    for (const Row& r : rows) {
        ProgressBar bar;
        plain(bar);
        bar.setMinimum(r.min);
        bar.setMaximum(r.max);
        bar.setValue(r.value);
        const QImage img = shown(bar, 50, 4);
        EXPECT_EQ(rowPattern(img, 2), repeat('b', r.filled) + repeat('.', 50 - r.filled)) << r.name;
    }
}

TEST(ProgressBar, TallBarFillsFromTheBottom)
{
    ProgressBar bar;
    plain(bar);
    bar.setValue(25);
    const QImage img = shown(bar, 40, 200);
    for (int x : {0, 20, 39})
        EXPECT_EQ(columnPattern(img, x), repeat('.', 150) + repeat('b', 50)) << "column " << x;

    bar.setValue(50);  // a square is tall too
    EXPECT_EQ(columnPattern(shown(bar, 20, 20), 0), repeat('.', 10) + repeat('b', 10));
}

TEST(ProgressBar, DefaultColoursPaintNothing)
{
    QWidget box;
    giveColours(box);
    box.resize(80, 12);
    const QImage before = box.grab().toImage();
    ProgressBar bar;
    bar.setBorderStyle(ProgressBar::BorderStyle::None);
    bar.setValue(60);
    EXPECT_EQ(shown(bar, 80, 12), before);
}

TEST(ProgressBar, BorderTable)
{
    const QPalette pal = QApplication::palette();
    const QColor dark = pal.color(QPalette::Dark), light = pal.color(QPalette::Light);
    struct Row {
        const char* name;
        ProgressBar::BorderStyle style;
        QColor topLeft, inner, bottomRight;  // at (0,0), (1,1), (w-1,h-1)
        int firstFilledX;                     // on the middle row
    };
    // A 40 x 10 bar at 100 %.
    const Row rows[] = {
        {"none", ProgressBar::BorderStyle::None, kBar, kBar, kBar, 0},
        {"sunken", ProgressBar::BorderStyle::Sunken, dark, kBar, light, 1},
        {"raised, drawn on the content", ProgressBar::BorderStyle::Raised, kBack, light, kBack, 2},
    };
    for (const Row& r : rows) {
        ProgressBar bar;
        plain(bar);
        bar.setBorderStyle(r.style);
        bar.setValue(100);
        const QImage img = shown(bar, 40, 10);
        EXPECT_EQ(img.pixel(0, 0), r.topLeft.rgb()) << r.name;
        EXPECT_EQ(img.pixel(1, 1), r.inner.rgb()) << r.name;
        EXPECT_EQ(img.pixel(39, 9), r.bottomRight.rgb()) << r.name;
        if (r.firstFilledX > 0) {
            EXPECT_NE(img.pixelColor(r.firstFilledX - 1, 5), kBar) << r.name;
        }
        EXPECT_EQ(img.pixelColor(r.firstFilledX, 5), kBar) << r.name;
    }
}

TEST(ProgressBar, BorderLeavesRoomForTheContent)
{
    ProgressBar bar;
    plain(bar);
    bar.setBorderStyle(ProgressBar::BorderStyle::Sunken);
    bar.setValue(50);
    const QImage img = shown(bar, 100, 10);
    // Content 98 pixels from x = 1: half of it ends at 49.
    EXPECT_EQ(rowPattern(img, 5), "?" + repeat('b', 49) + repeat('.', 49) + "?");
}

TEST(ProgressBar, PropertyWritesRepaintTheWidgetAtOnce)
{
    QWidget box;
    giveColours(box);
    box.resize(100, 12);
    box.show();
    QApplication::processEvents();  // let the window become exposed
    ProgressBar bar;
    plain(bar);
    bar.setWidget(&box);
    const int before = bar.paintCount();
    bar.setValue(30);
    EXPECT_GT(bar.paintCount(), before);

    // What the widget shows is the bar.
    const QImage img = box.grab().toImage();
    EXPECT_EQ(img.pixelColor(10, 6), kBar);
    EXPECT_EQ(img.pixelColor(40, 6), kBack);
}

TEST(ProgressBar, PaintsInsideTheBorderOfAFrame)
{
    QFrame box;
    giveColours(box);
    box.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box.resize(60, 20);
    box.show();
    QApplication::processEvents();
    ProgressBar bar;
    plain(bar);
    bar.setValue(25);
    bar.setWidget(&box);
    const QImage img = box.grab().toImage();
    const QRect client = box.contentsRect();
    ASSERT_EQ(client, QRect(1, 1, 58, 18));
    EXPECT_EQ(rowPattern(img, 0), repeat('?', 60));  // the frame's own border
    // A quarter of 58 is 14.5, counted from the client area's corner: halves
    // round to even there, so 14 pixels, whatever the frame adds.
    EXPECT_EQ(rowPattern(img, 10), repeat('?', 1) + repeat('b', 14) + repeat('.', 44) + "?");
}

TEST(ProgressBar, WithoutWidgetNothingIsPainted)
{
    ProgressBar bar;
    bar.setValue(10);
    EXPECT_EQ(bar.paintCount(), 0);
}

TEST(ProgressBar, WidgetThatGoesAwayIsForgotten)
{
    ProgressBar bar;
    {
        QWidget box;
        bar.setWidget(&box);
    }
    EXPECT_EQ(bar.widget(), nullptr);
    bar.setValue(40);  // must not touch the destroyed widget
}

}  // namespace

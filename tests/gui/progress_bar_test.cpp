// The self-drawn progress bar, checked pixel by pixel on images.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <string>
#include <vector>

#include "gui/progress_bar.h"

using quillow::cProgressBar;
using quillow::pcMemDC;
namespace ole = quillow::ole;

namespace {

const QColor kSentinel(0, 128, 0);  // what the image held before the bar painted
constexpr int32_t kRed = ole::rgb(255, 0, 0);
constexpr int32_t kBlue = ole::rgb(0, 0, 255);
constexpr int32_t kGreen = ole::rgb(0, 255, 0);

QImage blankImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(kSentinel);
    return img;
}

// A bar with plain colours, no border and no text: back red, bar blue.
void plain(cProgressBar& bar)
{
    bar.setBorderStyle(cProgressBar::BorderNone);
    bar.setBackColor(kRed);
    bar.setBarColor(kBlue);
}

QImage paint(cProgressBar& bar, int w, int h)
{
    QImage img = blankImage(w, h);
    bar.DrawToDC(nullptr, &img, 0, 0, w, h);
    return img;
}

// "b" for bar colour, "." for background, "?" otherwise, one per column on row y.
std::string rowPattern(const QImage& img, int y)
{
    std::string s;
    for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        s += c == QColor(0, 0, 255) ? 'b' : c == QColor(255, 0, 0) ? '.' : '?';
    }
    return s;
}

std::string columnPattern(const QImage& img, int x)
{
    std::string s;
    for (int y = 0; y < img.height(); ++y) {
        const QColor c = img.pixelColor(x, y);
        s += c == QColor(0, 0, 255) ? 'b' : c == QColor(255, 0, 0) ? '.' : '?';
    }
    return s;
}

std::string repeat(char c, int n)
{
    return std::string(size_t(n), c);
}

TEST(ProgressBar, DefaultsAsDocumented)
{
    cProgressBar bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.Appearance(), 1);
    EXPECT_EQ(bar.BorderStyle(), 1);
    EXPECT_EQ(bar.BackColor(), -1);
    EXPECT_EQ(bar.ForeColor(), 0);
    EXPECT_EQ(bar.BarColor(), -1);
    EXPECT_EQ(bar.BarForeColor(), 0xFFFFFF);
    EXPECT_EQ(bar.BarPictureMode(), 1);
    EXPECT_EQ(bar.BackPictureMode(), 1);
    EXPECT_EQ(bar.TextAlignX(), 1);
    EXPECT_EQ(bar.TextAlignY(), 1);
    EXPECT_EQ(bar.ShowText(), 0);
    EXPECT_EQ(bar.Segments(), 0);
    EXPECT_EQ(bar.XpStyle(), 0);
    EXPECT_EQ(bar.Font().family(), "Tahoma");
    EXPECT_EQ(bar.Font().pointSize(), 8);
    EXPECT_EQ(bar.DrawObject(), nullptr);
}

TEST(ProgressBar, QuarterOfHundredPixelsFillsToPixel24)
{
    cProgressBar bar;
    plain(bar);
    bar.setMax(200);
    bar.setValue(50);
    const QImage img = paint(bar, 100, 10);
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
        cProgressBar bar;
        plain(bar);
        bar.setMax(1000);
        bar.setValue(r.value);
        const QImage img = paint(bar, r.width, 4);
        EXPECT_EQ(rowPattern(img, 1), repeat('b', r.filled) + repeat('.', r.width - r.filled)) << r.name;
    }
}

TEST(ProgressBar, ValuesOutsideTheRangeAreLimited)
{
    struct Row {
        const char* name;
        int32_t min, max, value;
        double percent;
        int filled;
    };
    const Row rows[] = {
        {"above Max is full", 0, 100, 250, 100.0, 50},
        {"below Min is empty", 10, 100, -5, 0.0, 0},
        {"Max equal to Min is empty", 7, 7, 9, 0.0, 0},
        {"whole 32-bit range", INT32_MIN, INT32_MAX, 0, 50.0, 25},
        {"reversed range counts downwards", 100, 0, 25, 75.0, 38},
    };
    for (const Row& r : rows) {
        cProgressBar bar;
        plain(bar);
        bar.setMin(r.min);
        bar.setMax(r.max);
        bar.setValue(r.value);
        EXPECT_NEAR(bar.Percent(), r.percent, 1e-6) << r.name;
        const QImage img = paint(bar, 50, 4);
        EXPECT_EQ(rowPattern(img, 2), repeat('b', r.filled) + repeat('.', 50 - r.filled)) << r.name;
    }
}

TEST(ProgressBar, SegmentsSnapToWholeBlocksWithGapsInBackColour)
{
    cProgressBar bar;
    plain(bar);
    bar.setSegments(-1);
    bar.setValue(57);
    const QImage img = paint(bar, 100, 6);
    std::string expected;
    for (int block = 0; block < 5; ++block)
        expected += repeat('b', 8) + "..";
    expected += repeat('.', 50);
    EXPECT_EQ(rowPattern(img, 3), expected);
}

TEST(ProgressBar, VerticalBarFillsFromTheBottom)
{
    cProgressBar bar;
    plain(bar);
    bar.setValue(25);
    const QImage img = paint(bar, 40, 200);
    for (int x : {0, 20, 39})
        EXPECT_EQ(columnPattern(img, x), repeat('.', 150) + repeat('b', 50)) << "column " << x;
}

TEST(ProgressBar, SquareAreaIsVertical)
{
    cProgressBar bar;
    plain(bar);
    bar.setValue(50);
    const QImage img = paint(bar, 20, 20);
    EXPECT_EQ(columnPattern(img, 0), repeat('.', 10) + repeat('b', 10));
}

TEST(ProgressBar, VerticalSegmentsStartWithAFullBlockAtTheBottom)
{
    cProgressBar bar;
    plain(bar);
    bar.setSegments(-1);
    bar.setValue(27);  // top at 146, snapped down to 150
    const QImage img = paint(bar, 40, 200);
    // Gaps at 190, 180, 170 and 160; the loop stops before the top of the fill.
    const std::string expected = repeat('.', 150) + repeat('b', 10) + ".." + repeat('b', 8) + ".." +
                                 repeat('b', 8) + ".." + repeat('b', 8) + ".." + repeat('b', 8);
    EXPECT_EQ(columnPattern(img, 5), expected);
}

TEST(ProgressBar, DefaultColoursPaintNothing)
{
    cProgressBar bar;
    bar.setBorderStyle(cProgressBar::BorderNone);
    bar.setValue(60);
    const QImage before = blankImage(80, 12);
    const QImage img = paint(bar, 80, 12);
    EXPECT_EQ(img, before);

    bar.setSegments(-1);
    bar.setShowText(-1);  // no text set: still nothing
    EXPECT_EQ(paint(bar, 80, 12), before);
}

TEST(ProgressBar, DrawsIntoAnyRectangleOfTheDevice)
{
    cProgressBar bar;
    plain(bar);
    bar.setValue(50);
    QImage img = blankImage(60, 20);
    bar.DrawToDC(nullptr, &img, 10, 5, 50, 15);  // 40 x 10 at (10, 5)
    EXPECT_EQ(img.pixelColor(9, 10), kSentinel);
    EXPECT_EQ(img.pixelColor(10, 10), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(29, 10), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(30, 10), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(49, 14), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(50, 10), kSentinel);
    EXPECT_EQ(img.pixelColor(20, 4), kSentinel);
    EXPECT_EQ(img.pixelColor(20, 15), kSentinel);
}

TEST(ProgressBar, BorderTable)
{
    QPalette pal = QApplication::palette();
    const QColor dark = pal.color(QPalette::Dark), light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Shadow), midlight = pal.color(QPalette::Midlight);
    const QColor red(255, 0, 0), blue(0, 0, 255), black(0, 0, 0);
    struct Row {
        const char* name;
        int32_t style, appearance;
        QColor topLeft, inner, bottomRight;  // at (0,0), (1,1), (w-1,h-1)
        int firstFilledX;                     // on the middle row
    };
    // A 40 x 10 bar at 100 %.
    const Row rows[] = {
        {"none", 0, 1, blue, blue, blue, 0},
        {"sunken flat", 1, 0, black, blue, black, 1},
        {"sunken lines", 1, 1, dark, blue, light, 1},
        {"sunken edge", 1, 2, shadow, dark, light, 2},
        {"raised flat", 2, 0, black, blue, black, 1},
        {"raised lines, drawn on the content", 2, 1, red, light, red, 2},
        {"raised edge", 2, 2, light, midlight, shadow, 2},
        {"unknown style draws none", 3, 1, red, blue, red, 1},
    };
    for (const Row& r : rows) {
        cProgressBar bar;
        plain(bar);
        bar.setBorderStyle(r.style);
        bar.setAppearance(r.appearance);
        bar.setValue(100);
        const QImage img = paint(bar, 40, 10);
        EXPECT_EQ(img.pixel(0, 0), r.topLeft.rgb()) << r.name;
        EXPECT_EQ(img.pixel(1, 1), r.inner.rgb()) << r.name;
        EXPECT_EQ(img.pixel(39, 9), r.bottomRight.rgb()) << r.name;
        if (r.firstFilledX > 0) {
            EXPECT_NE(img.pixelColor(r.firstFilledX - 1, 5), blue) << r.name;
        }
        EXPECT_EQ(img.pixelColor(r.firstFilledX, 5), blue) << r.name;
    }
}

TEST(ProgressBar, BorderLeavesRoomForTheContent)
{
    cProgressBar bar;
    plain(bar);
    bar.setBorderStyle(cProgressBar::BorderSunken);
    bar.setAppearance(cProgressBar::AppearanceFlat);
    bar.setValue(50);
    const QImage img = paint(bar, 100, 10);
    // Content 98 pixels from x = 1: half of it ends at 49.
    EXPECT_EQ(rowPattern(img, 5), "?" + repeat('b', 49) + repeat('.', 49) + "?");
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

bool anyPixelNear(const QImage& img, int x0, int x1, const QColor& c, int tolerance)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = x0; x < x1; ++x)
            if (near(img.pixelColor(x, y), c, tolerance))
                return true;
    return false;
}

TEST(ProgressBar, TextChangesColourWhereTheBarEnds)
{
    cProgressBar bar;
    bar.setBorderStyle(cProgressBar::BorderNone);
    bar.setBackColor(0);  // black
    bar.setBarColor(kBlue);
    bar.setForeColor(kGreen);
    bar.setBarForeColor(0xFFFFFF);
    QFont font = bar.Font();
    font.setPixelSize(28);
    bar.setFont(font);
    bar.setText("abc");
    bar.setShowText(-1);
    bar.setValue(50);
    const QImage img = paint(bar, 120, 36);
    const QColor white(255, 255, 255), green(0, 255, 0);
    // Centred, the text crosses the end of the fill at x = 60.
    EXPECT_TRUE(anyPixelNear(img, 0, 60, white, 40));
    EXPECT_FALSE(anyPixelNear(img, 0, 60, green, 100));
    EXPECT_TRUE(anyPixelNear(img, 60, 120, green, 40));
    EXPECT_FALSE(anyPixelNear(img, 60, 120, white, 100));

    bar.setShowText(0);
    const QImage hidden = paint(bar, 120, 36);
    EXPECT_FALSE(anyPixelNear(hidden, 0, 120, white, 100));
    EXPECT_FALSE(anyPixelNear(hidden, 0, 120, green, 100));
}

TEST(ProgressBar, TextAlignment)
{
    // Where the text's pixels lie for each horizontal alignment.
    struct Row {
        const char* name;
        int32_t alignX;
        int from, to;  // columns that must hold text
        int emptyFrom, emptyTo;
    };
    const Row rows[] = {
        {"left", 0, 0, 60, 140, 200},
        {"centre", 1, 60, 140, 0, 40},
        {"right", 2, 140, 200, 0, 60},
    };
    for (const Row& r : rows) {
        cProgressBar bar;
        bar.setBorderStyle(cProgressBar::BorderNone);
        bar.setBackColor(0);
        bar.setForeColor(kGreen);
        QFont font = bar.Font();
        font.setPixelSize(20);
        bar.setFont(font);
        bar.setText("ab");
        bar.setShowText(-1);
        bar.setTextAlignX(r.alignX);
        const QImage img = paint(bar, 200, 30);
        EXPECT_TRUE(anyPixelNear(img, r.from, r.to, QColor(0, 255, 0), 60)) << r.name;
        EXPECT_FALSE(anyPixelNear(img, r.emptyFrom, r.emptyTo, QColor(0, 255, 0), 200)) << r.name;
    }
}

QImage checkerPicture()
{
    // 3 x 2 pixels, each a different colour.
    QImage pic(3, 2, QImage::Format_ARGB32);
    const QRgb colours[6] = {qRgb(10, 0, 0), qRgb(20, 0, 0), qRgb(30, 0, 0),
                             qRgb(40, 0, 0), qRgb(50, 0, 0), qRgb(60, 0, 0)};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            pic.setPixel(x, y, colours[y * 3 + x]);
    return pic;
}

TEST(ProgressBar, TiledBarPictureCoversOnlyTheFill)
{
    cProgressBar bar;
    plain(bar);
    const QImage pic = checkerPicture();
    bar.setBarPicture(pic);
    bar.setValue(50);
    const QImage img = paint(bar, 20, 7);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 20; ++x) {
            const QColor want = x < 10 ? pic.pixelColor(x % 3, y % 2) : QColor(255, 0, 0);
            ASSERT_EQ(img.pixelColor(x, y), want) << x << "," << y;
        }
    }
}

TEST(ProgressBar, StretchedBackgroundPicture)
{
    cProgressBar bar;
    bar.setBorderStyle(cProgressBar::BorderNone);
    QImage pic(2, 1, QImage::Format_ARGB32);
    pic.setPixel(0, 0, qRgb(200, 0, 0));
    pic.setPixel(1, 0, qRgb(0, 200, 0));
    bar.setPicture(pic);
    bar.setBackPictureMode(cProgressBar::PictureStretch);
    bar.setBackColor(kBlue);  // a background picture replaces the colour
    const QImage img = paint(bar, 40, 5);
    EXPECT_EQ(img.pixelColor(0, 2), QColor(200, 0, 0));
    EXPECT_EQ(img.pixelColor(19, 4), QColor(200, 0, 0));
    EXPECT_EQ(img.pixelColor(20, 0), QColor(0, 200, 0));
    EXPECT_EQ(img.pixelColor(39, 2), QColor(0, 200, 0));

    bar.setPicture(QImage());  // dropped: the colour is back
    EXPECT_EQ(paint(bar, 40, 5).pixelColor(30, 2), QColor(0, 0, 255));
}

TEST(ProgressBar, ThemedBarIsDrawnByTheStyle)
{
    cProgressBar bar;
    plain(bar);
    bar.setXpStyle(-1);
    bar.setValue(0);
    const QImage empty = paint(bar, 120, 20);
    bar.setValue(100);
    const QImage full = paint(bar, 120, 20);
    EXPECT_NE(empty, full);
    // The style paints its own look, not the classic colours.
    EXPECT_NE(rowPattern(full, 10), repeat('b', 120));
    bar.setMin(5);
    bar.setMax(5);  // an empty range draws an empty bar, no busy animation
    EXPECT_EQ(paint(bar, 120, 20), empty);
}

TEST(ProgressBar, PropertyWritesRepaintTheDrawObjectAtOnce)
{
    QWidget box;
    box.resize(100, 12);
    box.show();
    QApplication::processEvents();  // let the window become exposed
    cProgressBar bar;
    plain(bar);
    bar.setDrawObject(&box);
    const int before = bar.paintCount();
    bar.setValue(30);
    EXPECT_GT(bar.paintCount(), before);

    const int afterValue = bar.paintCount();
    bar.setTag("owner data");
    EXPECT_EQ(bar.paintCount(), afterValue);
    EXPECT_EQ(bar.Tag(), "owner data");

    // What the widget shows is the bar.
    const QImage shown = box.grab().toImage();
    EXPECT_EQ(shown.pixelColor(10, 6), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(40, 6), QColor(255, 0, 0));
}

TEST(ProgressBar, PaintsInsideTheBorderOfAFrame)
{
    QFrame box;
    box.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box.setLineWidth(2);
    box.resize(60, 20);
    box.show();
    QApplication::processEvents();
    cProgressBar bar;
    plain(bar);
    bar.setValue(100);
    bar.setDrawObject(&box);
    const QImage shown = box.grab().toImage();
    const QRect client = box.contentsRect();
    ASSERT_EQ(client, QRect(2, 2, 56, 16));
    EXPECT_NE(shown.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_NE(shown.pixelColor(59, 10), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(client.topLeft()), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(client.bottomRight()), QColor(0, 0, 255));
}

TEST(ProgressBar, WithoutDrawObjectDrawDoesNothing)
{
    cProgressBar bar;
    bar.Draw();
    bar.setValue(10);
    EXPECT_EQ(bar.paintCount(), 0);
}

TEST(ProgressBar, DrawObjectThatGoesAwayIsForgotten)
{
    cProgressBar bar;
    {
        QWidget box;
        bar.setDrawObject(&box);
    }
    EXPECT_EQ(bar.DrawObject(), nullptr);
    bar.setValue(40);  // must not touch the destroyed widget
}

TEST(OleColours, FillAndTextTranslation)
{
    const QPalette pal = QApplication::palette();
    struct Row {
        const char* name;
        int32_t ole;
        std::optional<QColor> fill, text;
    };
    const Row rows[] = {
        {"rgb is 0x00BBGGRR", ole::rgb(1, 2, 3), QColor(1, 2, 3), QColor(1, 2, 3)},
        {"button face", ole::kButtonFace, pal.color(QPalette::Button), pal.color(QPalette::Button)},
        {"highlight", ole::kHighlight, pal.color(QPalette::Highlight), pal.color(QPalette::Highlight)},
        {"window text", ole::kWindowText, pal.color(QPalette::Text), pal.color(QPalette::Text)},
        {"-1 names nothing", -1, std::nullopt, std::nullopt},
        {"system colour 25 does not exist", static_cast<int32_t>(0x80000019u), std::nullopt, std::nullopt},
        {"fill reads only the low five bits", static_cast<int32_t>(0x8000012Fu), pal.color(QPalette::Button),
         std::nullopt},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(quillow::oleFillColor(r.ole, pal), r.fill) << r.name;
        EXPECT_EQ(quillow::oleTextColor(r.ole, pal), r.text) << r.name;
    }
}

TEST(MemDC, SurfaceGrowsOnlyWhenTooSmall)
{
    pcMemDC dc;
    EXPECT_EQ(dc.hDC(0, 10), nullptr);
    EXPECT_EQ(dc.hDC(10, -1), nullptr);

    QPaintDevice* first = dc.hDC(100, 50);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(dc.Width(), 100);
    EXPECT_EQ(dc.Height(), 50);

    dc.hDC(60, 40);  // fits: reused
    EXPECT_EQ(dc.pixmap().size(), QSize(100, 50));

    dc.hDC(60, 80);  // too low: re-created at exactly the size asked for
    EXPECT_EQ(dc.pixmap().size(), QSize(60, 80));
    EXPECT_EQ(dc.Width(), 60);
    EXPECT_EQ(dc.Height(), 80);
}

TEST(MemDC, WidthAndHeightCreateTheSurface)
{
    pcMemDC dc;
    dc.setWidth(30);
    EXPECT_TRUE(dc.isEmpty());  // no height yet
    dc.setHeight(20);
    EXPECT_FALSE(dc.isEmpty());
    EXPECT_EQ(dc.pixmap().size(), QSize(30, 20));
}

TEST(MemDC, CreateFromPictureCopiesIt)
{
    const QImage pic = checkerPicture();
    pcMemDC dc;
    dc.CreateFromPicture(pic);
    EXPECT_EQ(dc.Width(), 3);
    EXPECT_EQ(dc.Height(), 2);
    QImage out = blankImage(5, 4);
    {
        QPainter p(&out);
        dc.Draw(p, 1, 0, 0, 1, 2, 3);  // width below 1: the surface's own
    }
    EXPECT_EQ(out.pixelColor(2, 3), pic.pixelColor(1, 0));
    EXPECT_EQ(out.pixelColor(3, 3), pic.pixelColor(2, 0));
    EXPECT_EQ(out.pixelColor(4, 3), kSentinel);  // only 3 - 1 columns were left
    EXPECT_EQ(out.pixelColor(2, 2), kSentinel);
}

}  // namespace

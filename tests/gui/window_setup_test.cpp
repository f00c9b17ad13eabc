// Minimum client sizes, icons and bundled resources.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QMainWindow>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/window_setup.h"

namespace quillow {
namespace {

bool hasSizes(const QIcon& icon)
{
    const QList<QSize> sizes = icon.availableSizes();
    for (int s : {16, 24, 32, 48})
        if (!sizes.contains(QSize(s, s)))
            return false;
    return true;
}

TEST(WindowSetup, MinimumClientSizesInPixels)
{
    EXPECT_EQ(twipsToPixels(kMainMinClientTwips), QSize(388, 384));
    EXPECT_EQ(twipsToPixels(kViewerMinClientTwips), QSize(192, 173));
    EXPECT_EQ(twipsToPixels(QSize(22, 23)), QSize(1, 2));  // 1.47 and 1.53
    EXPECT_EQ(twipsToPixels(QSize(2 * 15 + 7, 0)), QSize(2, 0));
    // Stored placements may hold fractions of a pixel; halves go to even.
    EXPECT_EQ(twipsToPixel(22.5), 2);
    EXPECT_EQ(twipsToPixel(37.5), 2);
    EXPECT_EQ(twipsToPixel(52.5), 4);
}

TEST(WindowSetup, TheMinimumClientSizeNeverCutsTheControlsOff)
{
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    auto* tall = new QCheckBox(QStringLiteral("x"), &window);
    tall->setMinimumSize(100, 500);
    layout->addWidget(tall);
    ASSERT_TRUE(setMinimumClientSize(&window, kViewerMinClientTwips));
    EXPECT_EQ(window.minimumSize(), QSize(192, window.minimumSizeHint().height()));
    EXPECT_GT(window.minimumSize().height(), 500);
}

TEST(WindowSetup, OuterSizeIsSettledOnceTheFrameIsKnown)
{
    QDialog window;
    window.resize(300, 200);
    QSize pending(300, 200);
    EXPECT_FALSE(settleOuterSize(&window, pending));  // hidden: no frame yet
    EXPECT_EQ(pending, QSize(300, 200));

    window.show();
    const QSize frame = frameExtent(&window);
    ASSERT_FALSE(frame.isEmpty()) << "the platform gives windows no frame";
    EXPECT_TRUE(settleOuterSize(&window, pending));
    EXPECT_EQ(window.frameGeometry().size(), QSize(300, 200));
    EXPECT_EQ(window.size(), QSize(300, 200) - frame);
    EXPECT_FALSE(pending.isValid());

    window.resize(250, 150);
    EXPECT_FALSE(settleOuterSize(&window, pending));  // settled once only
    EXPECT_EQ(window.size(), QSize(250, 150));
}

TEST(WindowSetup, MinimumClientSizeKeepsTheWindowFromGettingSmaller)
{
    QMainWindow window;
    window.setMinimumSize(50, 40);
    ASSERT_TRUE(setMinimumClientSize(&window, kMainMinClientTwips));
    window.resize(100, 100);
    EXPECT_EQ(window.size(), QSize(388, 384));

    setMinimumClientSize(&window, kMainMinClientTwips);  // a second call changes nothing
    restoreMinimumSize(&window);
    EXPECT_EQ(window.minimumSize(), QSize(50, 40));
    window.resize(100, 100);
    EXPECT_EQ(window.size(), QSize(100, 100));
}

TEST(WindowSetup, DebugModeInstallsNothing)
{
    QDialog viewer;
    EXPECT_FALSE(setMinimumClientSize(&viewer, kViewerMinClientTwips, /*debugMode=*/true));
    EXPECT_EQ(viewer.minimumSize(), QSize(0, 0));
    restoreMinimumSize(&viewer);  // nothing to restore: harmless
    EXPECT_EQ(viewer.minimumSize(), QSize(0, 0));
}

TEST(WindowSetup, WindowIconGoesToTheWindowAndItsOwnerInFourSizes)
{
    QMainWindow main;
    QDialog options(&main);
    applyWindowIcon(&options, false);
    EXPECT_TRUE(hasSizes(options.windowIcon()));
    EXPECT_FALSE(hasSizes(main.windowIcon()));

    applyWindowIcon(&options, true);
    EXPECT_TRUE(hasSizes(main.windowIcon()));

    QMainWindow alone;  // its own top owner
    applyWindowIcon(&alone, true);
    EXPECT_TRUE(hasSizes(alone.windowIcon()));
}

TEST(WindowSetup, BundledResources)
{
    for (const char* name : {"open", "stop", "save", "select", "view", "options", "about"}) {
        const QIcon icon = buttonIcon(name);
        EXPECT_FALSE(icon.pixmap(32, 32).isNull()) << name;
    }
    QFile help(resourcePath("Help.html"));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(help.readAll());
    EXPECT_TRUE(text.contains("Quillow"));
    EXPECT_TRUE(text.contains("--in-place"));
}

}  // namespace
}  // namespace quillow

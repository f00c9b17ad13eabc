// The about box: its texts and how it closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <string>
#include <vector>

#include "gui/about_dialog.h"
#include "app/settings/settings.h"

namespace quillow {
namespace {

void click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(at), global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void click(QWidget* w)
{
    click(w, w->rect().center());
}

void key(QWidget* w, int k)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

TEST(AboutBox, Texts)
{
    struct Row {
        const char* name;
        std::string version;
        int32_t counters[5];
        const char* versionText;
        const char* stats;
    };
    const Row rows[] = {
        {"first run", "3.0", {0, 0, 0, 0, 0}, "v3.0",
         "打开文件:0\n扫描行:0\n找到重复项:0\n找到唯一的重复项:0\n删除重复项:0"},
        {"one scan of ten lines with two lines twice", "3.0", {1, 10, 4, 2, 0}, "v3.0",
         "打开文件:1\n扫描行:10\n找到重复项:4\n找到唯一的重复项:2\n删除重复项:0"},
        {"debug version, large counters", "3.0 Debug Version", {7, 2147483647, 123456, 99, 1000000},
         "v3.0 Debug Version",
         "打开文件:7\n扫描行:2147483647\n找到重复项:123456\n找到唯一的重复项:99\n删除重复项:1000000"},
    };
    for (const Row& r : rows) {
        const UsageCounters counters{r.counters[0], r.counters[1], r.counters[2], r.counters[3], r.counters[4]};
        AboutDialog box(counters, r.version);
        EXPECT_EQ(box.windowTitle(), " 关于    Quillow") << r.name;
        EXPECT_EQ(box.nameLabel()->text(), "Quillow") << r.name;
        EXPECT_EQ(box.versionLabel()->text(), r.versionText) << r.name;
        EXPECT_EQ(box.statsLabel()->text(), r.stats) << r.name;
        EXPECT_FALSE(box.findChild<QLabel*>("logoLabel")->pixmap().isNull()) << r.name;
    }
}

struct OpenBox {
    UsageCounters counters;
    std::vector<std::string> opened;
    AboutDialog box{counters, "3.0", [this](const std::string& url) { opened.push_back(url); }};
    OpenBox() { box.show(); }
};

TEST(AboutBox, LinkOpensThePageAndKeepsTheBoxOpen)
{
    OpenBox t;
    click(t.box.linkLabel());
    EXPECT_EQ(t.opened, std::vector<std::string>{kMakerWebAddress});
    EXPECT_TRUE(t.box.isVisible());
    EXPECT_EQ(t.box.linkLabel()->cursor().shape(), Qt::PointingHandCursor);
}

TEST(AboutBox, ClickAnywhereElseCloses)
{
    {
        OpenBox t;
        click(t.box.statsLabel());  // on a label inside the frame
        EXPECT_FALSE(t.box.isVisible());
        EXPECT_TRUE(t.opened.empty());
    }
    {
        OpenBox t;
        click(&t.box, QPoint(2, 2));  // on the box itself
        EXPECT_FALSE(t.box.isVisible());
    }
    {
        OpenBox t;
        click(&t.box, QPoint(2, 2), Qt::RightButton);  // only the left button clicks
        EXPECT_TRUE(t.box.isVisible());
    }
}

TEST(AboutBox, EnterAndEscClose)
{
    for (int k : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        OpenBox t;
        key(&t.box, k);
        EXPECT_FALSE(t.box.isVisible()) << k;
    }
    OpenBox t;
    key(&t.box, Qt::Key_A);
    EXPECT_TRUE(t.box.isVisible());
}

}  // namespace
}  // namespace quillow

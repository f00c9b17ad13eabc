// The viewer driven through its real widgets: red rows and checks, the
// black-row rule, double clicks, the write-back and the placement settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>

#include "gui/display_text.h"
#include "gui/find_bar.h"
#include "gui/find_controller.h"
#include "gui/viewer_window.h"
#include <QLineEdit>
#include "support/dups_fixture.h"
#include "support/recording_front_end.h"

namespace quillow {
namespace {

using testing::RecordingFrontEnd;

// A file of 12 lines whose lines 3, 7 and 11 are duplicates; line 7 selected.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::fillResult(result, testing::numberedLines(12), {{3, 3, "abc"}, {7, 3, "abc"}, {11, 3, "abc"}});
        result.dups->setSelected(1, true);
        session.debugMode = true;
        settings.viewerWindow = WindowPlacement{1500, 750, 6000, 4500, WindowState::Normal};
    }

    std::unique_ptr<ViewerWindow> open()
    {
        auto view = std::make_unique<ViewerWindow>(session);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->fill();
        return view;
    }

    QPoint textPoint(ViewerWindow& view, int row)
    {
        QRect r = view.listView()->visualRect(view.model()->index(row, 0));
        return QPoint(r.right() - 20, r.center().y());
    }

    QRect checkRect(ViewerWindow& view, int row)
    {
        QTableView* lw = view.listView();
        QStyleOptionViewItem option;
        option.initFrom(lw->viewport());
        option.rect = lw->visualRect(view.model()->index(row, 0));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        return lw->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, lw);
    }
    QPoint checkPoint(ViewerWindow& view, int row) { return checkRect(view, row).center(); }

    // What a real double click sends: press, release, double click, release.
    void doubleClick(ViewerWindow& view, int row)
    {
        QWidget* viewport = view.listView()->viewport();
        const QPoint at = textPoint(view, row);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }

    void clickCheck(ViewerWindow& view, int row)
    {
        QTest::mouseClick(view.listView()->viewport(), Qt::LeftButton, {}, checkPoint(view, row));
    }

    std::vector<int64_t> selectedLines() const
    {
        std::vector<int64_t> lines;
        for (int64_t i = 0; i < result.dups->count(); ++i)
            if (result.dups->isSelected(i))
                lines.push_back(result.dups->lineNumber(i));
        return lines;
    }

    testing::TestSession t;
    Settings& settings = t.settings;
    Session& session = t.session;
    ScanResult& result = t.result;
    RecordingFrontEnd& host = t.host;
};

TEST_F(ViewerTest, DuplicatesAreRedAndSelectedOnesChecked)
{
    auto view = open();
    ViewerModel* m = view->model();
    ASSERT_EQ(m->rowCount(), 12);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Quillow 查看器"));
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("行"));
    for (int row = 0; row < 12; ++row) {
        const int line = row + 1;
        const bool dup = line == 3 || line == 7 || line == 11;
        SCOPED_TRACE(line);
        QModelIndex i = m->index(row, 0);
        EXPECT_EQ(i.data().toString(), QString("line %1").arg(line));
        EXPECT_EQ(i.data(Qt::ForegroundRole).value<QColor>() == QColor(255, 0, 0), dup);
        EXPECT_EQ(i.data(Qt::CheckStateRole).toInt(), line == 7 ? Qt::Checked : Qt::Unchecked);
    }
    EXPECT_EQ(view->statusText(), QStringLiteral("行    1"));
    EXPECT_EQ(view->listView()->currentIndex().row(), 0);
}

TEST_F(ViewerTest, ClickingARowShowsItsLineNumber)
{
    auto view = open();
    QTest::mouseClick(view->listView()->viewport(), Qt::LeftButton, {}, textPoint(*view, 9));
    EXPECT_EQ(view->statusText(), QStringLiteral("行    10"));
}

TEST_F(ViewerTest, OnlyRedRowsKeepACheckMark)
{
    auto view = open();
    ViewerModel* m = view->model();
    clickCheck(*view, 3);  // black row 4
    EXPECT_FALSE(m->isChecked(3));
    clickCheck(*view, 10);  // red row 11
    EXPECT_TRUE(m->isChecked(10));

    // The keyboard's check toggle follows the same rule.
    view->listView()->setCurrentIndex(m->index(4, 0));
    QTest::keyClick(view->listView(), Qt::Key_Space);
    EXPECT_FALSE(m->isChecked(4));
    view->listView()->setCurrentIndex(m->index(2, 0));
    QTest::keyClick(view->listView(), Qt::Key_Space);
    EXPECT_TRUE(m->isChecked(2));
}

TEST_F(ViewerTest, ATickHighlightsItsRowAndRedRowsStayRed)
{
    auto view = open();
    QTableView* lw = view->listView();
    // Reddish pixels of the row's text, right of its check box.
    auto redPixels = [&](int row) {
        QRect text = lw->visualRect(view->model()->index(row, 0));
        text.setLeft(checkRect(*view, row).right() + 1);
        const QImage image = lw->viewport()->grab(text).toImage();
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 120 && c.red() > 2 * c.green() && c.red() > 2 * c.blue();
            }
        return red;
    };
    struct Row {
        int row;
        bool red;
    };
    for (Row r : {Row{10, true}, Row{3, false}, Row{2, true}}) {
        SCOPED_TRACE(r.row);
        clickCheck(*view, r.row);
        EXPECT_EQ(lw->currentIndex().row(), r.row);
        EXPECT_TRUE(lw->selectionModel()->isRowSelected(r.row, {}));
        EXPECT_EQ(view->statusText(), QStringLiteral("行    %1").arg(r.row + 1));
        EXPECT_EQ(redPixels(r.row) > 0, r.red);
    }
}

TEST_F(ViewerTest, DoubleClickTogglesRedRowsOnly)
{
    auto view = open();
    ViewerModel* m = view->model();
    doubleClick(*view, 5);
    EXPECT_FALSE(m->isChecked(5));
    doubleClick(*view, 6);
    EXPECT_FALSE(m->isChecked(6));  // line 7 was checked
    doubleClick(*view, 6);
    EXPECT_TRUE(m->isChecked(6));
}

TEST_F(ViewerTest, CheckMarksBecomeTheSelection)
{
    auto view = open();
    clickCheck(*view, 10);  // check line 11
    clickCheck(*view, 6);   // uncheck line 7
    host.statuses.clear();
    view->close();

    EXPECT_EQ(selectedLines(), std::vector<int64_t>{11});
    EXPECT_EQ(result.dups->selectedCount(), 1);
    EXPECT_EQ(view->statusText(), QStringLiteral("正在更新所选项。请稍等..."));
    EXPECT_EQ(host.status(), "1 共  3 个重复项已选定。");
    EXPECT_EQ(host.selectionChanges, 1);
}

TEST_F(ViewerTest, NoChangesWriteNoFlags)
{
    auto view = open();
    host.statuses.clear();
    view->close();
    EXPECT_EQ(host.status(), "1 共  3 个重复项已选定。");
    EXPECT_EQ(selectedLines(), std::vector<int64_t>{7});
}

TEST_F(ViewerTest, AViewerClosedBeforeFillingKeepsTheSelection)
{
    ViewerWindow view(session);
    view.close();
    EXPECT_EQ(selectedLines(), std::vector<int64_t>{7});
    EXPECT_EQ(result.dups->selectedCount(), 1);
}

TEST_F(ViewerTest, LinesThatAreNotUtf8AreShownWithReplacementCharacters)
{
    testing::fillResult(result, {"ok", std::string("\xff\xfe" "abc"), "\"a\nb\""}, {});
    auto view = open();
    EXPECT_EQ(view->model()->index(1, 0).data().toString(), QString::fromUtf8("\xEF\xBF\xBD\xEF\xBF\xBD" "abc"));
    EXPECT_EQ(view->model()->index(2, 0).data().toString(), QString::fromUtf8("\"a\xE2\x90\x8A" "b\""));
}

TEST_F(ViewerTest, PlacementComesFromAndGoesToTheSettings)
{
    auto view = open();
    EXPECT_EQ(view->frameGeometry(), QRect(100, 50, 400, 300));
    view->resize(500, 320);
    const WindowPlacement& place = settings.viewerWindow;
    EXPECT_EQ(place.width, view->frameGeometry().width() * 15);
    EXPECT_EQ(place.height, view->frameGeometry().height() * 15);
    view->move(80, 40);
    view->close();
    EXPECT_EQ(place.left, 1200);
    EXPECT_EQ(place.top, 600);
    EXPECT_EQ(place.state, WindowState::Normal);
}

TEST_F(ViewerTest, AStoredPlaceOffTheScreenIsBroughtBack)
{
    settings.viewerWindow = WindowPlacement{30000, -30000, 6000, 4500, WindowState::Normal};
    auto view = open();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(view->frameGeometry()));
    EXPECT_EQ(view->frameGeometry().size(), QSize(400, 300));
}

TEST_F(ViewerTest, MaximisedViewerKeepsTheLastNormalPlacement)
{
    auto view = open();
    view->resize(420, 310);
    const QSize outer = view->frameGeometry().size() * 15;
    view->showMaximized();
    QApplication::processEvents();
    view->close();
    const WindowPlacement& place = settings.viewerWindow;
    EXPECT_EQ(place.state, WindowState::Maximized);
    EXPECT_EQ(place.left, 1500);
    EXPECT_EQ(place.top, 750);
    EXPECT_EQ(place.width, outer.width());
    EXPECT_EQ(place.height, outer.height());

    // The next opening is maximised again.
    ViewerWindow next(session);
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);
}

TEST_F(ViewerTest, PlacementThatDoesNotFitSixteenBitsIsNotStored)
{
    auto view = open();
    view->move(3000, -200);  // 45000 twips does not fit; -3000 does
    view->close();
    EXPECT_EQ(settings.viewerWindow.left, 1500);
    EXPECT_EQ(settings.viewerWindow.top, -3000);
    EXPECT_EQ(settings.viewerWindow.width, 6000);
}

TEST_F(ViewerTest, MinimumClientSizeUnlessDebugMode)
{
    session.debugMode = false;
    auto hooked = open();
    EXPECT_EQ(hooked->minimumSize(), QSize(192, 173));
    hooked->close();

    session.debugMode = true;
    auto free = open();
    EXPECT_LT(free->minimumSize().width(), 192);
}

}  // namespace
}  // namespace quillow

namespace quillow {
namespace {

TEST(DisplayText, CutsLongLinesAtACharacterAndShowsBreaks)
{
    EXPECT_EQ(displayText("a\nb\rc").toStdString(), "a\u240Ab\u240Dc");
    // A long run of stray continuation bytes still shows (as replacement characters).
    std::string stray(5000, '\x80');
    EXPECT_GE(displayText(stray).size(), static_cast<qsizetype>(kShownLineBytes) - 3);
    // A multi-byte character across the cut is left out whole.
    std::string cjk = std::string(4095, 'x') + "中";
    EXPECT_EQ(displayText(cjk).toStdString(), std::string(4095, 'x'));
}

}  // namespace
}  // namespace quillow

namespace quillow {
namespace {

TEST(ViewerKeys, GroupsLinesAndFindByKey)
{
    testing::TestSession t;
    t.session.debugMode = true;
    // Groups in list order: abc (lines 3, 7, 11), then x (lines 5, 9).
    testing::fillResult(t.result, testing::numberedLines(12),
                        {{3, 3, "abc"}, {7, 3, "abc"}, {11, 3, "abc"}, {5, 5, "x"}, {9, 5, "x"}});
    ViewerWindow view(t.session);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.fill();
    QTableView* table = view.listView();
    auto row = [&] { return table->currentIndex().row(); };

    // F8 and Shift+F8: the first line of the next and the previous group.
    const struct {
        QKeyCombination keys;
        int row;
    } steps[] = {{QKeyCombination(Qt::Key_F8), 2}, {QKeyCombination(Qt::Key_F8), 4}, {QKeyCombination(Qt::Key_F8), 4},
                 {Qt::SHIFT | Qt::Key_F8, 2}, {Qt::SHIFT | Qt::Key_F8, 2}};
    ASSERT_EQ(row(), 0);
    for (const auto& step : steps) {
        QTest::keyClick(table, step.keys.key(), step.keys.keyboardModifiers());
        EXPECT_EQ(row(), step.row) << QKeySequence(step.keys).toString().toStdString();
    }
    EXPECT_EQ(view.statusText(), QStringLiteral("前面没有更多重复组。"));

    // Ctrl+G asks for the line.
    t.host.inputs.push_back("9");
    QTest::keyClick(table, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(row(), 8);

    // Ctrl+F and F3 find in the rows.
    QTest::keyClick(table, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(view.findBar()->isVisible());
    QTest::keyClicks(view.findBar()->textEdit(), "line 1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.finder()->searching(); }));
    EXPECT_EQ(row(), 9);  // from line 9 on: line 10 (then 11, 12 and round to 1)
    QTest::keyClick(view.findBar()->textEdit(), Qt::Key_F3);
    EXPECT_EQ(row(), 10);
    for (int expected : {9, 0, 11}) {
        QTest::keyClick(view.findBar()->textEdit(), Qt::Key_F3, Qt::ShiftModifier);
        EXPECT_EQ(row(), expected);
    }
    view.done(QDialog::Accepted);
}

}  // namespace
}  // namespace quillow

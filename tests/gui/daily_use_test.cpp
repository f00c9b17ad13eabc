// The main window in daily use: undo of ticks, find and go to line on a
// long list, reload, closing during a scan, drops anywhere, file names given
// to the program, recent files and the memory limit from the options.
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>

#include "app/flows/select_flow.h"
#include "app/texts.h"
#include "gui/file_dialogs.h"
#include "gui/find_bar.h"
#include "gui/find_controller.h"
#include "gui/line_list_view.h"
#include "gui/main_window_fixture.h"
#include "gui/options_dialog.h"
#include "gui/status_label.h"

namespace quillow {
namespace {

using testing::MainWindowTest;
using testing::numbered;
using testing::Stored;
using testing::TempDir;

class DailyUseTest : public MainWindowTest {
protected:
    // Waits for the find bar's search to cover every row.
    void waitForSearch()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const SearchHits* hits = window->finder()->hits();
            return hits && hits->complete() && !window->finder()->searching();
        }, 60000));
    }
    int currentRow(QAbstractItemView* view) const { return view->currentIndex().row(); }
    void tick(int row)
    {
        window->dupsList()->setCurrentIndex(window->dupsModel()->index(row));
        QTest::keyClick(window->dupsList(), Qt::Key_Space);
    }
};

TEST_F(DailyUseTest, UndoAndRedoTakeTicksByHandSelectCommandsAndTheViewerBackAndForth)
{
    MainWindow& w = start();
    // Entries in list order: lines 3, 7, 11 (abc), 5, 9 (x).
    open(files.write("f.txt", numbered(12, {{3, "abc"}, {7, "abc"}, {11, "abc"}, {5, "x"}, {9, "x"}})));
    // The viewer ticks line 5 and unticks line 7.
    dialogs.onViewer = [](Session& session) {
        const std::vector<bool> before = session.result.dups->selection();
        applyLineMarks(session, [&](int64_t line) {
            const int64_t entry = line == 2 ? 0 : line == 6 ? 1 : line == 10 ? 2 : line == 4 ? 3 : 4;
            return line == 4 || (line != 6 && before[static_cast<size_t>(entry)] != 0);
        });
    };
    tick(1);
    menuItem("selectAllButFirst")->trigger();
    QTest::mouseClick(w.button(MainWindow::ViewerButton), Qt::LeftButton);
    const std::set<int> states[] = {{}, {1}, {1, 2, 4}, {2, 3, 4}};
    ASSERT_EQ(checkedRows(), states[3]);
    EXPECT_EQ(w.undoStack()->count(), 3);

    for (int step = 2; step >= 0; --step) {
        w.action("editUndo")->trigger();
        EXPECT_EQ(checkedRows(), states[step]) << "undone to " << step;
        EXPECT_EQ(w.statusText().toStdString(), selectionStatusText(result()));
    }
    EXPECT_FALSE(w.action("editUndo")->isEnabled());
    for (int step = 1; step <= 3; ++step) {
        w.action("editRedo")->trigger();
        EXPECT_EQ(checkedRows(), states[step]) << "redone to " << step;
    }
    // The keys do the same.
    QTest::keyClick(w.dupsList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(checkedRows(), states[2]);

    // A new scan asks before it drops the ticks, and takes their history along.
    dialogs.answers.push_back(Answer::No);
    open(files.file("f.txt"));
    EXPECT_EQ(checkedRows(), states[2]);
    EXPECT_EQ(w.undoStack()->count(), 3);
    dialogs.answers.push_back(Answer::Yes);
    open(files.file("f.txt"));
    EXPECT_EQ(checkedRows(), std::set<int>{});
    EXPECT_EQ(w.undoStack()->count(), 0);
}

TEST_F(DailyUseTest, FindNextPreviousAndGoToLineOnAMillionLines)
{
    MainWindow& w = start();
    open(files.write("million.txt",
                     numbered(1000000, {{10, "needle a"}, {500000, "Needle b"}, {999990, "needle a"}})));
    ASSERT_EQ(result().lineCount, 1000000);
    LineListView* source = w.sourceList();
    source->setFocus();
    QTest::keyClick(source, Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = w.findBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->scope(), 0);
    QTest::keyClicks(bar->textEdit(), "needle");
    waitForSearch();
    // Typing goes to the first hit; Enter, F3 and Shift+F3 go on, round the end and back.
    EXPECT_EQ(currentRow(source), 9);
    EXPECT_EQ(bar->resultText().toStdString(), "第 1 个，共 3 个");
    QTest::keyClick(bar->textEdit(), Qt::Key_Return);
    EXPECT_EQ(currentRow(source), 499999);
    QTest::keyClick(bar->textEdit(), Qt::Key_F3);
    EXPECT_EQ(currentRow(source), 999989);
    EXPECT_EQ(bar->resultText().toStdString(), "第 3 个，共 3 个");
    QTest::keyClick(bar->textEdit(), Qt::Key_F3);
    EXPECT_EQ(currentRow(source), 9);
    QTest::keyClick(bar->textEdit(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(currentRow(source), 999989);
    EXPECT_TRUE(source->viewport()->rect().intersects(source->visualRect(w.sourceModel()->index(999989))));

    // Letter case, patterns, and the duplicates list.
    bar->findChild<QCheckBox*>("findMatchCase")->setChecked(true);
    bar->textEdit()->setText("Needle");
    waitForSearch();
    EXPECT_EQ(bar->resultText().toStdString(), "第 1 个，共 1 个");
    EXPECT_EQ(currentRow(source), 499999);
    bar->findChild<QCheckBox*>("findPattern")->setChecked(true);
    bar->textEdit()->setText("(");
    EXPECT_TRUE(bar->resultText().startsWith(QStringLiteral("表达式有误")));
    bar->setScope(1);
    bar->textEdit()->setText("a$");
    waitForSearch();
    EXPECT_EQ(bar->resultText().toStdString(), "第 1 个，共 2 个");
    EXPECT_EQ(currentRow(w.dupsList()), 0);
    EXPECT_EQ(currentRow(source), 9);  // the entry's line, as a click shows it

    // Go to line, in the source list; a number beyond the file says so.
    dialogs.inputs.push_back("750000");
    w.action("editGoToLine")->trigger();
    EXPECT_EQ(currentRow(source), 749999);
    EXPECT_EQ(dialogs.inputPrompts.back(), "转到行 (1 - 1000000):");
    dialogs.inputs.push_back("1000001");
    w.action("editGoToLine")->trigger();
    EXPECT_EQ(currentRow(source), 749999);
    EXPECT_EQ(w.statusText().toStdString(), "没有第 1000001 行：文件有 1000000 行。");

    // Esc closes the bar; F3 is the viewer's key again.
    QTest::keyClick(bar->textEdit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(w.action("viewViewer")->shortcut(), QKeySequence(Qt::Key_F3));
}

TEST_F(DailyUseTest, ReloadKeepsTheTicksOfLinesWhoseTextDidNotChange)
{
    MainWindow& w = start();
    // Entries: a (1, 3), b (2, 5), x (4, 6); the second a, the second b and the first x are ticked.
    const std::string path = files.write("f.txt", "a\nb\na\nx\nb\nx\n");
    open(path);
    for (int row : {1, 3, 4})
        tick(row);
    // A line comes in at the top, x is left once, b comes a third time.
    files.write("f.txt", "new\na\nb\na\ny\nb\nx\nb\n");
    QTest::keyClick(w.dupsList(), Qt::Key_F5);
    ASSERT_EQ(result().lineCount, 8);
    // Entries now: a (2, 4), b (3, 6, 8): the second a and the second b keep their ticks.
    EXPECT_EQ(w.dupsModel()->data(w.dupsModel()->index(1)).toString().toStdString(), "[4]   a");
    EXPECT_EQ(w.dupsModel()->data(w.dupsModel()->index(3)).toString().toStdString(), "[6]   b");
    EXPECT_EQ(checkedRows(), (std::set<int>{1, 3}));
    EXPECT_EQ(w.statusText().toStdString(),
              "已重新载入，保留了 2 个勾选。1 个勾选的行已改变或不再重复。  2 共  5 个重复项已选定。");
    EXPECT_TRUE(dialogs.messages.empty());  // nothing to ask: ticks go only with their lines
    EXPECT_EQ(w.undoStack()->count(), 0);
}

TEST_F(DailyUseTest, ClosingDuringAScanAsksToStopAndThenCloses)
{
    // A filter slow on every line keeps the scan going while the window is closed.
    std::string slow;
    for (int i = 0; i < 400; ++i)
        slow += std::string(26, 'a') + "bc\n";
    const std::string path = files.write("long.txt", slow);
    struct Row {
        const char* name;
        Answer answer;
        bool closes;
    };
    const Row rows[] = {{"stop and close", Answer::Yes, true}, {"go on", Answer::No, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        window.reset();
        program = std::make_unique<Stored>();
        endedWith.reset();
        std::filesystem::remove(storeFile());
        MainWindow& w = start();
        settings().options.filterPattern = "(a|aa)+c";
        dialogs.messages.clear();
        dialogs.answers.push_back(row.answer);
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (w.button(MainWindow::StopButton)->isVisible()) {
                closer.stop();
                w.close();
            }
        });
        closer.start(0);
        open(path);
        QCoreApplication::processEvents();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, "你确实想停止处理吗？");
        EXPECT_EQ(w.ended(), row.closes);
        EXPECT_EQ(endedWith.has_value(), row.closes);
        EXPECT_EQ(std::filesystem::exists(storeFile()), row.closes);  // settings saved on the way out
        // Stopped, or scanned to the end (the filter finds no key: no duplicates).
        EXPECT_EQ(w.statusText().toStdString(),
                  row.closes ? text::scanInterrupted(0) : text::translated(text::kNoDuplicates));
    }
}

TEST_F(DailyUseTest, AFileDroppedAnywhereOnTheWindowIsOpened)
{
    MainWindow& w = start();
    const std::string path = files.write("dropped.txt", "a\na\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    // Over a button, which takes no drops itself: the window does.
    QWidget* over = w.button(MainWindow::OptionsButton);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(over, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(over, &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(result().file, path);
    EXPECT_EQ(w.dupsModel()->rowCount(), 2);
}

TEST_F(DailyUseTest, NamesGivenToTheProgramThatAreNoFileAreAnsweredAsTheOpenDialogDoes)
{
    const struct {
        const char* name;
        std::string path;
        bool opens;
    } rows[] = {
        {"a folder", files.path().string(), false},
        {"a missing file", files.file("missing.txt"), false},
        {"a file", files.write("list.txt", "a\nb\na\n"), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window.reset();
        program = std::make_unique<Stored>();
        dialogs.messages.clear();
        MainWindow& w = start({row.path});
        EXPECT_FALSE(w.ended());
        EXPECT_EQ(result().file, row.opens ? row.path : std::string());
        ASSERT_EQ(dialogs.messages.size(), row.opens ? 0u : 1u);
        if (!row.opens) {
            EXPECT_EQ(dialogs.messages[0].text, FileDialogs::missingFileText(row.path));
            EXPECT_EQ(dialogs.messages[0].icon, Icon::Warning);
        }
    }
}

TEST_F(DailyUseTest, OptionsGivenWithTheFileHoldForItsScanOnly)
{
    // As the command line gives "quillow --max-memory 64K FILE".
    CommandLine command;
    command.openFile = files.write("big.txt", numbered(40000, {{10, "dup"}, {30000, "dup"}}));
    command.run.maxMemory = "64K";
    window = std::make_unique<MainWindow>(settings(), dialogs, command);
    window->showAtStart();
    window->firstActivation();
    EXPECT_EQ(result().file, command.openFile);
    EXPECT_TRUE(result().onDisk);
    EXPECT_EQ(settings().options.maxMemory, "auto");
}

TEST_F(DailyUseTest, RecentFilesComeNewestFirstAndAMissingOneLeavesTheList)
{
    MainWindow& w = start();
    const std::string first = files.write("first.txt", "a\na\n"), second = files.write("second.txt", "b\nb\n");
    open(first);
    open(second);
    open(first);
    EXPECT_EQ(settings().recentFiles, (std::vector<std::string>{first, second}));
    QMenu* recent = w.findChild<QMenu*>("recentMenu");
    ASSERT_GE(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("&1 ") + QString::fromStdString(first));
    recent->actions()[1]->trigger();
    EXPECT_EQ(result().file, second);

    std::filesystem::remove(first);
    w.openRecent(first);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, FileDialogs::missingFileText(first));
    EXPECT_EQ(settings().recentFiles, std::vector<std::string>{second});
    EXPECT_EQ(result().file, second);
}

TEST_F(DailyUseTest, TheMemoryLimitSetInTheOptionsIsUsed)
{
    MainWindow& w = start();
    const std::string path = files.write("big.txt", numbered(40000, {{10, "dup"}, {30000, "dup"}}));
    OptionsDialog options(w.session(), &w);
    auto* memory = options.findChild<QComboBox*>("memoryBox");
    EXPECT_FALSE(memory->toolTip().isEmpty());
    // A size the scan could not read is refused where it was typed.
    memory->setEditText("12X");
    QTest::mouseClick(options.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(settings().options.maxMemory, "auto");
    memory->setEditText("64K");
    QTest::mouseClick(options.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_EQ(settings().options.maxMemory, "64K");
    open(path);
    EXPECT_TRUE(result().onDisk);
    ASSERT_EQ(w.dupsModel()->rowCount(), 2);
}

TEST(StatusText, ALongTextLosesTheMiddleOfItsPathFirst)
{
    const QFontMetrics metrics(QApplication::font());
    const QString path = QStringLiteral("/home/user/a/rather/long/folder/name/for/the/list.txt");
    const QString failure = QStringLiteral("错误: 无法打开文件 ") + path + QStringLiteral(": No such file or directory");
    const struct {
        const char* name;
        QString text;
        int width;
        QString starts, ends;
    } rows[] = {
        {"fits", failure, metrics.horizontalAdvance(failure), failure, failure},
        {"a path loses its middle", failure, metrics.horizontalAdvance(failure) * 2 / 3,
         QStringLiteral("错误: 无法打开文件 /home/"), QStringLiteral("list.txt: No such file or directory")},
        {"no path: the end goes", QStringLiteral("扫描 1000 行 ") + QString(80, u'x'), 120, QStringLiteral("扫描"),
         QString(QChar(0x2026))},
    };
    for (const auto& row : rows) {
        const QString shown = elideStatus(row.text, metrics, row.width);
        EXPECT_LE(metrics.horizontalAdvance(shown), row.width) << row.name;
        EXPECT_TRUE(shown.startsWith(row.starts)) << row.name << ": " << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(row.ends)) << row.name << ": " << shown.toStdString();
        EXPECT_EQ(shown.contains(QChar(0x2026)), shown != row.text) << row.name;
    }
}

}  // namespace
}  // namespace quillow

// The main window driven through its real widgets, with every dialog answered
// by a script: start-up from an empty and a filled store, the lists sharing
// the height, shutdown, the unattended run, open and save, the selection commands and
// what the two lists do with clicks, keys and drops.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/texts.h"
#include "gui/help_window.h"
#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window.h"
#include "engine/text/text_util.h"
#include "gui/main_window_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "gui/status_label.h"
#include "gui/viewer_window.h"

namespace quillow {
namespace {

using testing::MainWindowTest;
using testing::numbered;
using testing::readFile;
using testing::ScriptedDialogs;
using testing::Stored;
using testing::TempDir;
namespace fs = std::filesystem;

// ---- start-up ----

TEST_F(MainWindowTest, StartsOnAnEmptyStoreCentredWithItsDefaults)
{
    MainWindow& w = start();
    EXPECT_EQ(w.windowTitle().toStdString(), "Quillow 3.0 - 按 F1 寻求帮助");
    EXPECT_EQ(w.statusText().toStdString(), std::string("Quillow 3.0") + kStartNotice);
    EXPECT_EQ(labelText(), w.statusText().toStdString());
    EXPECT_FALSE(session().debugMode);
    EXPECT_TRUE(settings().options.saveEmptyLines);
    EXPECT_FALSE(settings().options.caseSensitive);

    // Outer size 6765 x 7300 twips; the offscreen platform reports a small frame.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int16_t left = *toInt16(*parseNumber(std::to_string(screen.width() * 15.0 / 2 - 3382.5)));
    const int16_t top = *toInt16(*parseNumber(std::to_string(screen.height() * 15.0 / 2 - 3495)));
    EXPECT_EQ(settings().mainWindow.left, left);
    EXPECT_EQ(settings().mainWindow.top, top);
    EXPECT_EQ(w.frameGeometry().size(), QSize(451, 487));  // the frame is settled once known
    EXPECT_EQ(w.pos(), QPoint(qRound(left / 15.0), qRound(top / 15.0)));
    EXPECT_FALSE(w.isMaximized());

    // Only Open, Options and About can be used before a scan.
    EXPECT_TRUE(w.button(MainWindow::OpenButton)->isVisible());
    EXPECT_TRUE(w.button(MainWindow::OpenButton)->isEnabled());
    EXPECT_FALSE(w.button(MainWindow::StopButton)->isVisible());
    EXPECT_FALSE(w.button(MainWindow::SaveButton)->isEnabled());
    EXPECT_FALSE(w.button(MainWindow::SelectButton)->isEnabled());
    EXPECT_FALSE(w.button(MainWindow::ViewerButton)->isEnabled());
    EXPECT_TRUE(w.button(MainWindow::OptionsButton)->isEnabled());
    EXPECT_TRUE(w.button(MainWindow::AboutButton)->isEnabled());

    // Nothing is written before shutdown.
    EXPECT_FALSE(fs::exists(storeFile()));
}

TEST_F(MainWindowTest, StartsFromAFilledStoreMaximisedOverItsNormalPlacement)
{
    writeStore(
        "caseSensitive=1\nsRegExp=\\\\d+\nlastLoadedFile=/data/list.txt\nwinLeft=1500\nwinTop=900\n"
        "winWidth=9000\nwinHeight=8100\nwinState=2\nstatFilesOpened=7\n");
    MainWindow& w = start();
    EXPECT_TRUE(settings().options.caseSensitive);
    EXPECT_EQ(settings().options.filterPattern, "\\d+");
    EXPECT_EQ(settings().lastLoadedFile, "/data/list.txt");
    EXPECT_EQ(settings().counters.filesOpened, 7);
    EXPECT_TRUE(w.isMaximized());
    EXPECT_EQ(w.normalGeometry(), QRect(100, 60, 600, 540));

    // Closing maximised keeps the last normal placement, with state 2.
    ASSERT_TRUE(w.close());
    QSettings s(QString::fromStdString(storeFile()), QSettings::IniFormat);
    EXPECT_EQ(s.value("Quillow/winState").toString(), "2");
    EXPECT_EQ(s.value("Quillow/winWidth").toString(), "9000");
    EXPECT_EQ(s.value("Quillow/winHeight").toString(), "8100");
    EXPECT_EQ(s.value("Quillow/winLeft").toString(), "1500");
    EXPECT_EQ(s.value("Quillow/statFilesOpened").toString(), "7");
}

TEST_F(MainWindowTest, AStoredPlaceOffTheScreenIsBroughtBack)
{
    // Saved on a screen left of this one, taller than what is left below.
    writeStore("winLeft=-20000\nwinTop=12000\nwinWidth=9000\nwinHeight=8100\n");
    MainWindow& w = start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w.frameGeometry())) << screen.width() << "x" << screen.height();
    EXPECT_EQ(w.frameGeometry().size(), QSize(600, 540));
}

TEST_F(MainWindowTest, DebugModeNamesTheVersionAndLiftsTheMinimumSize)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool debug;
    };
    const Row rows[] = {
        {"plain start", {}, false},
        {"marker alone", {"DEBUG_MODE"}, true},
        {"marker inside a switch value", {"/x", "aDEBUG_MODEb"}, true},
        {"other letter case is no marker", {"debug_mode"}, false},
        {"marker beside options", {"--trim", "DEBUG_MODE"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        window.reset();
        program = std::make_unique<Stored>();
        MainWindow& w = start(row.args);
        EXPECT_EQ(session().debugMode, row.debug);
        // The controls' own minimum holds in either case.
        const QSize controls = w.minimumSizeHint();
        w.resize(200, 150);
        if (row.debug) {
            EXPECT_EQ(w.windowTitle().toStdString(), "Quillow 3.0 Debug Version - 按 F1 寻求帮助");
            EXPECT_EQ(w.size(), QSize(200, 150).expandedTo(controls));
            EXPECT_LT(w.width(), 388);
        } else {
            EXPECT_EQ(w.windowTitle().toStdString(), "Quillow 3.0 - 按 F1 寻求帮助");
            EXPECT_EQ(w.size(), QSize(388, 384).expandedTo(controls));  // 5820 x 5760 twips
        }
        window.reset();
    }
}

// ---- the lists sharing the height ----

TEST_F(MainWindowTest, TheListsShareTheHeightAtEverySize)
{
    MainWindow& w = start();
    const QWidget* client = w.centralWidget();
    auto at = [&](MainWindow::Control c) { return w.control(c)->geometry(); };
    const int rightMargin = client->width() - at(MainWindow::SourceList).right();
    const QPoint open = at(MainWindow::OpenButton).topLeft(), source = at(MainWindow::SourceList).topLeft();
    const QSize rows[] = {QSize(1, 1), QSize(480, 400), QSize(1200, 420), QSize(500, 1000), QSize(1280, 1000)};
    for (QSize size : rows) {
        SCOPED_TRACE(std::to_string(size.width()) + " x " + std::to_string(size.height()));
        w.resize(size);
        const QRect sources = at(MainWindow::SourceList), dups = at(MainWindow::DupsList);
        EXPECT_GT(sources.height(), 0);
        EXPECT_LE(std::abs(sources.height() - dups.height()), 1);
        EXPECT_EQ(dups.width(), sources.width());
        EXPECT_EQ(client->width() - sources.right(), rightMargin);
        // The button column and the source list keep their places; the bar
        // under the buttons reaches down as far as the duplicates list.
        EXPECT_EQ(at(MainWindow::OpenButton).topLeft(), open);
        EXPECT_EQ(sources.topLeft(), source);
        EXPECT_EQ(at(MainWindow::ProgressArea).bottom(), dups.bottom());
        // It stands while it is higher than wide; lying flat it shows the percentage.
        const QProgressBar& bar = w.progressBar();
        EXPECT_EQ(bar.orientation(), bar.height() > bar.width() ? Qt::Vertical : Qt::Horizontal);
        EXPECT_EQ(bar.isTextVisible(), bar.orientation() == Qt::Horizontal);
        EXPECT_EQ(at(MainWindow::StopButton), at(MainWindow::OpenButton));
    }
}

TEST_F(MainWindowTest, ResizingTheWindowRecordsThePlacement)
{
    MainWindow& w = start();
    w.move(30, 45);
    w.resize(520, 500);
    const QSize frame = w.frameGeometry().size() - w.size();
    EXPECT_EQ(settings().mainWindow.width, (520 + frame.width()) * 15);  // outer measures
    EXPECT_EQ(settings().mainWindow.height, (500 + frame.height()) * 15);
    EXPECT_EQ(settings().mainWindow.left, 450);
    EXPECT_EQ(settings().mainWindow.top, 675);

    // A mere move is captured at shutdown.
    w.move(40, 50);
    ASSERT_TRUE(w.close());
    QSettings s(QString::fromStdString(storeFile()), QSettings::IniFormat);
    EXPECT_EQ(s.value("Quillow/winLeft").toString(), "600");
    EXPECT_EQ(s.value("Quillow/winTop").toString(), "750");
    EXPECT_EQ(s.value("Quillow/winWidth").toString().toInt(), (520 + frame.width()) * 15);
    EXPECT_EQ(s.value("Quillow/winState").toString(), "0");
}

// ---- shutdown ----

TEST_F(MainWindowTest, ClosingIsRefusedSilentlyWhileBusy)
{
    MainWindow& w = start();
    session().busy = true;
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.ended());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(fs::exists(storeFile()));

    session().busy = false;
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(w.ended());
    ASSERT_TRUE(endedWith.has_value());
    EXPECT_EQ(*endedWith, 0);
    EXPECT_TRUE(fs::exists(storeFile()));
}

// ---- the unattended run ----

// Switches with relative paths: an absolute temporary path would hold
// switch texts of its own ("/tmp" holds "/t", but a folder named "/in..."
// would hold "/i").
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& dir) : before_(fs::current_path()) { fs::current_path(dir); }
    ~WorkingDirectory() { fs::current_path(before_); }

private:
    fs::path before_;
};

TEST_F(MainWindowTest, UnattendedRunEndsTheProgramAndLeavesTheStoreAsItWas)
{
    struct Row {
        const char* name;
        std::string input;
        std::vector<std::string> args;  // "IN" / "OUT" stand for absolute paths
        int exitCode;
        std::optional<std::string> output;
    };
    const Row rows[] = {
        {"slash switches", "a\nb\na\nc\na\n", {"/i", "in.txt", "/o", "out.txt", "/s", "2"}, 0, "a\nb\nc\n"},
        {"slash switches without blanks", "a\nb\na\nc\na\n", {"/i\"in.txt\"/o\"out.txt\"/s3"}, 0, "b\nc\na\n"},
        {"GNU options", "a\nb\nA\na\n", {"-u", "IN", "-o", "OUT"}, 0, "b\nA\n"},
        {"GNU options, letter case ignored", "a\nb\nA\nc\n", {"-u", "-i", "IN", "-o", "OUT"}, 0, "b\nc\n"},
        {"GNU options, nothing to drop: the input", "x\ny", {"IN", "-o", "OUT"}, 0, "x\ny"},
        {"no duplicates", "x\ny\n", {"/i", "in.txt", "/o", "out.txt", "/s", "1"}, 1, std::nullopt},
        {"output folder missing", "a\na\n", {"IN", "-o", "OUT/none"}, 3, std::nullopt},
    };
    writeStore("caseSensitive=0\nwinLeft=1500\nwinTop=900\nstatFilesOpened=3\nsRegExp=\n");
    const std::string before = readFile(storeFile());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        WorkingDirectory cd(dir.path());
        dir.write("in.txt", row.input);
        std::vector<std::string> args;
        for (const std::string& a : row.args) {
            if (a == "IN")
                args.push_back(dir.file("in.txt"));
            else if (a.rfind("OUT", 0) == 0)
                args.push_back(dir.file("out.txt") + a.substr(3));
            else
                args.push_back(a);
        }
        window.reset();
        program = std::make_unique<Stored>();
        endedWith.reset();
        MainWindow& w = start(args);
        EXPECT_TRUE(w.ended());
        EXPECT_FALSE(w.isVisible());
        ASSERT_TRUE(endedWith.has_value());
        EXPECT_EQ(*endedWith, row.exitCode);
        EXPECT_TRUE(dialogs.messages.empty());
        if (row.output)
            EXPECT_EQ(readFile(dir.file("out.txt")), *row.output);
        else
            EXPECT_FALSE(fs::exists(dir.file("out.txt")));
        EXPECT_EQ(readFile(storeFile()), before);
        window.reset();
    }
}

TEST_F(MainWindowTest, SwitchesThatAskForNoRunLeaveTheWindowOpen)
{
    WorkingDirectory cd(files.path());
    files.write("in.txt", "a\na\n");
    MainWindow& w = start({"/i", "in.txt", "/o", "out.txt", "/S", "2"});
    EXPECT_FALSE(w.ended());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(session().unattended);
    EXPECT_FALSE(fs::exists(files.file("out.txt")));
    // Interactive from here: the settings are saved at shutdown.
    ASSERT_TRUE(w.close());
    EXPECT_TRUE(fs::exists(storeFile()));
}

TEST_F(MainWindowTest, AFileNamedAloneIsOpened)
{
    const std::string path = files.write("list.txt", "a\nb\na\n");
    MainWindow& w = start({path});
    EXPECT_FALSE(w.ended());
    EXPECT_EQ(result().file, path);
    EXPECT_EQ(w.dupsModel()->rowCount(), 2);
}

// ---- open and save ----

TEST_F(MainWindowTest, ListsScrollSidewaysOverTheLongestLineShown)
{
    MainWindow& w = start();
    // Lines 1 to 100 are one group, lines 300 and 350 a long one: entries 100 and 101.
    std::vector<std::pair<int, std::string>> lines{{300, std::string(300, 'w')}, {350, std::string(300, 'w')}};
    for (int i = 1; i <= 100; ++i)
        lines.emplace_back(i, "ab");
    open(files.write("list.txt", numbered(400, lines)));
    for (LineListView* view : {w.sourceList(), w.dupsList()}) {
        SCOPED_TRACE(view->objectName().toStdString());
        QApplication::processEvents();
        const QModelIndex longRow = view->model()->index(view == w.sourceList() ? 299 : 100, 0);
        const int needed = view->fontMetrics().horizontalAdvance(longRow.data().toString());
        // Only what has been on screen is measured: the long line has not.
        ASSERT_LT(view->viewport()->width(), needed);
        EXPECT_LT(view->columnWidth(0), needed);
        view->scrollTo(longRow);
        view->viewport()->repaint();
        QApplication::processEvents();
        EXPECT_GE(view->columnWidth(0), needed);
        EXPECT_GE(view->horizontalScrollBar()->maximum(), needed - view->viewport()->width());
    }
}

TEST_F(MainWindowTest, OpenThenSaveWritesTheKeptLines)
{
    MainWindow& w = start();
    const std::string in = files.write("list.txt", "a\nb\na\nc\na\n");
    const std::string out = files.file("clean.txt");
    open(in);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].filter, text::kFileFilter);
    EXPECT_EQ(dialogs.openRequests[0].defaultExt, "TXT");
    EXPECT_TRUE(dialogs.openRequests[0].mustExist);

    const std::string scanned = "扫描      5 行: 找到        3 个重复项包含有              1 个唯一的重复项！";
    EXPECT_EQ(w.statusText().toStdString(), scanned);
    EXPECT_EQ(labelText(), scanned);  // the blanks stay
    EXPECT_EQ(w.windowTitle().toStdString(), "Quillow 3.0 - " + in);
    EXPECT_EQ(w.sourceModel()->rowCount(), 5);
    ASSERT_EQ(w.dupsModel()->rowCount(), 3);
    EXPECT_EQ(w.dupsModel()->data(w.dupsModel()->index(2)).toString().toStdString(), "[5]   a");
    EXPECT_TRUE(w.button(MainWindow::SaveButton)->isEnabled());
    EXPECT_TRUE(w.button(MainWindow::SelectButton)->isEnabled());
    EXPECT_TRUE(w.button(MainWindow::ViewerButton)->isEnabled());
    EXPECT_TRUE(w.button(MainWindow::OpenButton)->isVisible());
    EXPECT_FALSE(w.button(MainWindow::StopButton)->isVisible());
    EXPECT_EQ(w.progressBar().value(), w.progressBar().maximum());
    EXPECT_FALSE(QGuiApplication::overrideCursor());

    menuItem("selectAllButFirst")->trigger();
    EXPECT_EQ(w.statusText().toStdString(), "2 共  3 个重复项已选定。");

    dialogs.saveFiles.push_back(out);
    QTest::mouseClick(w.button(MainWindow::SaveButton), Qt::LeftButton);
    EXPECT_EQ(w.statusText().toStdString(), "完成保存！删除了 2 行，已写入 " + out);
    EXPECT_EQ(readFile(out), "a\nb\nc\n");
    EXPECT_EQ(settings().lastSavedFile, out);
    EXPECT_FALSE(QGuiApplication::overrideCursor());
    EXPECT_TRUE(w.button(MainWindow::OpenButton)->isEnabled());
}

TEST_F(MainWindowTest, ScanOutcomesShowInTheStatusBar)
{
    struct Row {
        const char* name;
        std::optional<std::string> content;  // nullopt: no such file
        std::string status;
    };
    const Row rows[] = {
        {"no duplicates", "a\nb\n", "没有找到重复行..."},
        {"a line of blanks only", "  ", "没有找到重复行..."},
        {"empty file", "", "错误: 文件为空！"},
        {"missing file", std::nullopt, "错误: 无法打开文件"},
    };
    MainWindow& w = start();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = row.content ? files.write("f.txt", *row.content) : files.file("missing.txt");
        open(path);
        // A failure names the file and the reason after the documented text.
        const std::string status = row.content ? row.status : row.status + " " + path + ": " + std::strerror(ENOENT);
        EXPECT_EQ(w.statusText().toStdString(), status);
        EXPECT_EQ(labelText(), status);
        EXPECT_FALSE(w.button(MainWindow::SaveButton)->isEnabled());
        EXPECT_TRUE(w.button(MainWindow::OpenButton)->isVisible());
        EXPECT_FALSE(session().busy);
        fs::remove(path);
    }
    // A cancelled open dialog changes nothing.
    const QString before = w.statusText();
    dialogs.openFiles.push_back(std::nullopt);
    QTest::mouseClick(w.button(MainWindow::OpenButton), Qt::LeftButton);
    EXPECT_EQ(w.statusText(), before);
}

TEST_F(MainWindowTest, StopDuringAScanAsksAndInterrupts)
{
    MainWindow& w = start();
    // A filter that needs a while for each line keeps the scan going long
    // enough for the Stop button to be pressed.
    std::string slow;
    for (int i = 0; i < 5000; ++i)
        slow += std::string(26, 'a') + "bc\n";
    const std::string path = files.write("long.txt", slow);
    settings().options.filterPattern = "(a|aa)+c";
    dialogs.answers.push_back(Answer::Yes);
    // Press Stop as soon as it can be pressed, from inside the scan's yields.
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        QToolButton* stop = w.button(MainWindow::StopButton);
        if (stop->isVisible() && stop->isEnabled()) {
            QTest::keyClick(w.sourceList(), Qt::Key_Escape);  // Esc is the Stop button's key
            presser.stop();
        }
    });
    presser.start(0);
    open(path);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "你确实想停止处理吗？");
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(w.statusText().toStdString(), "没有找到重复行(被用户中断)");
    EXPECT_TRUE(result().file.empty());
    EXPECT_FALSE(w.button(MainWindow::SaveButton)->isEnabled());
    EXPECT_TRUE(w.button(MainWindow::OpenButton)->isVisible());
    EXPECT_EQ(w.dupsModel()->rowCount(), 0);
    EXPECT_FALSE(QGuiApplication::overrideCursor());
}

// ---- selection ----

// Lines 3, 7 and 11 hold abc, lines 5 and 9 hold x: in list order the entries
// are 03, 07, 11 (abc) and 05, 09 (x).
class SelectionTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        start();
        open(files.write("groups.txt",
                         numbered(11, {{3, "abc"}, {7, "abc"}, {11, "abc"}, {5, "x"}, {9, "x"}})));
        ASSERT_EQ(window->dupsModel()->rowCount(), 5);
    }
};

TEST_F(SelectionTest, TheSelectMenuHoldsTheFiveCommandsInOrder)
{
    std::vector<std::string> items;
    for (QAction* a : window->selectMenu()->actions())
        items.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    EXPECT_EQ(items, (std::vector<std::string>{"全选", "不选", "-", "反选", "-", "全部，除了最初重复项",
                                               "全部，除了最后重复项"}));
    // It pops up at the Select button's bottom-left corner.
    const QRect select = window->button(MainWindow::SelectButton)->geometry();
    EXPECT_EQ(window->selectMenuPosition(), select.bottomLeft() + QPoint(0, 1));
}

TEST_F(SelectionTest, CommandsSetTheCheckBoxesAndTheCount)
{
    struct Row {
        const char* name;
        std::vector<const char*> commands;
        std::set<int> checked;
        std::string status;
    };
    const Row rows[] = {
        {"all", {"selectAll"}, {0, 1, 2, 3, 4}, "5 共  5 个重复项已选定。"},
        {"none after all", {"selectAll", "selectNone"}, {}, "0 共  5 个重复项已选定。"},
        {"all but first", {"selectAllButFirst"}, {1, 2, 4}, "3 共  5 个重复项已选定。"},
        {"all but last", {"selectAllButLast"}, {0, 1, 3}, "3 共  5 个重复项已选定。"},
        {"invert all but first", {"selectAllButFirst", "invertSelection"}, {0, 3}, "2 共  5 个重复项已选定。"},
        {"invert twice", {"selectAllButLast", "invertSelection", "invertSelection"}, {0, 1, 3}, "3 共  5 个重复项已选定。"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        menuItem("selectNone")->trigger();
        // A highlighted source line must stay where it is.
        window->sourceList()->setCurrentIndex(window->sourceModel()->index(9));
        for (const char* c : row.commands)
            menuItem(c)->trigger();
        EXPECT_EQ(checkedRows(), row.checked);
        EXPECT_EQ(window->statusText().toStdString(), row.status);
        EXPECT_EQ(result().dups->selectedCount(), static_cast<int64_t>(row.checked.size()));
        EXPECT_EQ(window->dupsList()->currentIndex().row(), 0);
        EXPECT_EQ(window->sourceList()->currentIndex().row(), 9);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(QGuiApplication::overrideCursor());
    }
}

TEST_F(SelectionTest, CheckingByHandCountsEachChangeOnce)
{
    LineListView* dups = window->dupsList();
    dups->setFocus();
    dups->setCurrentIndex(window->dupsModel()->index(2));
    QTest::keyClick(dups, Qt::Key_Space);
    EXPECT_EQ(checkedRows(), (std::set<int>{2}));
    EXPECT_EQ(window->statusText().toStdString(), "1 共  5 个重复项已选定。");

    // A click on the check box of another entry.
    const QModelIndex fourth = window->dupsModel()->index(4);
    QStyleOptionViewItem option;
    option.initFrom(dups);
    option.rect = dups->visualRect(fourth);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box = dups->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, dups);
    QTest::mouseClick(dups->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(checkedRows(), (std::set<int>{2, 4}));
    EXPECT_EQ(window->statusText().toStdString(), "2 共  5 个重复项已选定。");
    // The ticked entry is highlighted, and so is its line (entry 4 is line 9).
    EXPECT_EQ(dups->currentIndex().row(), 4);
    EXPECT_TRUE(dups->selectionModel()->isRowSelected(4, {}));
    EXPECT_EQ(window->sourceList()->currentIndex().row(), 8);

    // Setting a check box to the state it already has changes nothing.
    window->dupsModel()->setData(fourth, Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(result().dups->selectedCount(), 2);
    QTest::keyClick(dups, Qt::Key_Space);
    EXPECT_EQ(checkedRows(), (std::set<int>{2}));
    EXPECT_EQ(window->statusText().toStdString(), "1 共  5 个重复项已选定。");
}

TEST_F(MainWindowTest, ClickingAnEntryHighlightsItsSourceLine)
{
    MainWindow& w = start();
    open(files.write("thousand.txt", numbered(1000, {{7, "same"}, {900, "same"}})));
    ASSERT_EQ(w.dupsModel()->rowCount(), 2);
    EXPECT_EQ(w.dupsModel()->data(w.dupsModel()->index(0)).toString().toStdString(), "[0007]   same");

    QTest::mouseClick(w.dupsList()->viewport(), Qt::LeftButton, {}, rowCentre(w.dupsList(), 1));
    EXPECT_EQ(w.sourceList()->currentIndex().row(), 899);
    EXPECT_TRUE(w.sourceList()->viewport()->rect().intersects(
        w.sourceList()->visualRect(w.sourceModel()->index(899))));

    QTest::mouseClick(w.dupsList()->viewport(), Qt::LeftButton, {}, rowCentre(w.dupsList(), 0));
    EXPECT_EQ(w.sourceList()->currentIndex().row(), 6);
    EXPECT_TRUE(w.sourceList()->selectionModel()->isRowSelected(6, {}));
}

TEST_F(MainWindowTest, AfterTheViewersWriteBackTheFirstEntrysLineIsHighlighted)
{
    MainWindow& w = start();
    open(files.write("thousand.txt", numbered(1000, {{7, "same"}, {900, "same"}})));
    QTest::mouseClick(w.dupsList()->viewport(), Qt::LeftButton, {}, rowCentre(w.dupsList(), 1));
    ASSERT_EQ(w.sourceList()->currentIndex().row(), 899);

    // A selection command makes entry 0 current without moving the source list.
    menuItem("selectAll")->trigger();
    EXPECT_EQ(w.dupsList()->currentIndex().row(), 0);
    EXPECT_EQ(w.sourceList()->currentIndex().row(), 899);

    // The viewer's write-back (selecting is 0 then) locates entry 0's line.
    QTest::mouseClick(w.dupsList()->viewport(), Qt::LeftButton, {}, rowCentre(w.dupsList(), 1));
    w.selectionChanged();
    EXPECT_EQ(w.dupsList()->currentIndex().row(), 0);
    EXPECT_EQ(w.sourceList()->currentIndex().row(), 6);
}

// ---- the right mouse button and drops ----

TEST_F(MainWindowTest, RightClickCopiesTheHighlightedSourceLine)
{
    MainWindow& w = start();
    open(files.write("lines.txt", numbered(20, {{2, "twice"}, {12, "twice"}})));
    QClipboard* clipboard = QGuiApplication::clipboard();
    LineListView* show = w.sourceList();
    show->setCurrentIndex(w.sourceModel()->index(3));

    // The click lands on another line but copies the highlighted one and
    // leaves the highlight where it was.
    QTest::mouseClick(show->viewport(), Qt::RightButton, {}, rowCentre(show, 5));
    EXPECT_EQ(clipboard->text().toStdString(), "line 4");
    EXPECT_EQ(show->currentIndex().row(), 3);

    QTest::keyClick(show, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().toStdString(), "line 4");

    // Not while a scan or save runs.
    clipboard->setText("before");
    session().busy = true;
    QTest::mouseClick(show->viewport(), Qt::RightButton, {}, rowCentre(show, 5));
    EXPECT_EQ(clipboard->text().toStdString(), "before");
    session().busy = false;
}

TEST_F(MainWindowTest, OtherEncodingsAreNamedAndShownDecoded)
{
    MainWindow& w = start();
    QLabel* encoding = w.findChild<QLabel*>("encodingLabel");
    ASSERT_NE(encoding, nullptr);
    // UTF-16LE with a mark: "你好", "x", "你好".
    open(files.write("wide.txt", std::string("\xFF\xFE\x60\x4F\x7D\x59\n\0x\0\n\0\x60\x4F\x7D\x59\n\0", 18)));
    EXPECT_EQ(encoding->text(), QStringLiteral("文本编码: UTF-16LE"));
    EXPECT_EQ(w.sourceModel()->data(w.sourceModel()->index(2)).toString(), QStringLiteral("你好"));
    EXPECT_EQ(w.dupsModel()->data(w.dupsModel()->index(1)).toString(), QStringLiteral("[3]   你好"));
    w.sourceList()->setCurrentIndex(w.sourceModel()->index(0));
    QTest::mouseClick(w.sourceList()->viewport(), Qt::RightButton, {}, rowCentre(w.sourceList(), 0));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("你好"));
    // UTF-8 needs no mention.
    open(files.write("plain.txt", "a\na\n"));
    EXPECT_EQ(encoding->text(), QString());
}

TEST_F(MainWindowTest, RightClickOnTheDuplicatesOpensTheCopyDialog)
{
    MainWindow& w = start();
    LineListView* dups = w.dupsList();
    // An empty list opens nothing.
    QTest::mouseClick(dups->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(dialogs.copyDialogs.empty());

    open(files.write("lines.txt", numbered(20, {{2, "twice"}, {12, "twice"}})));
    QTest::mouseClick(dups->viewport(), Qt::RightButton, {}, rowCentre(dups, 1));
    dups->setCurrentIndex(w.dupsModel()->index(1));
    QTest::mouseClick(dups->viewport(), Qt::RightButton, {}, rowCentre(dups, 0));
    session().busy = true;
    QTest::mouseClick(dups->viewport(), Qt::RightButton, {}, rowCentre(dups, 0));
    session().busy = false;
    EXPECT_EQ(dialogs.copyDialogs, (std::vector<int64_t>{-1, 1}));
    EXPECT_EQ(dups->currentIndex().row(), 1);

    // Ctrl+C copies the highlighted entry's source line.
    QTest::keyClick(dups, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "twice\n");
}

TEST_F(MainWindowTest, ADroppedFileIsScannedUnlessBusy)
{
    MainWindow& w = start();
    const std::string path = files.write("dropped.txt", "a\na\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    // Qt delivers drops only from a real drag; the handler is what they reach.
    auto drop = [&] {
        ASSERT_TRUE(w.acceptsDrop(&data));
        w.dropFiles(&data);
        QCoreApplication::processEvents();
    };

    session().busy = true;
    drop();
    EXPECT_TRUE(result().file.empty());
    EXPECT_EQ(settings().counters.filesOpened, 0);
    session().busy = false;

    drop();
    EXPECT_EQ(result().file, path);
    EXPECT_EQ(settings().counters.filesOpened, 1);
    EXPECT_TRUE(dialogs.openRequests.empty());  // the drop took the dialog's place
    EXPECT_EQ(w.dupsModel()->rowCount(), 2);

    // Text that is not a file list is refused.
    QMimeData text;
    text.setText("a\na\n");
    EXPECT_FALSE(w.acceptsDrop(&text));
    QMimeData web;
    web.setUrls({QUrl("https://example.org/list.txt")});
    EXPECT_FALSE(w.acceptsDrop(&web));
}

// ---- big files ----

TEST_F(MainWindowTest, BigFilesShowEveryLineAndEntry)
{
    MainWindow& w = start();
    const std::string path = files.write("big.txt", numbered(40000, {{10, "dup"}, {30000, "dup"}}));
    open(path);
    EXPECT_TRUE(result().bigFile);
    EXPECT_TRUE(dialogs.messages.empty());
    LineListView* show = w.sourceList();
    LineListView* dups = w.dupsList();
    ASSERT_EQ(w.sourceModel()->rowCount(), 40000);
    ASSERT_EQ(w.dupsModel()->rowCount(), 2);
    EXPECT_EQ(w.dupsModel()->index(1).data().toString().toStdString(), "[30000]   dup");
    auto onScreen = [](LineListView* view, int row) {
        return view->viewport()->rect().intersects(view->visualRect(view->model()->index(row, 0)));
    };
    show->verticalScrollBar()->setValue(show->verticalScrollBar()->maximum());
    EXPECT_TRUE(onScreen(show, 39999));
    EXPECT_EQ(show->model()->index(39999, 0).data().toString().toStdString(), "line 40000");

    // Locating, hand checks and the highlighted entry work as on small files.
    QTest::mouseClick(dups->viewport(), Qt::LeftButton, {}, rowCentre(dups, 1));
    EXPECT_EQ(show->currentIndex().row(), 29999);
    EXPECT_TRUE(onScreen(show, 29999));
    QTest::keyClick(dups, Qt::Key_Space);
    EXPECT_EQ(w.statusText().toStdString(), "1 共  2 个重复项已选定。");
    QTest::mouseClick(dups->viewport(), Qt::RightButton, {}, rowCentre(dups, 0));
    EXPECT_EQ(dialogs.copyDialogs, (std::vector<int64_t>{1}));

    // Within less memory than the file takes, the lines are read from it
    // (the tick goes once the user agrees).
    settings().options.maxMemory = "1K";
    dialogs.answers.push_back(Answer::Yes);
    open(path);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "已勾选的 1 个重复项将丢失。仍要重新扫描吗？");
    ASSERT_TRUE(result().onDisk);
    EXPECT_EQ(w.findChild<QLabel*>("encodingLabel")->text(), QStringLiteral("行从文件读取"));
    ASSERT_EQ(w.sourceModel()->rowCount(), 40000);
    EXPECT_EQ(show->model()->index(39999, 0).data().toString().toStdString(), "line 40000");
    ASSERT_EQ(w.dupsModel()->rowCount(), 2);
    EXPECT_EQ(w.dupsModel()->index(1).data().toString().toStdString(), "[30000]   dup");
    QTest::mouseClick(dups->viewport(), Qt::LeftButton, {}, rowCentre(dups, 1));
    EXPECT_EQ(show->currentIndex().row(), 29999);
    EXPECT_EQ(show->currentIndex().data().toString().toStdString(), "dup");
    ViewerModel viewer;
    viewer.fill(result().source, result().dups.get());
    EXPECT_EQ(viewer.index(29999, 0).data().toString().toStdString(), "dup");
    EXPECT_EQ(viewer.index(29999, 0).data(Qt::ForegroundRole).isValid(), true);
    settings().options.maxMemory = "auto";

    // With the line texts released the source list has nothing to show.
    settings().options.preserveMemory = true;
    open(path);
    ASSERT_TRUE(result().memoryPreserved);
    ASSERT_EQ(w.sourceModel()->rowCount(), 1);
    EXPECT_EQ(w.sourceModel()->index(0).data().toString().toStdString(), "不可预览...");
    ASSERT_EQ(w.dupsModel()->rowCount(), 2);
    QTest::mouseClick(dups->viewport(), Qt::LeftButton, {}, rowCentre(dups, 0));
    EXPECT_FALSE(show->currentIndex().isValid());
}

// ---- keys, buttons, display ----

TEST_F(MainWindowTest, F1ShowsTheHelpWindowAndEnterInAListKeepsTheTicks)
{
    MainWindow& w = start();
    // F1 in any control shows the help page in the program's own window, in
    // the interface language; nothing is handed to the desktop.
    QTest::keyClick(w.dupsList(), Qt::Key_F1);
    ASSERT_NE(w.helpWindow(), nullptr);
    EXPECT_TRUE(w.helpWindow()->isVisible());
    QTextBrowser* page = w.helpWindow()->browser();
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("基本步骤")));
    EXPECT_FALSE(page->toPlainText().contains(QStringLiteral("What Quillow does")));
    // A link within the page moves within it.
    w.helpWindow()->resize(500, 300);
    page->setSource(QUrl(QStringLiteral("#zh-command-line")));
    EXPECT_GT(page->verticalScrollBar()->value(), 0);
    w.helpWindow()->close();
    QTest::keyClick(w.button(MainWindow::AboutButton), Qt::Key_F1);
    EXPECT_TRUE(w.helpWindow()->isVisible());
    EXPECT_TRUE(dialogs.openedDocuments.empty());

    // Enter in a list ticks the highlighted entry as Space does; it never
    // starts a scan that would drop the ticks.
    open(files.write("f.txt", "a\nb\na\n"));
    w.dupsList()->setCurrentIndex(w.dupsModel()->index(1));
    QTest::keyClick(w.dupsList(), Qt::Key_Return);
    EXPECT_EQ(checkedRows(), (std::set<int>{1}));
    QTest::keyClick(w.sourceList(), Qt::Key_Return);
    QTest::keyClick(w.dupsList(), Qt::Key_Enter);
    QTest::keyClick(w.dupsList(), Qt::Key_Return);
    EXPECT_EQ(checkedRows(), (std::set<int>{1}));
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(w.statusText().toStdString(), "1 共  2 个重复项已选定。");
    // A focused button takes Enter itself.
    QTest::keyClick(w.button(MainWindow::AboutButton), Qt::Key_Return);
    EXPECT_EQ(dialogs.abouts, 1);

    // Esc does nothing while Stop is hidden.
    QTest::keyClick(w.sourceList(), Qt::Key_Escape);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, ButtonKeysWorkAsClicksOnEnabledButtons)
{
    MainWindow& w = start();
    QWidget* focus = w.dupsList();
    // Before a scan only Open answers its key.
    dialogs.openFiles.push_back(std::nullopt);
    QTest::keyClick(focus, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_F3);
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_EQ(dialogs.viewers, 0);

    open(files.write("f.txt", "a\na\n"));
    menuItem("selectAll")->trigger();  // the save asks for a name only when something is selected
    struct Row {
        const char* name;
        QKeyCombination keys;
        std::function<bool()> opened;
    };
    bool menuShown = false;
    const Row rows[] = {
        {"Ctrl+O opens", Qt::CTRL | Qt::Key_O, [&] { return dialogs.openRequests.size() == 3; }},
        {"Ctrl+S saves", Qt::CTRL | Qt::Key_S, [&] { return dialogs.saveRequests.size() == 1; }},
        {"F3 opens the viewer", QKeyCombination(Qt::Key_F3), [&] { return dialogs.viewers == 1; }},
        {"Ctrl+M pops up the Select menu", Qt::CTRL | Qt::Key_M, [&] { return menuShown; }},
    };
    dialogs.openFiles.push_back(std::nullopt);
    dialogs.saveFiles.push_back(std::nullopt);
    dialogs.answers.push_back(Answer::Yes);  // the ticks may go for a new scan
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTimer::singleShot(0, [&] {
            if (w.selectMenu()->isVisible()) {
                menuShown = true;
                w.selectMenu()->close();
            }
        });
        // A closed pop-up leaves the offscreen platform without an active window.
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(focus, row.keys.key(), row.keys.keyboardModifiers());
        QCoreApplication::processEvents();
        EXPECT_TRUE(row.opened());
    }
}

TEST_F(MainWindowTest, TheWholeStatusTextIsReadableAtTheDefaultSize)
{
    MainWindow& w = start();
    const QLabel* label = w.findChild<QLabel*>("statusText");
    const double fullSize = w.statusBar()->font().pointSizeF();
    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"a short text", "文件已载入！"},
        {"the summary of a 3,492-line file", text::scanSummary(3492, 1234, 872)},
        {"the summary of ten million lines", text::scanSummary(10000000, 4653049, 1512345)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        w.setStatus(row.text);
        EXPECT_EQ(label->text().toStdString(), row.text);  // blanks and all
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
        EXPECT_GE(label->font().pointSizeF(), kSmallestStatusPoints);
        const bool shrunk = label->font().pointSizeF() < fullSize;
        EXPECT_EQ(label->toolTip().toStdString(), shrunk ? row.text : "");
    }
    EXPECT_LT(label->font().pointSizeF(), fullSize);  // ten million lines do not fit at full size
}

TEST_F(MainWindowTest, ButtonsOpenTheirWindows)
{
    MainWindow& w = start();
    open(files.write("f.txt", "a\na\n"));
    QTest::mouseClick(w.button(MainWindow::ViewerButton), Qt::LeftButton);
    EXPECT_EQ(dialogs.viewers, 1);
    EXPECT_FALSE(w.viewerOpen());
    QTest::mouseClick(w.button(MainWindow::OptionsButton), Qt::LeftButton);
    EXPECT_EQ(dialogs.options, 1);
    EXPECT_EQ(w.focusWidget(), w.button(MainWindow::OpenButton));
    QTest::mouseClick(w.button(MainWindow::AboutButton), Qt::LeftButton);
    EXPECT_EQ(dialogs.abouts, 1);

}

// The scan runs on a worker: the window's own timers keep firing.
TEST_F(MainWindowTest, TheWindowStaysResponsiveDuringABigScan)
{
#ifdef QUILLOW_SANITIZED
    GTEST_SKIP() << "under the sanitizers the window's pauses measure their work, not ours";
#endif
    MainWindow& w = start();
    std::string text;
    text.reserve(80u << 20);
    for (int i = 0; i < 10'000'000; ++i)
        text += std::to_string(i % 3'000'000) + "\n";
    const std::string path = files.write("big.txt", text);
    text = std::string();
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    Clock::duration longest{};
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
        ++ticks;
    });
    timer.start(10);
    last = Clock::now();
    open(path);
    timer.stop();
    EXPECT_EQ(result().lineCount, 10'000'000);
    EXPECT_GT(ticks, 5);
    EXPECT_LT(longest, std::chrono::milliseconds(100));
    EXPECT_EQ(w.statusText().toStdString().rfind("扫描      10000000 行", 0), 0u);
}

}  // namespace
}  // namespace quillow

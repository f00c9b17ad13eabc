#pragma once
// The desktop program's main window, the front end of its session.
// Qt layouts place the controls: the buttons in a column on the left with the
// progress bar under them, the source list and the duplicates list on the
// right sharing the height, each under its heading. Twips (15 per logical
// pixel) appear only in the stored window placement.
// The window itself is in main_window.cpp, the front end in
// main_window_front_end.cpp, the lists, the Select menu, ticks and their
// undo in main_window_lists.cpp, the menu bar in main_window_menus.cpp,
// find and go to line in main_window_find.cpp.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "app/button_states.h"
#include "app/command_line/command_line.h"
#include "app/copy_text.h"
#include "app/front_end.h"
#include "app/session.h"
#include "engine/dedup/selection.h"
#include "gui/dialogs.h"

class QAction;
class QMenu;
class QMimeData;
class QProgressBar;
class QTimer;
class QToolButton;
class QUndoStack;

namespace quillow {

class DupsListModel;
class FindBar;
class FindController;
class HelpWindow;
class LineListView;
class SourceListModel;
class StatusLabel;
class WorkRunner;

// The status-bar notice that follows the product name and version, and the
// caption's hint after them (MainWindow::tr gives them in the interface
// language).
inline const char* const kStartNotice = QT_TRANSLATE_NOOP("quillow::MainWindow", " - 找出文本文件中的重复行，留下干净的副本。");
inline const char* const kHelpCaptionSuffix = QT_TRANSLATE_NOOP("quillow::MainWindow", " - 按 F1 寻求帮助");

class MainWindow : public QMainWindow, public FrontEnd {
    Q_OBJECT
public:
    enum Control {
        OpenButton,
        StopButton,
        SaveButton,
        SelectButton,
        ViewerButton,
        OptionsButton,
        AboutButton,
        ProgressArea,
        SourceLabel,
        SourceList,
        DupsLabel,
        DupsList,
        ControlCount
    };

    // Runs the start-up sequence (settings, placement); showAtStart() then
    // shows the window, and its first activation carries out command.
    MainWindow(Settings& settings, Dialogs& dialogs, CommandLine command, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Places the window from the settings (left, top, outer size, state) and
    // shows it; the first activation follows from the event loop.
    void showAtStart();
    // The one-time work of the first activation: caption, status text,
    // minimum size, the command line. Later calls do nothing.
    void firstActivation();

    // The menu bar's actions, by the name of the object.
    QAction* action(const char* name) const;
    QUndoStack* undoStack() const { return undo_; }
    FindBar* findBar() const { return findBar_; }
    FindController* finder() const { return find_; }
    // The help window F1 opened (null before).
    HelpWindow* helpWindow() const;

    // Button and menu handlers.
    void onOpenClicked();
    void reload();
    void openRecent(const std::string& file);
    void goToLine();
    void openFind();
    // Larger (+1), smaller (-1) or the window's own size (0) for both lists.
    void changeListFont(int step);
    void onStopClicked();
    void onSaveClicked();
    void onSelectClicked();
    void onViewerClicked();
    void onOptionsClicked();
    void onAboutClicked();
    void runSelectCommand(SelectCommand command);
    // The copy menu's items: source lines of the highlighted, all or the
    // selected duplicates entries.
    void copyCurrentSource();
    void copyAllSources();
    void copySelectedSources();
    // Something was dropped on the window: a file list starts a scan of
    // its first local file, unless a scan or save runs.
    void dropFiles(const QMimeData* data);
    bool acceptsDrop(const QMimeData* data) const;
    // F1 from any control: the help window.
    void openHelp();

    // The front end.
    void setStatus(const std::string& text) override;
    void setCaption(const std::string& text) override;
    void stateChanged() override;
    void selectionChanged() override;
    Answer messageBox(const std::string& text, Icon icon, Buttons buttons) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& preset) override;
    bool chooseOpenFile(FileDialogRequest& request) override;
    bool chooseSaveFile(FileDialogRequest& request) override;
    void runWork(const char* stopQuestion, const std::function<void(Work&)>& work) override;

    // A local path or web address handed to the desktop; a message when it cannot.
    void openDocument(const std::string& path);
    // The work that runs now (scan, save, selection), if any.
    bool workRunning() const;

    // For the program's main and for tests.
    bool ended() const { return ended_; }
    int exitCode() const { return exitCode_; }
    QString statusText() const;
    QWidget* control(Control c) const { return controls_[c]; }
    QToolButton* button(Control c) const;
    LineListView* sourceList() const;
    LineListView* dupsList() const;
    SourceListModel* sourceModel() const { return sourceModel_; }
    DupsListModel* dupsModel() const { return dupsModel_; }
    QMenu* selectMenu() const { return selectMenu_; }
    // Where the Select button pops up its menu, in client pixels.
    QPoint selectMenuPosition() const;
    QProgressBar& progressBar() const { return *progressBar_; }
    const Settings& settings() const { return session_.settings; }
    Session& session() { return session_; }
    const ScanResult& result() const { return session_.result; }
    bool viewerOpen() const { return viewerOpen_; }

signals:
    // The window unloaded: the program ends with this status.
    void programEnded(int exitCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildFind();
    // Menu items follow the buttons and the state.
    void updateActions(const ButtonStates& states);
    void fillRecentMenu();
    void applyListFont();
    // A new scan drops the ticks of the list: asks first when there are any.
    bool mayDropTicks();
    // A name given to the program that names no readable file is answered
    // as the open dialog answers it.
    bool reportUnopenable(const std::string& file);
    void toggleCurrentEntry();
    void showTick(int64_t entry, bool ticked);
    void showSelection();
    void pushSelectionChange(const std::vector<bool>& before, const QString& text);
    bool idle() const;
    void loadSettingsAndPlace();
    void runCommandLine();
    // Scans file, or the file the open dialog gives when file is empty.
    void scan(const std::string& file);
    void recordPlacement();
    void settleFrame();
    void showDupsEntryLine(int row);
    void onEntryChecked(int64_t row);
    void onDupsRightClicked();
    void onSourceRightClicked();
    bool handleKey(QWidget* target, QKeyEvent* event);
    void copySourceLines(CopyRange range);
    void showButtons(const ButtonStates& states);
    void showProgress(int64_t value, int64_t maximum);
    template <typename F>
    auto withArrowCursor(F&& f) -> decltype(f());

    Session session_;
    Settings& settings_;
    const ScanResult& result_;
    Dialogs& dialogs_;
    CommandLine command_;

    std::array<QWidget*, ControlCount> controls_{};
    LineListView* sourceList_ = nullptr;
    LineListView* dupsList_ = nullptr;
    SourceListModel* sourceModel_ = nullptr;
    DupsListModel* dupsModel_ = nullptr;
    StatusLabel* statusLabel_ = nullptr;
    QLabel* encodingLabel_ = nullptr;  // the scanned file's encoding when it is not UTF-8
    QMenu* selectMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* copyMenu_ = nullptr;
    QUndoStack* undo_ = nullptr;
    FindBar* findBar_ = nullptr;
    FindController* find_ = nullptr;
    HelpWindow* help_ = nullptr;
    QAction* copyCurrentAction_ = nullptr;
    QProgressBar* progressBar_ = nullptr;

    // Long work runs on a worker; its progress shows every kDisplayInterval.
    WorkRunner* work_ = nullptr;
    QString statusText_;
    // The lists the views show (a new scan's replace them).
    const void* shownSource_ = nullptr;
    const void* shownDups_ = nullptr;
    bool viewerOpen_ = false;
    const char* stopQuestion_ = nullptr;  // the running work's, when it can be stopped
    // A selection command runs: the duplicates view goes back to its first
    // entry without moving the source list.
    bool selecting_ = false;

    // The window was closed while work ran: it closes when the work has ended.
    bool closeAfterWork_ = false;
    QPointer<QWidget> focusBeforeDisable_;
    bool activationQueued_ = false;
    bool activating_ = false;
    bool activated_ = false;  // the first activation's work is done
    bool ended_ = false;
    int exitCode_ = 0;
    // The outer size asked for at start-up, applied again once the window
    // manager's frame is known (the client size excludes it).
    QSize pendingOuterSize_;
};

}  // namespace quillow

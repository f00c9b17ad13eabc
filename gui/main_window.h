#pragma once
// frmMain: the desktop program's main window and the engine's Host on it.
// Controls sit at absolute positions kept in twips (15 per logical pixel), so
// the resize rules work on the same numbers as the classic layout; Qt's
// device-independent pixels take care of high-density screens.
// The window itself is in main_window.cpp, the Host in main_window_host_gui.cpp,
// the lists and the Select menu in main_window_lists_gui.cpp.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/host.h"
#include "gui/dialogs.h"
#include "engine/selection.h"
#include "engine/program_state.h"

class QAction;
class QLabel;
class QListView;
class QMenu;
class QMimeData;
class QTimer;
class QToolButton;

namespace quillow {

class ProgressBar;
class DupsListModel;
class LineListView;
class SourceListModel;

struct TwipRect {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipRect&) const = default;
};

// The status-bar notice that follows the product name and version.
inline const char* const kStartNotice = " - 找出文本文件中的重复行，留下干净的副本。";
inline const char* const kHelpCaptionSuffix = " - 按 F1 寻求帮助";

class MainWindow : public QMainWindow, public Host {
    Q_OBJECT
public:
    enum Control { Scan, Stop, Save, Select, View, Settings, About, Progress, Lbl1, Show, Lbl2, Dups, ControlCount };

    // args: the program's arguments without its name (Qt's own removed).
    // Runs the start-up sequence; showAtStart() then places and shows it.
    MainWindow(ProgramState& state, Dialogs& dialogs, std::vector<std::string> args, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Places the window from the settings (left, top, outer size, state) and
    // shows it; the first activation follows from the event loop.
    void showAtStart();
    // The one-time work of the first activation: caption, status text,
    // minimum size, the command-line run. Later calls do nothing.
    void Form_Activate();
    // The resize rules for a client area of the given height and width in
    // twips (the status bar lies inside it).
    void Form_Resize(double clientHeightTwips, double clientWidthTwips);

    // Button and menu handlers.
    void cmdScan_Click();
    void cmdStop_Click();
    void cmdSave_Click();
    void cmdSelect_Click();
    void cmdView_Click();
    void cmdSettings_Click();
    void cmdAbout_Click();
    void runSelectCommand(SelectCommand command);
    // The mnuCopy items: source lines of the highlighted, all or the
    // selected duplicates entries.
    void mnuCopyCurrent_Click();
    void mnuCopyAll_Click();
    void mnuCopySelected_Click();
    // Something was dropped on the source list: a file list starts a scan of
    // its first local file, unless a scan or save runs.
    void lstShow_OLEDragDrop(const QMimeData* data);
    bool acceptsDrop(const QMimeData* data) const;
    // F1 from any control.
    void openHelp();
    // Where F1 looks for the help document: beside the program, then in the
    // installed data folder, else a copy of the one built into the program.
    static std::string helpDocumentPath();

    // Host.
    void setStatus(const std::string& text) override;
    void setCaption(const std::string& text) override;
    void setProgressMin(int32_t v) override;
    void setProgressMax(int32_t v) override;
    void setProgressValue(int32_t v) override;
    void setPointer(Pointer p) override;
    void showButtons(const ButtonStates& states) override;
    void yield() override;
    Answer messageBox(const std::string& text, int style) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& preset) override;
    bool chooseOpenFile(FileDialogRequest& request) override;
    bool chooseSaveFile(FileDialogRequest& request) override;
    void openDocument(const std::string& path) override;
    void listsChanged() override;
    void selectionChanged() override;
    void setMainWindowEnabled(bool enabled) override;

    // Shows what a throttled status text or progress update still holds back.
    void flushDisplay();

    // For the program's main and for tests.
    bool ended() const { return ended_; }
    int exitCode() const { return exitCode_; }
    QString statusText() const;
    const TwipRect& twips(Control c) const { return rects_[c]; }
    QWidget* control(Control c) const { return controls_[c]; }
    QToolButton* button(Control c) const;
    QListView* lstShow() const;
    QListView* lstDups() const;
    SourceListModel* sourceModel() const { return sourceModel_; }
    DupsListModel* dupsModel() const { return dupsModel_; }
    QMenu* mnuSelect() const { return mnuSelect_; }
    QMenu* mnuCopy() const { return mnuCopy_; }
    // Where cmdSelect pops up its menu, in client pixels.
    QPoint selectMenuPosition() const;
    ProgressBar& progressBar() const { return *progressBar_; }
    ProgramState& state() const { return state_; }

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

private:
    void buildControls();
    void place(Control c, const TwipRect& r);
    void applyGeometry(Control c);
    void Form_Load();
    void runCommandLine();
    void recordPlacement();
    void settleFrame();
    void lstDups_Click(int row);
    void lstDups_RightClick();
    void lstShow_RightClick();
    bool handleKey(QWidget* target, QKeyEvent* event);
    void copySourceLines(int range);
    void applyStatus(const QString& text);
    void applyProgress();
    void scheduleFlush();
    template <typename F>
    auto withArrowCursor(F&& f) -> decltype(f());

    ProgramState& state_;
    Dialogs& dialogs_;
    std::vector<std::string> args_;

    std::array<QWidget*, ControlCount> controls_{};
    std::array<TwipRect, ControlCount> rects_{};
    LineListView* lstShow_ = nullptr;
    LineListView* lstDups_ = nullptr;
    SourceListModel* sourceModel_ = nullptr;
    DupsListModel* dupsModel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QMenu* mnuSelect_ = nullptr;
    QMenu* mnuCopy_ = nullptr;
    QAction* mnuCopyCurrent_ = nullptr;
    ProgressBar* progressBar_ = nullptr;

    // Throttled display: percentages and bar values that come sooner than
    // kDisplayInterval after the last shown one wait for a timer.
    using Clock = std::chrono::steady_clock;
    QTimer* flushTimer_ = nullptr;
    QString statusText_;
    bool statusPending_ = false;
    Clock::time_point statusShownAt_{};
    int32_t barMin_ = 0, barMax_ = 100, barValue_ = 0;
    bool barPending_ = false;
    Clock::time_point barShownAt_{};
    Clock::time_point yieldedAt_{};
    bool forceYield_ = true;

    int overrideCursors_ = 0;
    QPointer<QWidget> focusBeforeDisable_;
    bool activationQueued_ = false;
    bool activating_ = false;
    bool ended_ = false;
    int exitCode_ = 0;
    // The outer size asked for at start-up, applied again once the window
    // manager's frame is known (the client size excludes it).
    QSize pendingOuterSize_;
};

}  // namespace quillow

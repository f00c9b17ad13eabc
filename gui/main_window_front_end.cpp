// The main window as its session's front end: status text, caption, the
// buttons and lists following the state, dialogs, and long work on a
// worker with its progress and the Stop question.
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressBar>
#include <QStringList>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>

#include "app/texts.h"
#include "gui/find_bar.h"
#include "gui/find_controller.h"
#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/main_window_internal.h"
#include "gui/status_label.h"
#include "gui/work_runner.h"

namespace quillow {

namespace {

// Stages that count their items start with an empty bar; the others show it full.
bool countsItems(Stage stage)
{
    switch (stage) {
    case Stage::Loaded:
    case Stage::Finishing:
        return false;
    default:
        return true;
    }
}

}  // namespace

QString MainWindow::statusText() const { return statusText_; }

void MainWindow::setStatus(const std::string& text)
{
    statusText_ = QString::fromStdString(text);
    statusLabel_->setStatusText(statusText_);
}

void MainWindow::setCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void MainWindow::showProgress(int64_t value, int64_t maximum)
{
    // An empty range would turn the bar into a busy indicator, and a value
    // beyond the maximum would be ignored: both show as the bar's ends.
    const int32_t top = static_cast<int32_t>(std::clamp<int64_t>(maximum, 1, INT32_MAX));
    const int32_t at = static_cast<int32_t>(std::clamp<int64_t>(value, 0, top));
    if (progressBar_->minimum() != 0)
        progressBar_->setMinimum(0);
    if (progressBar_->maximum() != top)
        progressBar_->setMaximum(top);
    if (progressBar_->value() != at)
        progressBar_->setValue(at);
}

void MainWindow::showButtons(const ButtonStates& s)
{
    QToolButton* scan = button(OpenButton);
    QToolButton* stop = button(StopButton);
    const bool stopWasShown = !stop->isHidden();
    scan->setEnabled(s.scanEnabled);
    scan->setHidden(!s.scanVisible);
    stop->setEnabled(s.stopEnabled);
    stop->setHidden(!s.stopVisible);
    button(SaveButton)->setEnabled(s.saveEnabled);
    button(SelectButton)->setEnabled(s.selectEnabled);
    button(ViewerButton)->setEnabled(s.viewEnabled);
    button(OptionsButton)->setEnabled(s.settingsEnabled);
    button(AboutButton)->setEnabled(s.aboutEnabled);
    updateActions(s);
    if (s.stopVisible && !stopWasShown && s.stopEnabled)
        stop->setFocus();
    else if (stopWasShown && !s.stopVisible && s.scanVisible && s.scanEnabled)
        scan->setFocus();
}

void MainWindow::stateChanged()
{
    showButtons(buttonStates(session_));
    if (result_.source.get() == shownSource_ && result_.dups.get() == shownDups_)
        return;
    shownSource_ = result_.source.get();
    shownDups_ = result_.dups.get();
    // The ticks' history and the hits belong to the lists that are going.
    undo_->clear();
    find_->stop();
    sourceModel_->reload();
    dupsModel_->reload();
    if (findBar_->isVisible() && !session_.busy)
        find_->restart();
    const Encoding& encoding = result_.encoding.encoding;
    QStringList notes;
    // A file that did not fit in memory: scanned through a temporary file,
    // its lines read from it when shown.
    if (result_.source && result_.onDisk)
        notes << tr("行从文件读取");
    if (result_.source && !encoding.isUtf8())
        notes << tr("文本编码: %1").arg(QString::fromStdString(encoding.displayName()));
    encodingLabel_->setText(notes.join(QStringLiteral("  ")));
    encodingLabel_->setToolTip(result_.source && result_.onDisk
                                   ? tr("文件和它的索引放不下所设的内存：借助临时文件分区查找重复项，"
                                        "列表和查看器从文件读取各行。")
                                   : QString());
    // Every item copies source lines, which are gone once released.
    for (QAction* a : copyMenu_->actions())
        a->setEnabled(!result_.memoryPreserved);
}

void MainWindow::selectionChanged()
{
    dupsModel_->refreshChecks();
    // The list starts again at its first entry. During a selection command
    // the source list stays still; after the viewer's write-back the
    // entry's line is highlighted in the source list as a click would.
    if (dupsModel_->rowCount() > 0) {
        dupsList_->setCurrentIndex(dupsModel_->index(0));
        dupsList_->scrollToTop();
        if (!selecting_)
            showDupsEntryLine(0);
    }
}

bool MainWindow::workRunning() const { return work_->running(); }

void MainWindow::runWork(const char* stopQuestion, const std::function<void(Work&)>& work)
{
    // Work that cannot be stopped keeps the window from taking input meanwhile.
    const bool stoppable = stopQuestion != nullptr;
    if (!stoppable) {
        focusBeforeDisable_ = QApplication::focusWidget();
        setEnabled(false);
    }
    QGuiApplication::setOverrideCursor(stoppable ? Qt::BusyCursor : Qt::WaitCursor);
    stopQuestion_ = stopQuestion;
    int64_t barMax = progressBar_->maximum();
    work_->onStage = [&](Stage stage) {
        setStatus(text::translated(text::stageStatus(stage)));
        showProgress(countsItems(stage) ? 0 : barMax, barMax);
    };
    work_->onProgress = [&](Stage stage, int64_t done, int64_t total) {
        setStatus(text::progressText(stage, done, total));
        barMax = total;
        showProgress(done, total);
    };
    struct Restore {
        MainWindow* w;
        bool stoppable;
        ~Restore()
        {
            w->stopQuestion_ = nullptr;
            w->showProgress(w->progressBar_->maximum(), w->progressBar_->maximum());
            QGuiApplication::restoreOverrideCursor();
            if (!stoppable) {
                w->setEnabled(true);
                if (w->focusBeforeDisable_ && w->isAncestorOf(w->focusBeforeDisable_))
                    w->focusBeforeDisable_->setFocus();
                w->focusBeforeDisable_ = nullptr;
            }
        }
    } restore{this, stoppable};
    work_->run(work);
    if (closeAfterWork_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::onStopClicked()
{
    if (!stopQuestion_)
        return;
    const char* question = stopQuestion_;
    work_->stopIf([&] { return messageBox(text::translated(question), Icon::Question, Buttons::YesNo) == Answer::Yes; });
}

template <typename F>
auto MainWindow::withArrowCursor(F&& f) -> decltype(f())
{
    // The answer is given with the ordinary pointer, also while work runs.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    struct Restore {
        bool busy;
        ~Restore()
        {
            if (busy)
                QGuiApplication::restoreOverrideCursor();
        }
    } restore{busy};
    return f();
}

Answer MainWindow::messageBox(const std::string& text, Icon icon, Buttons buttons)
{
    return withArrowCursor([&] { return dialogs_.messageBox(this, text, icon, buttons); });
}

std::optional<std::string> MainWindow::inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& preset)
{
    return withArrowCursor([&] { return dialogs_.inputBox(this, prompt, title, preset); });
}

bool MainWindow::chooseOpenFile(FileDialogRequest& request)
{
    return withArrowCursor([&] { return dialogs_.chooseOpenFile(this, request); });
}

bool MainWindow::chooseSaveFile(FileDialogRequest& request)
{
    return withArrowCursor([&] { return dialogs_.chooseSaveFile(this, request); });
}

void MainWindow::openDocument(const std::string& path)
{
    if (!dialogs_.openDocument(path) && !session_.unattended)
        messageBox(tr("无法打开 %1。").arg(QString::fromStdString(path)).toStdString(), Icon::Warning, Buttons::Ok);
}

}  // namespace quillow

// The engine's Host on the main window: status text, caption and progress
// (throttled), pointer, buttons, yield, dialogs, and the lists' refresh.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressBar>
#include <QStringList>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/texts.h"

#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/main_window_internal.h"
#include "gui/status_label.h"

namespace quillow {

QString MainWindow::statusText() const { return statusText_; }

void MainWindow::setStatus(const std::string& text)
{
    statusText_ = QString::fromStdString(text);
    statusLabel_->setStatusText(statusText_);
    // A new stage is shown before the work it announces begins.
    forceYield_ = true;
}

void MainWindow::setCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void MainWindow::progress(Stage stage, int64_t done, int64_t total)
{
    // The text waits with the bar: both are shown together.
    statusText_ = QString::fromStdString(text::progressText(stage, done, total));
    setProgressBar(done, total);
}

void MainWindow::setProgressBar(int64_t value, int64_t maximum)
{
    barValue_ = value;
    barMax_ = maximum;
    if (Clock::now() - shownAt_ >= kDisplayInterval)
        showProgress();
    else
        scheduleFlush();
}

void MainWindow::showProgress()
{
    statusLabel_->setStatusText(statusText_);
    // An empty range would turn the bar into a busy indicator, and a value
    // beyond the maximum would be ignored: both show as the bar's ends.
    const int32_t maximum = static_cast<int32_t>(std::clamp<int64_t>(barMax_, 1, INT32_MAX));
    const int32_t value = static_cast<int32_t>(std::clamp<int64_t>(barValue_, 0, maximum));
    if (progressBar_->minimum() != 0)
        progressBar_->setMinimum(0);
    if (progressBar_->maximum() != maximum)
        progressBar_->setMaximum(maximum);
    if (progressBar_->value() != value)
        progressBar_->setValue(value);
    shownAt_ = Clock::now();
    progressPending_ = false;
}

void MainWindow::scheduleFlush()
{
    progressPending_ = true;
    if (!flushTimer_->isActive())
        flushTimer_->start();
}

void MainWindow::flushDisplay()
{
    if (progressPending_)
        showProgress();
}

void MainWindow::setPointer(Pointer p)
{
    if (p == Pointer::Normal) {
        while (overrideCursors_ > 0) {
            QGuiApplication::restoreOverrideCursor();
            --overrideCursors_;
        }
        return;
    }
    const QCursor cursor(p == Pointer::Wait ? Qt::WaitCursor : Qt::BusyCursor);
    if (overrideCursors_ == 0) {
        QGuiApplication::setOverrideCursor(cursor);
        overrideCursors_ = 1;
    } else {
        QGuiApplication::changeOverrideCursor(cursor);
    }
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
    if (s.stopVisible && !stopWasShown && s.stopEnabled)
        stop->setFocus();
    else if (stopWasShown && !s.stopVisible && s.scanVisible && s.scanEnabled)
        scan->setFocus();
    forceYield_ = true;
}

void MainWindow::yield()
{
    if (!forceYield_ && Clock::now() - yieldedAt_ < kDisplayInterval)
        return;
    forceYield_ = false;
    flushDisplay();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    yieldedAt_ = Clock::now();
}

template <typename F>
auto MainWindow::withArrowCursor(F&& f) -> decltype(f())
{
    // Everything is shown as it stands before the window waits for an answer;
    // the answer is given with the ordinary pointer.
    flushDisplay();
    const bool busy = overrideCursors_ > 0;
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
    if (!dialogs_.openDocument(path) && !flags_.unattended)
        messageBox(text::arg(tr("无法打开 %1。").toStdString(), {path}), Icon::Warning, Buttons::Ok);
}

void MainWindow::listsChanged()
{
    sourceModel_->reload();
    dupsModel_->reload();
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
    forceYield_ = true;
}

void MainWindow::selectionChanged()
{
    dupsModel_->refreshChecks();
    // The list starts again at its first entry. During a selection command
    // `selecting` keeps the source list still; after the viewer's write-back
    // the entry's line is highlighted in the source list as a click would.
    if (dupsModel_->rowCount() > 0) {
        dupsList_->setCurrentIndex(dupsModel_->index(0));
        dupsList_->scrollToTop();
        if (!flags_.selecting)
            showDupsEntryLine(0);
    }
}

void MainWindow::setMainWindowEnabled(bool enabled)
{
    if (!enabled) {
        focusBeforeDisable_ = QApplication::focusWidget();
        setEnabled(false);
        return;
    }
    setEnabled(true);
    if (focusBeforeDisable_ && isAncestorOf(focusBeforeDisable_))
        focusBeforeDisable_->setFocus();
    focusBeforeDisable_ = nullptr;
}

}  // namespace quillow

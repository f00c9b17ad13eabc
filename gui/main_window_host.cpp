// The engine's Host on the main window: status text, caption and progress
// (throttled), pointer, buttons, yield, dialogs, and the lists' refresh.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/main_window_internal.h"
#include "gui/progress_bar.h"

namespace quillow {

namespace {

bool isPercentText(const QString& text) { return text.endsWith(QLatin1Char('%')); }

}  // namespace

QString MainWindow::statusText() const { return statusText_; }

void MainWindow::applyStatus(const QString& text)
{
    statusLabel_->setText(text);
    statusShownAt_ = Clock::now();
    statusPending_ = false;
}

void MainWindow::setStatus(const std::string& text)
{
    statusText_ = QString::fromStdString(text);
    if (isPercentText(statusText_) && Clock::now() - statusShownAt_ < kDisplayInterval) {
        statusPending_ = true;
        scheduleFlush();
        return;
    }
    applyStatus(statusText_);
    // A new stage is shown before the work it announces begins.
    if (!isPercentText(statusText_))
        forceYield_ = true;
}

void MainWindow::setCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void MainWindow::applyProgress()
{
    if (progressBar_->minimum() != barMin_)
        progressBar_->setMinimum(barMin_);
    if (progressBar_->maximum() != barMax_)
        progressBar_->setMaximum(barMax_);
    if (progressBar_->value() != barValue_)
        progressBar_->setValue(barValue_);
    barShownAt_ = Clock::now();
    barPending_ = false;
}

void MainWindow::setProgressMin(int32_t v)
{
    barMin_ = v;
    barPending_ = true;
    scheduleFlush();
}

void MainWindow::setProgressMax(int32_t v)
{
    barMax_ = v;
    barPending_ = true;
    scheduleFlush();
}

void MainWindow::setProgressValue(int32_t v)
{
    barValue_ = v;
    barPending_ = true;
    if (Clock::now() - barShownAt_ >= kDisplayInterval)
        applyProgress();
    else
        scheduleFlush();
}

void MainWindow::scheduleFlush()
{
    if (!flushTimer_->isActive())
        flushTimer_->start();
}

void MainWindow::flushDisplay()
{
    if (statusPending_)
        applyStatus(statusText_);
    if (barPending_)
        applyProgress();
}

void MainWindow::setPointer(Pointer p)
{
    if (p == Pointer::Default) {
        while (overrideCursors_ > 0) {
            QGuiApplication::restoreOverrideCursor();
            --overrideCursors_;
        }
        return;
    }
    const QCursor cursor(p == Pointer::Hourglass ? Qt::WaitCursor : Qt::BusyCursor);
    if (overrideCursors_ == 0) {
        QGuiApplication::setOverrideCursor(cursor);
        overrideCursors_ = 1;
    } else {
        QGuiApplication::changeOverrideCursor(cursor);
    }
}

void MainWindow::showButtons(const ButtonStates& s)
{
    QToolButton* scan = button(Scan);
    QToolButton* stop = button(Stop);
    const bool stopWasShown = !stop->isHidden();
    scan->setEnabled(s.scanEnabled);
    scan->setHidden(!s.scanVisible);
    stop->setEnabled(s.stopEnabled);
    stop->setHidden(!s.stopVisible);
    button(Save)->setEnabled(s.saveEnabled);
    button(Select)->setEnabled(s.selectEnabled);
    button(View)->setEnabled(s.viewEnabled);
    button(Settings)->setEnabled(s.settingsEnabled);
    button(About)->setEnabled(s.aboutEnabled);
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

Answer MainWindow::messageBox(const std::string& text, int style)
{
    return withArrowCursor([&] { return dialogs_.messageBox(this, text, style); });
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
    if (!dialogs_.openDocument(path) && state_.cmdLineMode != -1)
        messageBox("无法打开 " + path + "。", mb::Exclamation);
}

void MainWindow::listsChanged()
{
    sourceModel_->reload();
    dupsModel_->reload();
    mnuCopyCurrent_->setEnabled(state_.bigFile == 0);
    for (QAction* a : mnuCopy_->actions())
        if (a != mnuCopyCurrent_)
            a->setEnabled(state_.memoryPreserved == 0);
    if (state_.memoryPreserved)
        mnuCopyCurrent_->setEnabled(false);
    forceYield_ = true;
}

void MainWindow::selectionChanged()
{
    dupsModel_->refreshChecks();
    // The list starts again at its first entry. During a selection command
    // `selecting` keeps the source list still; after the viewer's write-back
    // the entry's line is highlighted in the source list as a click would.
    if (state_.bigFile == 0 && dupsModel_->rowCount() > 0) {
        lstDups_->setCurrentIndex(dupsModel_->index(0));
        lstDups_->scrollToTop();
        if (state_.selecting != -1)
            lstDups_Click(0);
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

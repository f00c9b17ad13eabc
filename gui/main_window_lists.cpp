// The two lists: a click on a duplicate shows its line, the right mouse button
// and the copy shortcut copy lines, the Select menu, and file drops.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/main_window_internal.h"
#include "engine/copy_text.h"
#include "engine/scan.h"
#include "gui/window_setup.h"

namespace quillow {

// ---- the Select menu ----

QPoint MainWindow::selectMenuPosition() const
{
    const TwipRect& r = rects_[Select];
    return QPoint(twipsToPixel(r.left), twipsToPixel(r.top + r.height));
}

void MainWindow::cmdSelect_Click()
{
    mnuSelect_->exec(centralWidget()->mapToGlobal(selectMenuPosition()));
}

void MainWindow::runSelectCommand(SelectCommand command)
{
    if (state_.isBusy || !state_.resultsReady)
        return;
    quillow::runSelectCommand(state_, *this, command);
}

// ---- copying ----

void MainWindow::copySourceLines(int range)
{
    if (state_.isBusy || !state_.dupsList || state_.memoryPreserved)
        return;
    const QModelIndex current = lstDups_->currentIndex();
    const int64_t highlighted = state_.bigFile == 0 && current.isValid() ? current.row() : -1;
    const std::string text =
        buildCopyText(state_, static_cast<CopyRange>(range), CopyContent::Source, highlighted);
    if (text.empty()) {
        messageBox(kNothingToCopy, mb::Exclamation);
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

void MainWindow::mnuCopyCurrent_Click() { copySourceLines(static_cast<int>(CopyRange::Highlighted)); }
void MainWindow::mnuCopyAll_Click() { copySourceLines(static_cast<int>(CopyRange::All)); }
void MainWindow::mnuCopySelected_Click() { copySourceLines(static_cast<int>(CopyRange::Selected)); }

// ---- the two lists ----

void MainWindow::lstDups_Click(int row)
{
    const int64_t line = locateLine(state_, row);
    if (line < 0 || line >= sourceModel_->rowCount())
        return;
    const QModelIndex index = sourceModel_->index(static_cast<int>(line));
    lstShow_->setCurrentIndex(index);
    lstShow_->scrollTo(index);
}

void MainWindow::lstDups_RightClick()
{
    if (state_.isBusy || dupsModel_->rowCount() == 0)
        return;
    const QModelIndex current = lstDups_->currentIndex();
    const int64_t highlighted = state_.bigFile == 0 && current.isValid() ? current.row() : -1;
    dialogs_.showCopyDialog(state_, *this, highlighted, this);
}

void MainWindow::lstShow_RightClick()
{
    if (state_.isBusy || sourceModel_->rowCount() == 0)
        return;
    const QModelIndex current = lstShow_->currentIndex();
    const std::string text = current.isValid() ? sourceModel_->rowText(current.row()) : std::string();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

bool MainWindow::acceptsDrop(const QMimeData* data) const
{
    if (!data || !data->hasUrls())
        return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

void MainWindow::lstShow_OLEDragDrop(const QMimeData* data)
{
    // A second scan must never start while one runs.
    if (state_.isBusy || !isEnabled() || !acceptsDrop(data))
        return;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            state_.droppedFile = toStdPath(url.toLocalFile());
            break;
        }
    }
    // Scanning inside the drop would keep the drag source waiting for the
    // whole scan; it starts right after the drop instead.
    QTimer::singleShot(0, this, [this] {
        if (state_.isBusy) {
            state_.droppedFile.clear();
            return;
        }
        if (!state_.droppedFile.empty())
            quillow::cmdScan_Click(state_, *this);
    });
}

}  // namespace quillow

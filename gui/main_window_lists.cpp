// The two lists: a click on a duplicate shows its line, the right mouse button
// and the copy shortcut copy lines, the Select menu, and file drops.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>

#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window.h"
#include "gui/main_window_internal.h"
#include "app/copy_text.h"
#include "app/flows/select_flow.h"
#include "app/texts.h"
#include "gui/tick_undo.h"
#include "gui/window_setup.h"
#include "gui/work_runner.h"

namespace quillow {

// ---- the Select menu ----

QPoint MainWindow::selectMenuPosition() const
{
    const QToolButton* select = button(SelectButton);
    return select->mapTo(centralWidget(), QPoint(0, select->height()));
}

void MainWindow::onSelectClicked()
{
    selectMenu_->exec(centralWidget()->mapToGlobal(selectMenuPosition()));
}

void MainWindow::runSelectCommand(SelectCommand command)
{
    if (!idle() || !result_.ready)
        return;
    const std::vector<bool> before = result_.dups->selection();
    selecting_ = true;
    selectEntries(session_, command);
    selecting_ = false;
    const QAction* item = nullptr;
    for (QAction* a : selectMenu_->actions())
        if (a->data().toInt() == static_cast<int>(command) && !a->isSeparator())
            item = a;
    pushSelectionChange(before, item ? item->text() : QString());
}

// ---- ticks and their undo ----

void MainWindow::pushSelectionChange(const std::vector<bool>& before, const QString& text)
{
    if (!result_.dups)
        return;
    if (SelectionCommand* change =
            SelectionCommand::between(*result_.dups, before, text, [this] { showSelection(); }))
        undo_->push(change);
}

void MainWindow::showSelection()
{
    dupsModel_->refreshChecks();
    setStatus(selectionStatusText(result_));
}

void MainWindow::showTick(int64_t entry, bool ticked)
{
    if (!result_.dups || entry < 0 || entry >= result_.dups->count())
        return;
    result_.dups->setSelected(entry, ticked);
    dupsModel_->showRows(entry);
    dupsModel_->refreshRow(static_cast<int>(entry));
    dupsList_->setCurrentIndex(dupsModel_->index(static_cast<int>(entry)));
    setStatus(selectionStatusText(result_));
}

void MainWindow::toggleCurrentEntry()
{
    const QModelIndex current = dupsList_->currentIndex();
    if (!current.isValid() || !idle())
        return;
    const bool ticked = current.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    dupsModel_->setData(current, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

// ---- copying ----

void MainWindow::copySourceLines(CopyRange range)
{
    if (session_.busy || !result_.dups || result_.memoryPreserved)
        return;
    const QModelIndex current = dupsList_->currentIndex();
    const int64_t highlighted = current.isValid() ? current.row() : -1;
    const std::string text = buildCopyText(result_, range, CopyContent::Source, highlighted);
    if (text.empty()) {
        messageBox(text::translated(text::kNothingToCopy), Icon::Warning, Buttons::Ok);
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

void MainWindow::copyCurrentSource() { copySourceLines(CopyRange::Highlighted); }
void MainWindow::copyAllSources() { copySourceLines(CopyRange::All); }
void MainWindow::copySelectedSources() { copySourceLines(CopyRange::Selected); }

// ---- the two lists ----

void MainWindow::showDupsEntryLine(int row)
{
    const int64_t line = selecting_ ? -1 : lineOfEntry(result_, row);
    if (line < 0 || sourceModel_->isPlaceholder())
        return;
    sourceModel_->showRows(line);
    if (line >= sourceModel_->rowCount())
        return;
    const QModelIndex index = sourceModel_->index(static_cast<int>(line));
    sourceList_->setCurrentIndex(index);
    sourceList_->scrollTo(index);
}

void MainWindow::onEntryChecked(int64_t row)
{
    // The ticked entry becomes the highlighted one, as a click on its text
    // makes it, and its line is highlighted in the source list.
    const QModelIndex index = dupsModel_->index(static_cast<int>(row));
    if (dupsList_->currentIndex() != index)
        dupsList_->setCurrentIndex(index);
    if (!selecting_) {
        entryCheckChanged(session_, row);
        undo_->push(new TickCommand([this](int64_t entry, bool ticked) { showTick(entry, ticked); }, row,
                                    result_.dups->isSelected(row)));
    }
}

void MainWindow::onDupsRightClicked()
{
    if (session_.busy || dupsModel_->rowCount() == 0)
        return;
    const QModelIndex current = dupsList_->currentIndex();
    const int64_t highlighted = current.isValid() ? current.row() : -1;
    dialogs_.showCopyDialog(session_, highlighted, this);
}

void MainWindow::onSourceRightClicked()
{
    if (session_.busy || sourceModel_->rowCount() == 0)
        return;
    const QModelIndex current = sourceList_->currentIndex();
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

void MainWindow::dropFiles(const QMimeData* data)
{
    // A second scan must never start while one runs.
    if (!idle() || !isEnabled() || !acceptsDrop(data))
        return;
    std::string dropped;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            dropped = toStdPath(url.toLocalFile());
            break;
        }
    }
    // Scanning inside the drop would keep the drag source waiting for the
    // whole scan; it starts right after the drop instead.
    QTimer::singleShot(0, this, [this, dropped] {
        if (!dropped.empty())
            scan(dropped);
    });
}

}  // namespace quillow

// Find in the main window's two lists and go to a line of the source list.
#include <QAction>
#include <QApplication>

#include "app/texts.h"
#include "gui/find_bar.h"
#include "gui/find_controller.h"
#include "gui/line_list_view.h"
#include "gui/list_models.h"
#include "gui/main_window.h"

namespace quillow {

namespace {

enum Scope { SourceScope = 0, DupsScope = 1 };

}  // namespace

void MainWindow::buildFind()
{
    findBar_->setScopes({tr("来源文件"), tr("找到重复项")});
    find_ = new FindController(
        findBar_,
        [this]() -> FindTarget {
            FindTarget target;
            const Encoding encoding = result_.encoding.encoding;
            if (findBar_->scope() == DupsScope) {
                std::shared_ptr<const quillow::DupsList> list = result_.dups;
                if (!list || !list->sorted() || session_.busy)
                    return target;
                target.view = dupsList_;
                target.rows = list->count();
                target.anyThread = list->keysInMemory();
                target.rowText = [list, shown = ShownText(encoding)](int64_t row, std::string& scratch) mutable {
                    scratch = shown.asIs() ? list->text(row) : shown.entry(*list, row);
                    return std::string_view(scratch);
                };
                target.showRow = [this](int64_t row) { dupsModel_->showRows(row); };
            } else {
                std::shared_ptr<const SourceLines> lines = result_.source;
                if (!lines || lines->released() || session_.busy)
                    return target;
                target.view = sourceList_;
                target.rows = lines->count();
                target.anyThread = lines->inMemory();
                target.rowText = [lines, shown = ShownText(encoding)](int64_t row, std::string& scratch) mutable {
                    return shown.line(lines->view(row), scratch);
                };
                target.showRow = [this](int64_t row) { sourceModel_->showRows(row); };
            }
            return target;
        },
        this);
    connect(findBar_, &FindBar::closed, this, [this] {
        find_->stop();
        updateActions(buttonStates(session_));
        QWidget* list = findBar_->scope() == DupsScope ? static_cast<QWidget*>(dupsList_) : sourceList_;
        list->setFocus();
    });
}

void MainWindow::openFind()
{
    if (!idle() || !result_.source)
        return;
    // The list that has the focus is the one searched.
    const QWidget* focus = QApplication::focusWidget();
    if (focus == dupsList_ || focus == dupsList_->viewport())
        findBar_->setScope(DupsScope);
    else if (focus == sourceList_ || focus == sourceList_->viewport())
        findBar_->setScope(SourceScope);
    const bool wasOpen = findBar_->isVisible();
    findBar_->open();
    updateActions(buttonStates(session_));
    if (!wasOpen)
        find_->restart();
}

void MainWindow::goToLine()
{
    if (!idle() || !result_.source || sourceModel_->isPlaceholder() || sourceModel_->rowCount() == 0)
        return;
    const int64_t lines = result_.source->count();
    const QModelIndex current = sourceList_->currentIndex();
    const std::optional<std::string> answer =
        inputBox(tr("转到行 (1 - %1):").arg(lines).toStdString(), tr("转到行").toStdString(),
                 std::to_string(current.isValid() ? current.row() + 1 : 1));
    if (!answer)
        return;
    bool ok = false;
    const qlonglong line = QString::fromStdString(*answer).trimmed().toLongLong(&ok);
    if (!ok || line < 1 || line > lines) {
        setStatus(tr("没有第 %1 行：文件有 %2 行。").arg(QString::fromStdString(*answer)).arg(lines).toStdString());
        return;
    }
    sourceModel_->showRows(line - 1);
    const QModelIndex index = sourceModel_->index(static_cast<int>(line - 1));
    sourceList_->setCurrentIndex(index);
    sourceList_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    sourceList_->setFocus();
}

}  // namespace quillow

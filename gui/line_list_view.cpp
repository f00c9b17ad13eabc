#include "gui/line_list_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <algorithm>

namespace quillow {

LineListView::LineListView(QWidget* parent) : QTableView(parent)
{
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    // Tab leaves the list, as it leaves any list.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    fitRowHeight();
}

void LineListView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    widestRow_ = 0;
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            widestRow_ = 0;
            fitColumn();
        });
    }
    fitColumn();
}

void LineListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(sideways);
}

void LineListView::fitRowHeight()
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Xg中");
    const QSize row = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    verticalHeader()->setDefaultSectionSize(std::max(row.height(), 1));
}

void LineListView::fitColumn()
{
    if (!model() || model()->columnCount() < 1)
        return;
    const int width = std::max(widestRow_, viewport()->width());
    if (columnWidth(0) != width)
        setColumnWidth(0, width);
}

void LineListView::measureShownRows()
{
    if (!model() || model()->columnCount() < 1)
        return;
    const int first = rowAt(0);
    if (first < 0)
        return;
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = model()->rowCount() - 1;
    int widest = widestRow_;
    for (int row = first; row <= last; ++row)
        widest = std::max(widest, sizeHintForIndex(model()->index(row, 0)).width());
    if (widest > widestRow_) {
        widestRow_ = widest;
        // Not while painting: the new width repaints the view.
        QTimer::singleShot(0, this, &LineListView::fitColumn);
    }
}

QModelIndex LineListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    switch (action) {
    case MoveHome:
    case MoveEnd:
        // One column: Home and End go to the first and the last line.
        return QTableView::moveCursor(action, modifiers | Qt::ControlModifier);
    case MoveLeft:
    case MoveRight:
        // Left and right scroll a long line.
        horizontalScrollBar()->triggerAction(action == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                                : QAbstractSlider::SliderSingleStepAdd);
        return currentIndex();
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}

void LineListView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    measureShownRows();
}

void LineListView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitColumn();
}

void LineListView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        fitRowHeight();
        widestRow_ = 0;
        fitColumn();
    }
}

void LineListView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void LineListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (onRightClick)
            onRightClick();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void LineListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDrop && acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void LineListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrop && acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void LineListView::dropEvent(QDropEvent* event)
{
    if (!acceptsDrop || !acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (onDrop)
        onDrop(event->mimeData());
}

}  // namespace quillow

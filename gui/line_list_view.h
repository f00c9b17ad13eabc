#pragma once
// The view both lists of the main window use: one column of one-line rows.
// A table view rather than a list view, because its rows are placed by
// arithmetic: a list view lays out every row on each reset, which takes
// most of a second for ten million lines. The column is as wide as the
// widest row shown so far, so the horizontal scroll range covers every line
// that has been on screen without measuring the rows that have not.
// It leaves the highlight alone on a right click (the click copies or opens
// the copy dialog instead) and takes file drops when told.
#include <QTableView>
#include <functional>

class QMimeData;

namespace quillow {

class LineListView : public QTableView {
public:
    explicit LineListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // Brings the row into view; the sideways scroll stays where the user left it.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

    std::function<void()> onRightClick;
    std::function<bool(const QMimeData*)> acceptsDrop;
    std::function<void(const QMimeData*)> onDrop;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The height of a row with a check box and a line of text.
    void fitRowHeight();
    // Widens the column to the widest row on screen; never narrows it.
    void measureShownRows();
    void fitColumn();

    int widestRow_ = 0;  // in pixels, since the model was last reset
};

}  // namespace quillow

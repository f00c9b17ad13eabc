#pragma once
// What the main window's source files share: the pace of display updates, the
// path conversion for the file system, and the list view both lists use.
#include <QFile>
#include <QListView>
#include <QMouseEvent>
#include <chrono>
#include <functional>
#include <string>

namespace quillow {

// Percentages and bar values come every 50 lines; the screen needs far fewer.
inline constexpr std::chrono::milliseconds kDisplayInterval{30};

inline std::string toStdPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A list view that leaves the highlight alone on a right click (the click
// copies or opens the copy dialog instead) and takes file drops when told.
class LineListView : public QListView {
public:
    using QListView::QListView;

    std::function<void()> onRightClick;
    std::function<bool(const QMimeData*)> acceptsDrop;
    std::function<void(const QMimeData*)> onDrop;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::RightButton) {
            event->accept();
            return;
        }
        QListView::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::RightButton) {
            event->accept();
            if (onRightClick)
                onRightClick();
            return;
        }
        QListView::mouseReleaseEvent(event);
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (acceptsDrop && acceptsDrop(event->mimeData()))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (acceptsDrop && acceptsDrop(event->mimeData()))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dropEvent(QDropEvent* event) override
    {
        if (!acceptsDrop || !acceptsDrop(event->mimeData())) {
            event->ignore();
            return;
        }
        event->acceptProposedAction();
        if (onDrop)
            onDrop(event->mimeData());
    }
};

}  // namespace quillow

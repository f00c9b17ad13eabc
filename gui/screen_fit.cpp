#include "gui/screen_fit.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <algorithm>

namespace quillow {

QRect fitOnScreens(const QRect& frame, const QList<QRect>& areas, const QRect& fallback)
{
    if (areas.isEmpty())
        return frame;
    // A window has at least a pixel, wherever its stored size left it.
    const QRect window(frame.topLeft(), frame.size().expandedTo(QSize(1, 1)));
    QRegion outside(window);
    for (const QRect& area : areas)
        outside -= area;
    if (outside.isEmpty())
        return frame;

    QRect target;
    qint64 mostShared = 0;
    for (const QRect& area : areas) {
        const QRect shared = area.intersected(window);
        const qint64 size = qint64(shared.width()) * shared.height();
        if (size > mostShared) {
            mostShared = size;
            target = area;
        }
    }
    if (mostShared == 0)
        target = fallback.isValid() ? fallback : areas.first();
    const QSize size = window.size().boundedTo(target.size());
    const int x = std::clamp(window.x(), target.left(), target.left() + target.width() - size.width());
    const int y = std::clamp(window.y(), target.top(), target.top() + target.height() - size.height());
    return QRect(QPoint(x, y), size);
}

QList<QRect> availableScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

}  // namespace quillow

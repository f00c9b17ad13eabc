#pragma once
// Stored window places are checked against the screens before they are used:
// a place saved on a monitor that is gone, or at another scale factor (the
// same stored pixels are then a larger share of the screen), would open the
// window partly or wholly out of reach.
#include <QList>
#include <QRect>

namespace quillow {

// frame is a window's outer rectangle in device-independent pixels, areas the
// available areas of the screens in the same units. frame comes back as it is
// when the areas hold all of it (across several screens too); otherwise it is
// moved, and shrunk where it is larger, into the area it overlaps most, or
// into fallback when it overlaps none.
QRect fitOnScreens(const QRect& frame, const QList<QRect>& areas, const QRect& fallback);

// The available areas of the screens now attached.
QList<QRect> availableScreenAreas();

}  // namespace quillow

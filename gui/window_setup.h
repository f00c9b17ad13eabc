#pragma once
// Window minimum sizes, twips and icons shared by the program's windows.
//
// Layouts place the controls; twips (15 per logical pixel) remain in the
// stored window placement and in the windows' minimum client sizes.
// setMinimumClientSize gives a window a minimum client size so that it cannot
// be dragged smaller; restoreMinimumSize takes it away again. applyWindowIcon
// gives a window, and optionally its top-level owner, the program's icon.
#include <QIcon>
#include <QSize>
#include <QString>
#include <cstdint>

class QWidget;

namespace quillow {

constexpr int kTwipsPerPixel = 15;
// Minimum client sizes in twips.
constexpr QSize kMainMinClientTwips{5820, 5760};
constexpr QSize kViewerMinClientTwips{2880, 2595};

// Twips to logical pixels, rounded to the nearest pixel (halves to even).
int twipsToPixel(double twips);
QSize twipsToPixels(QSize twips);

// A stored window size is the outer one, frame included, but Qt sizes a
// window by its client area and the frame is known only once the window
// system has decorated the window. frameExtent is what the frame adds to the
// client size (nothing before then). settleOuterSize gives a visible window
// the client size that makes its outer size pendingOuter once the frame is
// known, and then clears pendingOuter; while pendingOuter is empty, the
// window is hidden or its frame is still unknown it does nothing and returns
// false.
QSize frameExtent(const QWidget* window);
bool settleOuterSize(QWidget* window, QSize& pendingOuter);

// Installs the minimum client size on window, or the size its layout needs
// where that is larger, so no control is ever cut off. In a debug run
// ("DEBUG_MODE") nothing is installed and false is returned: the layout's own
// minimum still holds.
bool setMinimumClientSize(QWidget* window, QSize minClientTwips, bool debugMode = false);
// Restores the minimum size the window had before setMinimumClientSize;
// nothing when it has none of ours.
void restoreMinimumSize(QWidget* window);

// The program's icon at 16, 24, 32 and 48 pixels.
QIcon programIcon();
// Sets the program's icon on window and, when toOwner is set, on the window
// at the top of its owner chain (the window itself when it has no owner).
void applyWindowIcon(QWidget* window, bool toOwner);

// Picture of a left-column button ("open", "stop", "save", "select", "view",
// "options", "about").
QIcon buttonIcon(const QString& name);

// Path of a bundled resource file such as "Help.html" (":/..." form).
QString resourcePath(const QString& name);

// Registers the bundled resources; needed once because they live in a static
// library. Every function above calls it.
void registerResources();

}  // namespace quillow

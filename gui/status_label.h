#pragma once
// The main window's status text. The scan summary keeps its wide blanks and
// is longer than the status bar at the window's default size in the usual
// fonts, so a text too wide for the label is set in a smaller font, down to
// kSmallestStatusPoints; a text that still does not fit is cut at the edge.
// Whenever the text is not shown at full size, its tool tip holds it whole.
#include <QLabel>

namespace quillow {

inline constexpr double kSmallestStatusPoints = 7.0;

class StatusLabel : public QLabel {
public:
    explicit StatusLabel(QWidget* parent = nullptr);

    void setStatusText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitText();
};

}  // namespace quillow

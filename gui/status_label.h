#pragma once
// The main window's status text. The scan summary keeps its wide blanks and
// is longer than the status bar at the window's default size in the usual
// fonts, so a text too wide for the label is set in a smaller font, down to
// kSmallestStatusPoints; a text that still does not fit loses the middle of
// its path (or its end, when it names none) to "…". Whenever the text is not
// shown whole at full size, its tool tip holds it whole.
#include <QLabel>

namespace quillow {

inline constexpr double kSmallestStatusPoints = 7.0;

// text cut to width: the middle of its path goes first (a path starts with
// "/" at the start of the text or after a blank, and runs to its last ": "
// or the end), else its end.
QString elideStatus(const QString& text, const QFontMetrics& metrics, int width);

class StatusLabel : public QLabel {
public:
    explicit StatusLabel(QWidget* parent = nullptr);

    void setStatusText(const QString& text);
    QString statusText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitText();

    QString full_;
};

}  // namespace quillow

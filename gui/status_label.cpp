#include "gui/status_label.h"

#include <QApplication>
#include <QFontMetrics>
#include <algorithm>

namespace quillow {

namespace {

// The font the label has when nothing is shrunk: its parent's.
QFont fullSizeFont(const QWidget* label)
{
    return label->parentWidget() ? label->parentWidget()->font() : QApplication::font();
}

}  // namespace

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    // A long text is cut at the window's edge instead of widening the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // The bar keeps its height while the font shrinks.
    setMinimumHeight(QFontMetrics(fullSizeFont(this)).height());
}

void StatusLabel::setStatusText(const QString& text)
{
    setText(text);
    fitText();
}

void StatusLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fitText();
}

void StatusLabel::fitText()
{
    const QFont full = fullSizeFont(this);
    QFont font = full;
    const int room = contentsRect().width() - 2 * margin();
    const int needed = QFontMetrics(full).horizontalAdvance(text());
    const bool tooWide = room > 0 && needed > room;
    const double fullPoints = full.pointSizeF();
    if (tooWide && fullPoints > kSmallestStatusPoints) {
        // Widths do not scale exactly with the size: step down until it fits.
        double points = std::max(kSmallestStatusPoints, fullPoints * room / needed);
        font.setPointSizeF(points);
        while (points > kSmallestStatusPoints && QFontMetrics(font).horizontalAdvance(text()) > room) {
            points = std::max(kSmallestStatusPoints, points - 0.25);
            font.setPointSizeF(points);
        }
    }
    if (font != this->font())
        setFont(font);
    setToolTip(tooWide ? text() : QString());
}

}  // namespace quillow

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

const QChar kEllipsis(0x2026);

}  // namespace

QString elideStatus(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    qsizetype start = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'/' && (i == 0 || text[i - 1].isSpace())) {
            start = i;
            break;
        }
    }
    if (start >= 0) {
        qsizetype end = text.lastIndexOf(QStringLiteral(": "));
        if (end <= start)
            end = text.size();
        const QString before = text.left(start), path = text.mid(start, end - start), after = text.mid(end);
        // The longest path cut that fits: as many characters kept on either side.
        qsizetype lo = 0, hi = path.size() - 1;
        QString best;
        while (lo <= hi) {
            const qsizetype keep = (lo + hi) / 2;
            const qsizetype head = (keep + 1) / 2, tail = keep / 2;
            const QString candidate = before + path.left(head) + kEllipsis + path.right(tail) + after;
            if (metrics.horizontalAdvance(candidate) <= width) {
                best = candidate;
                lo = keep + 1;
            } else {
                hi = keep - 1;
            }
        }
        if (!best.isEmpty())
            return best;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

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
    full_ = text;
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
    const int needed = QFontMetrics(full).horizontalAdvance(full_);
    const bool tooWide = room > 0 && needed > room;
    const double fullPoints = full.pointSizeF();
    if (tooWide && fullPoints > kSmallestStatusPoints) {
        // Widths do not scale exactly with the size: step down until it fits.
        double points = std::max(kSmallestStatusPoints, fullPoints * room / needed);
        font.setPointSizeF(points);
        while (points > kSmallestStatusPoints && QFontMetrics(font).horizontalAdvance(full_) > room) {
            points = std::max(kSmallestStatusPoints, points - 0.25);
            font.setPointSizeF(points);
        }
    }
    if (font != this->font())
        setFont(font);
    setText(tooWide ? elideStatus(full_, QFontMetrics(font), room) : full_);
    setToolTip(tooWide ? full_ : QString());
}

}  // namespace quillow

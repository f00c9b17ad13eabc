#include "gui/progress_bar.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillow {

namespace {

// Rectangle with exclusive right and bottom edges, as the fill arithmetic wants.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
};

int roundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

void fill(QPainter& painter, const Rect& r, QPalette::ColorRole role, const QPalette& palette)
{
    if (role != QPalette::NoRole && !r.isEmpty())
        painter.fillRect(r.toQRect(), palette.color(role));
}

// Horizontal run of pixels x0..x1-1 on row y, vertical run y0..y1-1 on column x.
void hline(QPainter& painter, int x0, int x1, int y, const QColor& c)
{
    if (x1 > x0)
        painter.fillRect(QRect(x0, y, x1 - x0, 1), c);
}
void vline(QPainter& painter, int x, int y0, int y1, const QColor& c)
{
    if (y1 > y0)
        painter.fillRect(QRect(x, y0, 1, y1 - y0), c);
}

// Line ends are exclusive, so the corners go to whichever line reaches them.
void drawBorder(QPainter& painter, const Rect& r, bool raised, const QPalette& palette)
{
    if (r.isEmpty())
        return;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    if (raised) {
        vline(painter, r.left, r.top + 1, r.bottom - 1, light);
        hline(painter, r.left, r.right - 1, r.top, light);
        vline(painter, r.right - 1, r.top, r.bottom - 1, dark);
        hline(painter, r.left, r.right, r.bottom - 1, dark);
    } else {
        vline(painter, r.left, r.top + 1, r.bottom, dark);
        hline(painter, r.left, r.right, r.top, dark);
        vline(painter, r.right - 1, r.top + 1, r.bottom - 1, light);
        hline(painter, r.left + 1, r.right, r.bottom - 1, light);
    }
}

}  // namespace

ProgressBar::ProgressBar(QObject* parent) : QObject(parent) {}

ProgressBar::~ProgressBar()
{
    if (widget_)
        widget_->removeEventFilter(this);
}

double ProgressBar::fraction() const
{
    // An empty range would divide by zero; it shows as an empty bar.
    if (maximum_ == minimum_)
        return 0.0;
    const double f = (double(value_) - double(minimum_)) / (double(maximum_) - double(minimum_));
    return std::clamp(f, 0.0, 1.0);
}

void ProgressBar::setMinimum(int32_t minimum)
{
    minimum_ = minimum;
    repaintWidget();
}

void ProgressBar::setMaximum(int32_t maximum)
{
    maximum_ = maximum;
    repaintWidget();
}

void ProgressBar::setValue(int32_t value)
{
    value_ = value;
    repaintWidget();
}

void ProgressBar::setBackgroundRole(QPalette::ColorRole role)
{
    backgroundRole_ = role;
    repaintWidget();
}

void ProgressBar::setBarRole(QPalette::ColorRole role)
{
    barRole_ = role;
    repaintWidget();
}

void ProgressBar::setBorderStyle(BorderStyle style)
{
    borderStyle_ = style;
    repaintWidget();
}

void ProgressBar::setWidget(QWidget* widget)
{
    if (widget_)
        widget_->removeEventFilter(this);
    widget_ = widget;
    if (widget)
        widget->installEventFilter(this);
    repaintWidget();
}

void ProgressBar::repaintWidget()
{
    QWidget* widget = widget_;
    if (!widget)
        return;
    if (widget->testAttribute(Qt::WA_WState_InPaintEvent)) {
        // Called from the widget's own paint handler: paint right here.
        paint(widget);
        return;
    }
    widget->repaint();  // synchronous; the event filter below does the painting
}

bool ProgressBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget_ && event->type() == QEvent::Paint)
        paint(widget_);
    return QObject::eventFilter(watched, event);
}

void ProgressBar::paint(QWidget* widget)
{
    ++paintCount_;
    // The client area: inside a frame's border when the widget has one.
    const QRect client = widget->contentsRect();
    const int clientRight = client.left() + client.width(), clientBottom = client.top() + client.height();
    const QPoint origin(std::min(client.left(), clientRight), std::min(client.top(), clientBottom));
    const Rect outer{0, 0, std::abs(client.width()), std::abs(client.height())};
    const bool horizontal = outer.height() < outer.width();  // a square area is vertical
    const QPalette palette = widget->palette();
    // Straight onto the widget: Qt's backing store already keeps this from
    // flickering. The fill is worked out from the client area's corner, as
    // halves round to even and must round alike wherever the area lies.
    QPainter painter(widget);
    painter.translate(origin);

    fill(painter, outer, backgroundRole_, palette);

    // The content lies inside the border.
    Rect content = outer;
    if (borderStyle_ != BorderStyle::None)
        content = Rect{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};

    const double f = fraction();
    Rect filled = content;
    if (horizontal)
        filled.right = roundHalfEven(f * content.width() + content.left);
    else
        filled.top = roundHalfEven((1.0 - f) * content.height() + content.top);
    fill(painter, filled, barRole_, palette);

    if (borderStyle_ == BorderStyle::Sunken)
        drawBorder(painter, outer, false, palette);
    else if (borderStyle_ == BorderStyle::Raised)
        drawBorder(painter, content, true, palette);
}

}  // namespace quillow

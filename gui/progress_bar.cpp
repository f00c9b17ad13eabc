#include "gui/progress_bar.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionProgressBar>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillow {

namespace {

// GDI-style rectangle: right and bottom are exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
};

// Resolution of the style's progress drawing; the classic path works on the
// exact fraction instead.
constexpr int kThemeScale = 1'000'000;
// Block and gap of the classic segmented bar, in pixels.
constexpr int kSegmentChunk = 8;
constexpr int kSegmentSpace = 2;

// System colours by their classic index. 25 and 31 name nothing.
std::optional<QColor> systemColor(int index, const QPalette& pal)
{
    switch (index) {
    case 0: return pal.color(QPalette::Button);                            // scroll bar
    case 1: return pal.color(QPalette::Dark);                              // desktop
    case 2: return pal.color(QPalette::Highlight);                         // active caption
    case 3: return pal.color(QPalette::Mid);                               // inactive caption
    case 4: return pal.color(QPalette::Window);                            // menu
    case 5: return pal.color(QPalette::Base);                              // window
    case 6: return pal.color(QPalette::Shadow);                            // window frame
    case 7: return pal.color(QPalette::WindowText);                        // menu text
    case 8: return pal.color(QPalette::Text);                              // window text
    case 9: return pal.color(QPalette::HighlightedText);                   // caption text
    case 10: return pal.color(QPalette::Window);                           // active border
    case 11: return pal.color(QPalette::Window);                           // inactive border
    case 12: return pal.color(QPalette::Mid);                              // application workspace
    case 13: return pal.color(QPalette::Highlight);                        // highlight
    case 14: return pal.color(QPalette::HighlightedText);                  // highlighted text
    case 15: return pal.color(QPalette::Button);                           // button face
    case 16: return pal.color(QPalette::Dark);                             // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);         // grey text
    case 18: return pal.color(QPalette::ButtonText);                       // button text
    case 19: return pal.color(QPalette::Inactive, QPalette::WindowText);   // inactive caption text
    case 20: return pal.color(QPalette::Light);                            // button highlight
    case 21: return pal.color(QPalette::Shadow);                           // 3-D dark shadow
    case 22: return pal.color(QPalette::Midlight);                         // 3-D light
    case 23: return pal.color(QPalette::ToolTipText);                      // tool-tip text
    case 24: return pal.color(QPalette::ToolTipBase);                      // tool-tip background
    case 26: return pal.color(QPalette::Link);                             // hot-tracked item
    case 27: return pal.color(QPalette::Highlight);                        // caption gradient
    case 28: return pal.color(QPalette::Mid);                              // inactive caption gradient
    case 29: return pal.color(QPalette::Highlight);                        // menu highlight
    case 30: return pal.color(QPalette::Window);                           // menu bar
    default: return std::nullopt;
    }
}

QColor fromBgr(uint32_t v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int roundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

void fill(QPainter& dc, const Rect& r, const std::optional<QColor>& color)
{
    if (color && !r.isEmpty())
        dc.fillRect(r.toQRect(), *color);
}

// Horizontal run of pixels x0..x1-1 on row y, vertical run y0..y1-1 on column x.
void hline(QPainter& dc, int x0, int x1, int y, const QColor& c)
{
    if (x1 > x0)
        dc.fillRect(QRect(x0, y, x1 - x0, 1), c);
}
void vline(QPainter& dc, int x, int y0, int y1, const QColor& c)
{
    if (y1 > y0)
        dc.fillRect(QRect(x, y0, 1, y1 - y0), c);
}

// One ring of a 3-D edge: topLeft colours the top row and left column,
// bottomRight the bottom row and right column (which own the corners they share).
void edgeRing(QPainter& dc, const Rect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.isEmpty())
        return;
    hline(dc, r.left, r.right - 1, r.top, topLeft);
    vline(dc, r.left, r.top, r.bottom - 1, topLeft);
    hline(dc, r.left, r.right, r.bottom - 1, bottomRight);
    vline(dc, r.right - 1, r.top, r.bottom - 1, bottomRight);
}

enum class BorderKind { Flat, Lines, Edge };

void DrawBorder(QPainter& dc, BorderKind kind, const Rect& r, bool raised, const QPalette& pal)
{
    if (r.isEmpty())
        return;
    const QColor light = pal.color(QPalette::Light);        // button highlight
    const QColor midlight = pal.color(QPalette::Midlight);  // 3-D light
    const QColor dark = pal.color(QPalette::Dark);          // button shadow
    const QColor shadow = pal.color(QPalette::Shadow);      // 3-D dark shadow
    switch (kind) {
    case BorderKind::Flat:
        edgeRing(dc, r, Qt::black, Qt::black);
        break;
    case BorderKind::Lines:
        // Line ends are exclusive, as with the classic line drawing.
        if (raised) {
            vline(dc, r.left, r.top + 1, r.bottom - 1, light);
            hline(dc, r.left, r.right - 1, r.top, light);
            vline(dc, r.right - 1, r.top, r.bottom - 1, dark);
            hline(dc, r.left, r.right, r.bottom - 1, dark);
        } else {
            vline(dc, r.left, r.top + 1, r.bottom, dark);
            hline(dc, r.left, r.right, r.top, dark);
            vline(dc, r.right - 1, r.top + 1, r.bottom - 1, light);
            hline(dc, r.left + 1, r.right, r.bottom - 1, light);
        }
        break;
    case BorderKind::Edge: {
        const Rect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        if (raised) {
            edgeRing(dc, r, light, shadow);
            edgeRing(dc, inner, midlight, dark);
        } else {
            edgeRing(dc, r, shadow, light);
            edgeRing(dc, inner, dark, midlight);
        }
        break;
    }
    }
}

int mod(int a, int m)
{
    const int r = a % m;
    return r < 0 ? r + m : r;
}

// Covers (x, y, w, h) with copies of the source, starting inside the source
// at the given offsets.
void TileBitmap(QPainter& dc, int x, int y, int w, int h, const pcMemDC& source, int sourceWidth, int sourceHeight,
                int offsetX, int offsetY)
{
    if (h <= 0 || w <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    int srcY = mod(y + offsetY, sourceHeight);
    int rowHeight = sourceHeight - srcY;
    for (int row = y; row < y + h; row += rowHeight, srcY = 0, rowHeight = sourceHeight) {
        rowHeight = std::min(rowHeight, y + h - row);
        int srcX = mod(x + offsetX, sourceWidth);
        int tileWidth = sourceWidth - srcX;
        for (int col = x; col < x + w; col += tileWidth, srcX = 0, tileWidth = sourceWidth) {
            tileWidth = std::min(tileWidth, x + w - col);
            source.Draw(dc, srcX, srcY, tileWidth, rowHeight, col, row);
        }
    }
}

void coverWithPicture(QPainter& dc, const Rect& area, const pcMemDC& picture, int32_t mode)
{
    const QPainter::CompositionMode before = dc.compositionMode();
    dc.setCompositionMode(QPainter::CompositionMode_Source);
    if (mode == cProgressBar::PictureTile) {
        // Tiles line up with the area's corner, wherever the area lies.
        dc.save();
        dc.translate(area.left, area.top);
        TileBitmap(dc, 0, 0, area.width(), area.height(), picture, picture.Width(), picture.Height(), 0, 0);
        dc.restore();
    } else {
        dc.drawPixmap(area.toQRect(), picture.pixmap());
    }
    dc.setCompositionMode(before);
}

Qt::Alignment alignmentFlags(int32_t alignX, int32_t alignY)
{
    Qt::Alignment flags;
    flags |= alignX == cProgressBar::AlignNear ? Qt::AlignLeft
             : alignX == cProgressBar::AlignFar ? Qt::AlignRight
                                                : Qt::AlignHCenter;
    flags |= alignY == cProgressBar::AlignNear ? Qt::AlignTop
             : alignY == cProgressBar::AlignFar ? Qt::AlignBottom
                                                : Qt::AlignVCenter;
    return flags;
}

}  // namespace

std::optional<QColor> oleFillColor(int32_t oleColor, const QPalette& palette)
{
    if (oleColor < 0)
        return systemColor(oleColor & 31, palette);
    return fromBgr(static_cast<uint32_t>(oleColor));
}

std::optional<QColor> oleTextColor(int32_t oleColor, const QPalette& palette)
{
    const uint32_t v = static_cast<uint32_t>(oleColor);
    switch (v >> 24) {
    case 0x00:  // RGB
    case 0x02:  // palette-relative RGB
        return fromBgr(v);
    case 0x80:  // system colour
        return (v & 0xFFFFFF) < 31 ? systemColor(int(v & 0xFFFFFF), palette) : std::nullopt;
    default:
        return std::nullopt;
    }
}

cProgressBar::cProgressBar(QObject* parent) : QObject(parent), font_(QStringLiteral("Tahoma"))
{
    font_.setPointSize(8);
    font_.setStyleHint(QFont::SansSerif);
}

cProgressBar::~cProgressBar()
{
    if (drawObject_)
        drawObject_->removeEventFilter(this);
}

double cProgressBar::fraction() const
{
    // An empty range would divide by zero; it shows as an empty bar.
    if (max_ == min_)
        return 0.0;
    const double f = (double(value_) - double(min_)) / (double(max_) - double(min_));
    return std::clamp(f, 0.0, 1.0);
}

double cProgressBar::Percent() const
{
    return fraction() * 100.0;
}

// Each setter stores its value and repaints at once.
#define QUILLOW_SETTER(name, member, type) \
    void cProgressBar::name(type v)        \
    {                                      \
        member = v;                        \
        Draw();                            \
    }
QUILLOW_SETTER(setMin, min_, int32_t)
QUILLOW_SETTER(setMax, max_, int32_t)
QUILLOW_SETTER(setValue, value_, int32_t)
QUILLOW_SETTER(setText, text_, const QString&)
QUILLOW_SETTER(setShowText, showText_, int16_t)
QUILLOW_SETTER(setSegments, segments_, int16_t)
QUILLOW_SETTER(setXpStyle, xpStyle_, int16_t)
QUILLOW_SETTER(setTextAlignX, textAlignX_, int32_t)
QUILLOW_SETTER(setTextAlignY, textAlignY_, int32_t)
QUILLOW_SETTER(setBorderStyle, borderStyle_, int32_t)
QUILLOW_SETTER(setAppearance, appearance_, int32_t)
QUILLOW_SETTER(setBackColor, backColor_, int32_t)
QUILLOW_SETTER(setForeColor, foreColor_, int32_t)
QUILLOW_SETTER(setBarColor, barColor_, int32_t)
QUILLOW_SETTER(setBarForeColor, barForeColor_, int32_t)
QUILLOW_SETTER(setFont, font_, const QFont&)
QUILLOW_SETTER(setBarPictureMode, barPictureMode_, int32_t)
QUILLOW_SETTER(setBackPictureMode, backPictureMode_, int32_t)
#undef QUILLOW_SETTER

void cProgressBar::setDrawObject(QWidget* widget)
{
    if (drawObject_)
        drawObject_->removeEventFilter(this);
    drawObject_ = widget;
    if (widget)
        widget->installEventFilter(this);
    Draw();
}

void cProgressBar::setPicture(const QImage& picture)
{
    SetPictureObject(backPicture_, QPixmap::fromImage(picture));
}
void cProgressBar::setPicture(const QPixmap& picture)
{
    SetPictureObject(backPicture_, picture);
}
void cProgressBar::setBarPicture(const QImage& picture)
{
    SetPictureObject(barPicture_, QPixmap::fromImage(picture));
}
void cProgressBar::setBarPicture(const QPixmap& picture)
{
    SetPictureObject(barPicture_, picture);
}

void cProgressBar::SetPictureObject(std::unique_ptr<pcMemDC>& slot, const QPixmap& picture)
{
    if (picture.isNull()) {
        slot.reset();
    } else {
        slot = std::make_unique<pcMemDC>();
        slot->CreateFromPicture(picture);
        if (slot->isEmpty())
            slot.reset();
    }
    Draw();
}

void cProgressBar::Draw()
{
    QWidget* widget = drawObject_;
    if (!widget)
        return;
    if (widget->testAttribute(Qt::WA_WState_InPaintEvent)) {
        // Called from the widget's own paint handler: paint right here.
        paintClientArea(widget);
        return;
    }
    widget->repaint();  // synchronous; the event filter below does the painting
}

bool cProgressBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == drawObject_ && event->type() == QEvent::Paint)
        paintClientArea(drawObject_);
    return QObject::eventFilter(watched, event);
}

void cProgressBar::paintClientArea(QWidget* widget)
{
    // The client area: inside a frame's border when the widget has one.
    QPainter painter(widget);
    const QRect r = widget->contentsRect();
    paintInto(widget, painter, r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

void cProgressBar::DrawToDC(QWidget* themeWidget, QPaintDevice* device, int lLeft, int lTop, int lRight, int lBottom)
{
    if (!device)
        return;
    QPainter painter(device);
    if (!painter.isActive())
        return;
    paintInto(themeWidget, painter, lLeft, lTop, lRight, lBottom);
}

void cProgressBar::DrawToPainter(QWidget* themeWidget, QPainter& painter, int lLeft, int lTop, int lRight,
                                 int lBottom)
{
    paintInto(themeWidget, painter, lLeft, lTop, lRight, lBottom);
}

void cProgressBar::paintInto(QWidget* themeWidget, QPainter& target, int lLeft, int lTop, int lRight, int lBottom)
{
    ++paintCount_;
    const Rect area{std::min(lLeft, lRight), std::min(lTop, lBottom), std::max(lLeft, lRight),
                    std::max(lTop, lBottom)};
    const int width = area.width();
    const int height = area.height();
    const bool horizontal = height < width;  // a square area is vertical
    const QPalette palette = themeWidget ? themeWidget->palette() : QApplication::palette();
    QStyle* style = themeWidget ? themeWidget->style() : QApplication::style();

    // Draw into the back buffer when one can be had, else straight onto the target.
    const qreal ratio = target.device() ? target.device()->devicePixelRatio() : 1.0;
    QPaintDevice* buffer = backBuffer_.hDC(width, height, ratio);
    QPainter bufferPainter;
    Rect r = area;
    if (buffer && bufferPainter.begin(buffer)) {
        r = Rect{0, 0, width, height};
        // The buffer outlives this call: clear what an earlier paint left there,
        // so that a part this paint leaves alone stays as the target had it.
        bufferPainter.setCompositionMode(QPainter::CompositionMode_Source);
        bufferPainter.fillRect(r.toQRect(), Qt::transparent);
        bufferPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else {
        buffer = nullptr;
    }
    QPainter& dc = buffer ? bufferPainter : target;
    const Rect outer = r;

    const double f = fraction();
    const bool textShown = !text_.isEmpty() && showText_ != 0;
    const Qt::Alignment align = alignmentFlags(textAlignX_, textAlignY_);
    const bool themed = !backPicture_ && xpStyle_ != 0 && style;

    if (backPicture_)
        coverWithPicture(dc, outer, *backPicture_, backPictureMode_);

    if (themed) {
        // The style draws groove, fill, its own chunks and frame, and the text.
        QStyleOptionProgressBar opt;
        if (themeWidget)
            opt.initFrom(themeWidget);
        else
            opt.palette = palette;
        opt.rect = outer.toQRect();
        opt.state |= QStyle::State_Enabled;
        if (horizontal)
            opt.state |= QStyle::State_Horizontal;
        else
            opt.state &= ~QStyle::State_Horizontal;
        opt.minimum = 0;
        opt.maximum = kThemeScale;
        opt.progress = roundHalfEven(f * kThemeScale);
        opt.text = text_;
        opt.textVisible = textShown;
        opt.textAlignment = align;
        opt.bottomToTop = true;
        opt.fontMetrics = QFontMetrics(font_);
        dc.setFont(font_);
        if (!barPicture_) {
            style->drawControl(QStyle::CE_ProgressBar, &opt, &dc, themeWidget);
        } else {
            style->drawControl(QStyle::CE_ProgressBarGroove, &opt, &dc, themeWidget);
            const QRect c = style->subElementRect(QStyle::SE_ProgressBarContents, &opt, themeWidget);
            Rect fillRect{c.left(), c.top(), c.left() + c.width(), c.top() + c.height()};
            if (horizontal)
                fillRect.right = roundHalfEven(f * c.width() + c.left());
            else
                fillRect.top = roundHalfEven((1.0 - f) * c.height() + c.top());
            if (!fillRect.isEmpty()) {
                dc.save();
                dc.setClipRect(fillRect.toQRect());
                coverWithPicture(dc, outer, *barPicture_, barPictureMode_);
                dc.restore();
            }
            if (textShown)
                style->drawControl(QStyle::CE_ProgressBarLabel, &opt, &dc, themeWidget);
        }
    } else {
        if (!backPicture_)
            fill(dc, outer, oleFillColor(backColor_, palette));

        // Border room: the content lies inside the border.
        Rect content = outer;
        if (borderStyle_ > 0) {
            const int inset = appearance_ == AppearanceSoft3D ? 2 : 1;
            content = Rect{outer.left + inset, outer.top + inset, outer.right - inset, outer.bottom - inset};
        }

        const QString shownText = QLatin1Char(' ') + text_ + QLatin1Char(' ');
        const QColor defaultText = Qt::black;
        if (textShown) {
            dc.setFont(font_);
            dc.setPen(oleTextColor(foreColor_, palette).value_or(defaultText));
            dc.drawText(content.toQRect(), int(align | Qt::TextSingleLine), shownText);
        }

        Rect filled = content;
        if (horizontal)
            filled.right = roundHalfEven(f * content.width() + content.left);
        else
            filled.top = roundHalfEven((1.0 - f) * content.height() + content.top);

        const int step = kSegmentChunk + kSegmentSpace;
        if (segments_) {
            // Whole blocks only; C++ % keeps the dividend's sign, so a vertical
            // bar's top moves down towards the bottom.
            if (horizontal)
                filled.right = std::max(filled.right - (filled.right - filled.left) % step, content.left);
            else
                filled.top = std::min(filled.top - (filled.top - filled.bottom) % step, content.bottom);
        }

        if (!filled.isEmpty()) {
            dc.save();
            dc.setClipRect(filled.toQRect());
            if (barPicture_)
                coverWithPicture(dc, outer, *barPicture_, barPictureMode_);
            else
                fill(dc, filled, oleFillColor(barColor_, palette));

            if (segments_) {
                const std::optional<QColor> gap = oleFillColor(backColor_, palette);
                if (horizontal) {
                    for (int x = filled.left + kSegmentChunk; x <= filled.right; x += step)
                        fill(dc, Rect{x, content.top, x + kSegmentSpace, content.bottom}, gap);
                } else {
                    for (int y = filled.bottom; y >= filled.top + kSegmentChunk; y -= step)
                        fill(dc, Rect{content.left, y, content.right, y + kSegmentSpace}, gap);
                }
            }

            if (textShown) {
                // Over the fill the text takes the bar's text colour.
                dc.setFont(font_);
                dc.setPen(oleTextColor(barForeColor_, palette).value_or(defaultText));
                dc.drawText(content.toQRect(), int(align | Qt::TextSingleLine), shownText);
            }
            dc.restore();
        }

        switch (borderStyle_) {
        case BorderSunken:
            if (appearance_ == AppearanceFlat)
                DrawBorder(dc, BorderKind::Flat, outer, false, palette);
            else if (appearance_ == Appearance3D)
                DrawBorder(dc, BorderKind::Lines, outer, false, palette);
            else if (appearance_ == AppearanceSoft3D)
                DrawBorder(dc, BorderKind::Edge, outer, false, palette);
            break;
        case BorderRaised:
            if (appearance_ == AppearanceFlat)
                DrawBorder(dc, BorderKind::Flat, outer, true, palette);
            else if (appearance_ == Appearance3D)
                DrawBorder(dc, BorderKind::Lines, content, true, palette);
            else if (appearance_ == AppearanceSoft3D)
                DrawBorder(dc, BorderKind::Edge, outer, true, palette);
            break;
        default:
            break;
        }
    }

    if (buffer) {
        bufferPainter.end();
        backBuffer_.Draw(target, 0, 0, width, height, area.left, area.top);
    }
}

}  // namespace quillow

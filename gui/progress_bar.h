#pragma once
// cProgressBar: a self-drawn progress bar. Not a widget of its own: it paints
// into the client area of any widget given as DrawObject (through an
// off-screen surface, so there is no flicker), or into any paint device with
// DrawToDC. The classic look is drawn here: background, fill, optional 8-pixel
// blocks with 2-pixel gaps, optional two-colour text, optional border. With
// XpStyle on, the widget style's progress bar is drawn instead.
//
// Colours are OLE colours: a value >= 0 is 0x00BBGGRR; a negative value names
// a system colour by its low five bits (0x8000000F = button face), taken from
// the palette of the draw object. -1 names no colour: a fill with it paints
// nothing, which is why the defaults of BackColor and BarColor draw nothing.
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "gui/offscreen_surface.h"

class QImage;
class QPainter;
class QPaintDevice;
class QPixmap;

namespace quillow {

// OLE colour values of the system colours the program uses.
namespace ole {
constexpr int32_t kNoColor = -1;
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000Fu);
constexpr int32_t kHighlight = static_cast<int32_t>(0x8000000Du);
constexpr int32_t kButtonShadow = static_cast<int32_t>(0x80000010u);
constexpr int32_t kButtonHighlight = static_cast<int32_t>(0x80000014u);
constexpr int32_t kWindowText = static_cast<int32_t>(0x80000008u);
constexpr int32_t rgb(int r, int g, int b) { return (b << 16) | (g << 8) | r; }
}  // namespace ole

// The fill colour an OLE colour stands for; nullopt when it names no colour
// (system colours 25 and 31 do not exist). System colours come from palette.
std::optional<QColor> oleFillColor(int32_t oleColor, const QPalette& palette);
// The text colour an OLE colour translates to; a colour that cannot be
// translated gives nullopt.
std::optional<QColor> oleTextColor(int32_t oleColor, const QPalette& palette);

class cProgressBar : public QObject {
    Q_OBJECT
public:
    enum BorderStyleValue : int32_t { BorderNone = 0, BorderSunken = 1, BorderRaised = 2 };
    enum AppearanceValue : int32_t { AppearanceFlat = 0, Appearance3D = 1, AppearanceSoft3D = 2 };
    enum AlignValue : int32_t { AlignNear = 0, AlignCentre = 1, AlignFar = 2 };
    enum PictureModeValue : int32_t { PictureStretch = 0, PictureTile = 1 };

    explicit cProgressBar(QObject* parent = nullptr);
    ~cProgressBar() override;

    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    int32_t Value() const { return value_; }
    void setMin(int32_t lMin);
    void setMax(int32_t lMax);
    void setValue(int32_t lValue);
    // (Value - Min) / (Max - Min), limited to 0..1, times 100. An empty
    // range (Max = Min) counts as 0 %.
    double Percent() const;

    QString Text() const { return text_; }
    void setText(const QString& sText);
    int16_t ShowText() const { return showText_; }
    void setShowText(int16_t bState);
    int16_t Segments() const { return segments_; }
    void setSegments(int16_t bState);
    int16_t XpStyle() const { return xpStyle_; }
    void setXpStyle(int16_t bState);
    int32_t TextAlignX() const { return textAlignX_; }
    void setTextAlignX(int32_t eAlign);
    int32_t TextAlignY() const { return textAlignY_; }
    void setTextAlignY(int32_t eAlign);
    int32_t BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int32_t eStyle);
    int32_t Appearance() const { return appearance_; }
    void setAppearance(int32_t eAppearance);
    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t oColor);
    int32_t ForeColor() const { return foreColor_; }
    void setForeColor(int32_t oColor);
    int32_t BarColor() const { return barColor_; }
    void setBarColor(int32_t oColor);
    int32_t BarForeColor() const { return barForeColor_; }
    void setBarForeColor(int32_t oColor);
    QFont Font() const { return font_; }
    void setFont(const QFont& font);
    QWidget* DrawObject() const { return drawObject_; }
    // The bar paints itself whenever the widget paints; Draw() repaints it.
    void setDrawObject(QWidget* widget);
    // A null picture drops the one set before.
    void setPicture(const QImage& picture);
    void setPicture(const QPixmap& picture);
    void setBarPicture(const QImage& picture);
    void setBarPicture(const QPixmap& picture);
    int32_t BarPictureMode() const { return barPictureMode_; }
    void setBarPictureMode(int32_t eMode);
    int32_t BackPictureMode() const { return backPictureMode_; }
    void setBackPictureMode(int32_t eMode);
    QString Tag() const { return tag_; }
    void setTag(const QString& sTag) { tag_ = sTag; }  // never drawn, so no repaint

    // Repaints DrawObject's client area (its contentsRect, so a QFrame keeps
    // its border) at once; nothing without one, or while it is hidden.
    void Draw();
    // Paints the whole bar into the rectangle (left, top, right, bottom; right
    // and bottom exclusive) of device. themeWidget supplies style and palette
    // (the application's when null).
    void DrawToDC(QWidget* themeWidget, QPaintDevice* device, int lLeft, int lTop, int lRight, int lBottom);
    // The same onto a painter that is already active.
    void DrawToPainter(QWidget* themeWidget, QPainter& painter, int lLeft, int lTop, int lRight, int lBottom);

    // How many times the bar has painted itself; lets owners and tests see
    // that a property write repainted.
    int paintCount() const { return paintCount_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double fraction() const;
    void paintClientArea(QWidget* widget);
    void SetPictureObject(std::unique_ptr<pcMemDC>& slot, const QPixmap& picture);
    void paintInto(QWidget* themeWidget, QPainter& target, int lLeft, int lTop, int lRight, int lBottom);

    QPointer<QWidget> drawObject_;
    pcMemDC backBuffer_;
    std::unique_ptr<pcMemDC> backPicture_;
    std::unique_ptr<pcMemDC> barPicture_;
    int32_t appearance_ = Appearance3D;
    int32_t borderStyle_ = BorderSunken;
    QFont font_;
    int32_t backColor_ = ole::kNoColor;
    int32_t foreColor_ = 0;
    int32_t barColor_ = ole::kNoColor;
    int32_t barForeColor_ = 0xFFFFFF;
    int32_t barPictureMode_ = PictureTile;
    int32_t backPictureMode_ = PictureTile;
    int32_t min_ = 0;
    int32_t max_ = 100;
    int32_t value_ = 0;
    int32_t textAlignX_ = AlignCentre;
    int32_t textAlignY_ = AlignCentre;
    int16_t showText_ = 0;
    QString text_;
    int16_t segments_ = 0;
    int16_t xpStyle_ = 0;
    QString tag_;
    int paintCount_ = 0;
};

}  // namespace quillow

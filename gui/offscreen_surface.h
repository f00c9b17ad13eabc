#pragma once
// pcMemDC: an off-screen drawing surface (a QPixmap) used for flicker-free
// painting. Sizes are in logical pixels; the surface may carry a device pixel
// ratio so that it stays sharp on high-density screens.
#include <QPixmap>

class QImage;
class QPainter;
class QPaintDevice;

namespace quillow {

class pcMemDC {
public:
    pcMemDC() = default;
    pcMemDC(const pcMemDC&) = delete;
    pcMemDC& operator=(const pcMemDC&) = delete;

    // The surface for drawing an area of the given size, grown when it is
    // smaller than asked in either direction (then re-created at exactly the
    // requested size); nullptr when there is no surface. A surface with a
    // different pixel ratio is re-created too.
    QPaintDevice* hDC(int width, int height, qreal pixelRatio = 1.0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Records the value and makes sure a surface of Width x Height exists
    // (an existing, big enough surface is left as it is).
    void setWidth(int width);
    void setHeight(int height);

    // Plain copy of widthSrc x heightSrc pixels from (xSrc, ySrc) of the
    // surface to (xDst, yDst) of the painter's device. A width or height
    // below 1 means the surface's own.
    void Draw(QPainter& dst, int xSrc, int ySrc, int widthSrc, int heightSrc, int xDst, int yDst) const;

    // Makes the surface the size of the picture and copies the picture in.
    void CreateFromPicture(const QImage& picture);
    void CreateFromPicture(const QPixmap& picture);

    bool isEmpty() const { return surface_.isNull(); }
    const QPixmap& pixmap() const { return surface_; }

private:
    void CreateSurface(int width, int height, qreal pixelRatio);
    void DestroySurface();

    QPixmap surface_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace quillow

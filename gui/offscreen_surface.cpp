#include "gui/offscreen_surface.h"

#include <QImage>
#include <QPainter>

namespace quillow {

QPaintDevice* pcMemDC::hDC(int width, int height, qreal pixelRatio)
{
    if (!surface_.isNull()) {
        if (height_ < height || width_ < width || surface_.devicePixelRatio() != pixelRatio)
            CreateSurface(width, height, pixelRatio);
    } else if (width > 0 && height > 0) {
        CreateSurface(width, height, pixelRatio);
    }
    return surface_.isNull() ? nullptr : &surface_;
}

void pcMemDC::setWidth(int width)
{
    if (width == width_)
        return;
    width_ = width;
    hDC(width_, height_, surface_.isNull() ? 1.0 : surface_.devicePixelRatio());
}

void pcMemDC::setHeight(int height)
{
    if (height == height_)
        return;
    height_ = height;
    hDC(width_, height_, surface_.isNull() ? 1.0 : surface_.devicePixelRatio());
}

void pcMemDC::Draw(QPainter& dst, int xSrc, int ySrc, int widthSrc, int heightSrc, int xDst, int yDst) const
{
    if (surface_.isNull())
        return;
    if (widthSrc < 1)
        widthSrc = width_;
    if (heightSrc < 1)
        heightSrc = height_;
    // Only what lies on the surface is copied.
    const QRect wanted(xSrc, ySrc, widthSrc, heightSrc);
    const QRect part = wanted & QRect(QPoint(0, 0), surface_.deviceIndependentSize().toSize());
    if (part.isEmpty())
        return;
    xDst += part.x() - xSrc;
    yDst += part.y() - ySrc;
    xSrc = part.x();
    ySrc = part.y();
    widthSrc = part.width();
    heightSrc = part.height();
    const qreal ratio = surface_.devicePixelRatio();
    const QRectF source(xSrc * ratio, ySrc * ratio, widthSrc * ratio, heightSrc * ratio);
    dst.drawPixmap(QRectF(xDst, yDst, widthSrc, heightSrc), surface_, source);
}

void pcMemDC::CreateFromPicture(const QImage& picture)
{
    CreateFromPicture(QPixmap::fromImage(picture));
}

void pcMemDC::CreateFromPicture(const QPixmap& picture)
{
    const QSize size = picture.deviceIndependentSize().toSize();
    CreateSurface(size.width(), size.height(), picture.devicePixelRatio());
    if (surface_.isNull())
        return;
    QPainter p(&surface_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawPixmap(0, 0, picture);
}

void pcMemDC::CreateSurface(int width, int height, qreal pixelRatio)
{
    DestroySurface();
    if (width <= 0 || height <= 0)
        return;
    QPixmap pixmap(qRound(width * pixelRatio), qRound(height * pixelRatio));
    if (pixmap.isNull())
        return;  // too big for the system: drawing goes straight to the target
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    surface_ = std::move(pixmap);
    width_ = width;
    height_ = height;
}

void pcMemDC::DestroySurface()
{
    surface_ = QPixmap();
    width_ = 0;
    height_ = 0;
}

}  // namespace quillow

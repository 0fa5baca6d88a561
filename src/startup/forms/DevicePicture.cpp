#include "startup/forms/DevicePicture.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace devicepicture {

int fraction(double x)
{
    return int(std::lround((x - std::floor(x)) * 256.0)) & 255;
}

QPoint wholePixel(const QPointF &point)
{
    return QPoint(int(std::floor(point.x())), int(std::floor(point.y())));
}

QImage *drawn(const QRect &area, QPoint whole, QPainter &from, const std::function<void(QPainter &)> &draw)
{
    const QPaintDevice &device = *from.device();
    auto *picture = new QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    picture->setDotsPerMeterX(int(std::lround(device.logicalDpiX() / 0.0254)));
    picture->setDotsPerMeterY(int(std::lround(device.logicalDpiY() / 0.0254)));
    picture->fill(Qt::transparent);
    picture->setOffset(area.topLeft() - whole);
    QPainter into(picture);
    into.setRenderHints(from.renderHints());
    into.setFont(from.font());
    into.setPen(from.pen());
    into.setBrush(from.brush());
    const QPoint first = whole + picture->offset();
    into.setTransform(from.deviceTransform() * QTransform::fromTranslate(-first.x(), -first.y()));
    draw(into);
    return picture;
}

void copy(QPainter &painter, const QImage &picture, QPoint whole)
{
    // The painter's transformation is made a whole-pixel move to the picture's place on the device.
    const QPoint first = whole + picture.offset();
    const QTransform beyondWorld = painter.worldTransform().inverted() * painter.deviceTransform();
    painter.save();
    // Placed on whole pixels, nothing is filtered; with smoothing asked for, the raster engine would take
    // its general path (pixel by pixel, split over threads) rather than a plain copy of the rows.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setWorldTransform(QTransform::fromTranslate(first.x(), first.y()) * beyondWorld.inverted());
    painter.drawImage(QPointF(0, 0), picture);
    painter.restore();
}

bool rasterOnScreen(QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    const int type = device ? device->devType() : 0;
    const bool onScreen = type == QInternal::Widget || type == QInternal::Image || type == QInternal::Pixmap;
    return onScreen && painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
}

} // namespace devicepicture

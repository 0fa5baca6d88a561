#include "startup/forms/TextPictureStyle.h"

#include "startup/forms/DevicePicture.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QStyleFactory>

#include <cmath>

namespace {

// The font's height in pixels of the device it is drawn on.
double pixelSizeOn(const QFont &font, const QPaintDevice *device)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return font.pointSizeF() * device->logicalDpiY() / 72.0;
}

} // namespace

TextPictureStyle::TextPictureStyle(const QString &baseStyleName)
    : QProxyStyle(QStyleFactory::create(baseStyleName))
{
    setObjectName(QStringLiteral("TextPictureStyle"));
}

TextPictureStyle *TextPictureStyle::install()
{
    if (auto *installed = qobject_cast<TextPictureStyle *>(QApplication::style()))
        return installed;
    auto *style = new TextPictureStyle(QApplication::style()->name());
    QApplication::setStyle(style);
    return style;
}

bool TextPictureStyle::worthAPicture(const QTransform &toDevice, double pixelSize)
{
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() <= 0 || toDevice.m22() <= 0)
        return false;
    return pixelSize * std::sqrt(toDevice.determinant()) > kLargestGlyphCached;
}

QRect TextPictureStyle::pictureRect(const QTransform &toDevice, const QRectF &textBounds, double lineHeight)
{
    const double margin = lineHeight / 4.0;
    return toDevice.mapRect(textBounds.adjusted(-margin, -margin, margin + 1, margin + 1)).toAlignedRect();
}

void TextPictureStyle::drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal,
                                    bool enabled, const QString &text, QPalette::ColorRole textRole) const
{
    QPaintDevice *device = painter->device();
    const QBrush ink = textRole == QPalette::NoRole ? painter->pen().brush() : pal.brush(textRole);
    const QTransform toDevice = painter->deviceTransform();
    if (text.isEmpty() || !devicepicture::rasterOnScreen(*painter) || ink.style() != Qt::SolidPattern ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver ||
        !worthAPicture(toDevice, pixelSizeOn(painter->font(), device))) {
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, text, textRole);
        return;
    }

    const QPointF corner = toDevice.map(QPointF(rect.topLeft()));
    const Key key{text,
                  painter->font(),
                  ink.color().rgba(),
                  enabled ? 0u : pal.brush(QPalette::Light).color().rgba(),
                  flags,
                  rect.size(),
                  toDevice.m11(),
                  toDevice.m22(),
                  devicepicture::fraction(corner.x()),
                  devicepicture::fraction(corner.y()),
                  device->logicalDpiX(),
                  device->logicalDpiY()};

    // The picture's pixels lie on the display's: it is kept relative to the display pixel the text's
    // rectangle starts in.
    const QPoint whole = devicepicture::wholePixel(corner);
    const QImage *picture = m_pictures.find(
        key, *painter, whole,
        [&] {
            const QFontMetricsF metrics(painter->font(), device);
            return pictureRect(toDevice, metrics.boundingRect(QRectF(rect), flags, text), metrics.height());
        },
        [&](QPainter &into) { QProxyStyle::drawItemText(&into, rect, flags, pal, enabled, text, textRole); });
    if (!picture) {
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, text, textRole);
        return;
    }
    devicepicture::copy(*painter, *picture, whole);
}

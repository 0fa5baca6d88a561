#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

class QPaintDevice;
class QPainter;
class QTransform;

// Pictures drawn once at the display's own resolution and copied pixel for pixel afterwards (large text,
// the panels of buttons). A picture is kept relative to the display pixel its widget or text starts in,
// and reused only where that start falls at the same place inside a display pixel, so that every copy
// has the pixels a direct drawing would have.
namespace devicepicture {

// Where in a display pixel a coordinate lands, to a 256th of a pixel.
int fraction(double x);

// The display pixel a point (in display pixels) lies in.
QPoint wholePixel(const QPointF &point);

// A transparent picture covering `area` (display pixels), its offset from `whole` kept in the picture, at
// the resolution (dots per inch) of the device it is meant for, so that points turn into the same pixels.
QImage *blank(const QRect &area, QPoint whole, const QPaintDevice &device);

// A painter on `picture` that draws what `toDevice` would put on the display at the picture's pixels.
void aimAt(QPainter &into, const QImage &picture, QPoint whole, const QTransform &toDevice);

// Copies the picture onto the painter's device, its first pixel at `whole` plus the picture's offset.
void copy(QPainter &painter, const QImage &picture, QPoint whole);

// Whether a painter draws onto the screen (a widget, or a picture of one) with the raster engine.
bool rasterOnScreen(QPainter &painter);

} // namespace devicepicture

#pragma once

#include <QCache>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <functional>

class QPaintDevice;
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

// A picture covering `area` (display pixels), its offset from `whole` kept in it, at the resolution (dots
// per inch) of `from`'s device, with what `draw` paints through a painter that has `from`'s hints, font,
// pen and brush and puts each point at the pixel `from` would put it on the display.
QImage *drawn(const QRect &area, QPoint whole, QPainter &from, const std::function<void(QPainter &)> &draw);

// Copies the picture onto the painter's device, its first pixel at `whole` plus the picture's offset.
void copy(QPainter &painter, const QImage &picture, QPoint whole);

// Whether a painter draws onto the screen (a widget, or a picture of one) with the raster engine.
bool rasterOnScreen(QPainter &painter);

// The pictures of one kind of drawing, at most `kib` kibibytes of them (the least recently used go first),
// found by what they were drawn for.
template <typename Key> class Pictures
{
public:
    explicit Pictures(int kib) : m_kept(kib) {}

    // The picture drawn for `key`: the one kept, or else one of `area()` drawn now by `draw` (see drawn())
    // and kept. Null when there is none to copy: the area is empty, or larger than all the room kept.
    const QImage *find(const Key &key, QPainter &from, QPoint whole, const std::function<QRect()> &area,
                       const std::function<void(QPainter &)> &draw)
    {
        if (const QImage *kept = m_kept.object(key)) {
            ++m_reused;
            return kept;
        }
        const QRect covered = area();
        if (covered.isEmpty())
            return nullptr;
        QImage *picture = drawn(covered, whole, from, draw);
        ++m_drawn;
        // A picture larger than all the room kept is not kept (and is gone).
        m_kept.insert(key, picture, std::max<qsizetype>(1, picture->sizeInBytes() / 1024));
        return m_kept.object(key);
    }

    // Pictures copied from one kept, and pictures drawn, so far.
    int reused() const { return m_reused; }
    int drawnSoFar() const { return m_drawn; }

private:
    QCache<Key, QImage> m_kept;
    int m_reused = 0;
    int m_drawn = 0;
};

} // namespace devicepicture

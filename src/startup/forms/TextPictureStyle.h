#pragma once

#include "startup/forms/DevicePicture.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QProxyStyle>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>

// The application's style while a scaled window shows the canvas: the style it had, but for text of
// labels and buttons that is large on the display.
//
// The toolkit keeps the glyphs of text up to 64 display pixels high as small pictures and fills larger
// ones from their outlines at every painting. Scaled to a full screen, the drill's kana and kanji buttons,
// its answer boxes and its question grow past that size, and filling their outlines was a third of the
// instructions of a click or a repaint at 2560 x 1440. This style draws such a text once into a picture at
// the display's own resolution and at its own place in a display pixel, and copies the picture whenever
// the same text is drawn again at the same size, colour and place: as crisp as drawn directly, since it is
// drawn at the display's resolution (no picture is enlarged). Smaller text, text on a printer and text
// drawn under a rotation are drawn as before.
class TextPictureStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Wraps the style of that name (the application's own).
    explicit TextPictureStyle(const QString &baseStyleName);

    // Makes the application's style one of these, wrapping the style it has, unless it is one already.
    // Returns the style in use.
    static TextPictureStyle *install();

    // Display pixels above which the toolkit fills the glyphs of a font from outlines.
    static constexpr double kLargestGlyphCached = 64.0;

    // Whether text of a font `pixelSize` high, drawn through `toDevice` (logical to display pixels), is
    // large enough on the display to be worth a picture: only under a scale and a move, and past the
    // toolkit's own glyph pictures.
    static bool worthAPicture(const QTransform &toDevice, double pixelSize);

    // The display pixels a picture of text covering `textBounds` (logical units, the room the font's
    // metrics give it) takes through `toDevice`: grown by a quarter of the line for glyphs that reach past
    // their advance (and the etched copy of disabled text), then out to whole display pixels.
    static QRect pictureRect(const QTransform &toDevice, const QRectF &textBounds, double lineHeight);

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &pal, bool enabled,
                      const QString &text, QPalette::ColorRole textRole = QPalette::NoRole) const override;

    // Texts drawn from a picture kept, and pictures drawn, since the style was made.
    int picturesReused() const { return m_pictures.reused(); }
    int picturesDrawn() const { return m_pictures.drawnSoFar(); }

private:
    // At most this many kibibytes of pictures are kept; the least recently used go first. A drill shows
    // its kana and kanji on buttons whose places fall on four different fractions of a display pixel, so
    // each character is kept up to four times: at 2560 x 1440 the characters of a level of 20 idioms take
    // about 100 MB, and with less room the next question's were mostly drawn again from their outlines.
    static constexpr int kPictureKiB = 128 * 1024;

    // What a picture was drawn for: the text, its font and colours (the etched copy's too, for disabled
    // text), the alignment and size of its rectangle, the scale, the place inside a display pixel and
    // the device's resolution.
    struct Key
    {
        QString text;
        QFont font;
        QRgb ink;
        QRgb etch;
        int flags;
        QSize size;
        double scaleX;
        double scaleY;
        int fractionX;
        int fractionY;
        int dpiX;
        int dpiY;
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.font, key.ink, key.etch, key.flags, key.size.width(),
                              key.size.height(), key.scaleX, key.scaleY, key.fractionX, key.fractionY,
                              key.dpiX, key.dpiY);
        }
    };
    mutable devicepicture::Pictures<Key> m_pictures{kPictureKiB};
};

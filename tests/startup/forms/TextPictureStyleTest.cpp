// Large text drawn from pictures at the display's resolution: the same pixels as drawn directly.
#include "startup/forms/TextPictureStyle.h"
#include "app/forms/Style.h"
#include "startup/forms/PixelDifference.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// 44 pt is the drill's kana buttons; a scale of 1.875 is the canvas on 2560 x 1440.
constexpr double kScale = 1.875;

QImage blank()
{
    QImage image(900, 320, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

// Draws `text` through `style` at the scale, moved by a fraction of a display pixel and `shift` whole ones.
void draw(const QStyle &style, QImage &image, const QString &text, QColor ink, qreal points,
          QPointF shift = QPointF())
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0.4 + shift.x(), 0.65 + shift.y());
    painter.scale(kScale, kScale);
    painter.setFont(app::style::font(points));
    QPalette palette;
    palette.setColor(QPalette::ButtonText, ink);
    style.drawItemText(&painter, QRect(10, 10, 400, 100), Qt::AlignCenter, palette, true, text,
                       QPalette::ButtonText);
}

int inked(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    }
    return count;
}

} // namespace

TEST(TextPictureStyle, OnlyTextLargerThanTheToolkitsGlyphPicturesUnderAScaleAndAMoveIsWorthAPicture)
{
    // 44 pt at 96 dpi: 58.7 pixels, within the toolkit's glyph pictures in the window.
    const double kana = 44 * 96 / 72.0;
    EXPECT_FALSE(TextPictureStyle::worthAPicture(QTransform(), kana));
    EXPECT_TRUE(TextPictureStyle::worthAPicture(QTransform::fromScale(1.40625, 1.40625), kana));
    EXPECT_TRUE(TextPictureStyle::worthAPicture(QTransform::fromTranslate(3.5, 7), 70));
    EXPECT_FALSE(TextPictureStyle::worthAPicture(QTransform::fromScale(1.40625, 1.40625), 40));
    EXPECT_FALSE(TextPictureStyle::worthAPicture(QTransform().rotate(90).scale(2, 2), kana));
    EXPECT_FALSE(TextPictureStyle::worthAPicture(QTransform::fromScale(-2, 2), kana));
}

TEST(TextPictureStyle, LargeTextFromAPictureIsDrawnAsDirectlyAndThePictureIsReusedOnlyForTheSameLook)
{
    const QString base = QApplication::style()->name();
    TextPictureStyle style(base);
    const std::unique_ptr<QStyle> direct(QStyleFactory::create(base));
    const QString text = QStringLiteral("とらし漢字");
    const QColor ink(0x1f, 0x29, 0x37);

    QImage expected = blank(), pictured = blank();
    draw(*direct, expected, text, ink, 44);
    draw(style, pictured, text, ink, 44);
    EXPECT_EQ(style.picturesDrawn(), 1);
    EXPECT_GT(inked(pictured), 2000) << "the text is drawn";
    // The same pixels but for the rounding of a blend.
    EXPECT_LE(largestDifference(expected, pictured), 2);

    // Whole display pixels further on: the picture is copied there.
    QImage moved = blank(), movedDirect = blank();
    draw(style, moved, text, ink, 44, QPointF(17, 9));
    draw(*direct, movedDirect, text, ink, 44, QPointF(17, 9));
    EXPECT_EQ(style.picturesDrawn(), 1);
    EXPECT_EQ(style.picturesReused(), 1);
    EXPECT_LE(largestDifference(movedDirect, moved), 2);

    // Another colour, or half a display pixel further on, is another picture.
    QImage red = blank(), redDirect = blank();
    draw(style, red, text, Qt::red, 44);
    draw(*direct, redDirect, text, Qt::red, 44);
    EXPECT_LE(largestDifference(redDirect, red), 2);
    QImage half = blank(), halfDirect = blank();
    draw(style, half, text, ink, 44, QPointF(0.5, 0));
    draw(*direct, halfDirect, text, ink, 44, QPointF(0.5, 0));
    EXPECT_LE(largestDifference(halfDirect, half), 2);
    EXPECT_EQ(style.picturesDrawn(), 3);
    EXPECT_EQ(style.picturesReused(), 1);

    // Another text, or the same text in a larger font, at the same place is another picture.
    const QString other = QStringLiteral("四字熟語");
    QImage otherText = blank(), otherDirect = blank();
    draw(style, otherText, other, ink, 44);
    draw(*direct, otherDirect, other, ink, 44);
    EXPECT_LE(largestDifference(otherDirect, otherText), 2);
    QImage larger = blank(), largerDirect = blank();
    draw(style, larger, text, ink, 52);
    draw(*direct, largerDirect, text, ink, 52);
    EXPECT_LE(largestDifference(largerDirect, larger), 2);
    EXPECT_EQ(style.picturesDrawn(), 5);
    EXPECT_EQ(style.picturesReused(), 1);

    // Small text is drawn as before, from the toolkit's own glyph pictures.
    QImage small = blank();
    draw(style, small, text, ink, 16);
    EXPECT_GT(inked(small), 100);
    EXPECT_EQ(style.picturesDrawn(), 5);
    EXPECT_EQ(style.picturesReused(), 1);
}

// The panels of buttons drawn from pictures at the display's resolution: the same pixels as drawn by the
// style sheet directly, a picture drawn once per look and place, and drawn again when the look changes.
#include "startup/forms/PanelPictures.h"
#include "app/forms/Style.h"
#include "startup/forms/PixelDifference.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// The canvas on 2560 x 1440.
constexpr double kPanelScale = 1.875;

// A card with the drill's kind of buttons: plain ones with rounded borders and one for the next step.
struct ButtonCard
{
    QWidget card;
    QPushButton *plain = new QPushButton(QStringLiteral("漢"), &card);
    QPushButton *next = new QPushButton(QStringLiteral("O.K."), &card);
    QPushButton *off = new QPushButton(QStringLiteral("クリア"), &card);
    QLabel *box = new QLabel(QStringLiteral("字"), &card);

    ButtonCard()
    {
        // The program's one style sheet, as the window has it: rounded plain and accent buttons, and the
        // answer box of a mistake in the red's tint.
        app::style::install(&card);
        app::style::plainButton(plain);
        app::style::plainButton(off);
        app::style::setRole(box, app::style::Role::Correction);
        card.resize(460, 140);
        plain->setGeometry(10, 10, 108, 100);
        plain->setFont(app::style::font(42));
        app::style::accentButton(next);
        next->setGeometry(130, 10, 200, 100);
        next->setFont(app::style::font(24));
        off->setGeometry(340, 10, 110, 48);
        off->setEnabled(false);
        box->setGeometry(340, 70, 62, 62);
        box->setFont(app::style::font(34));
        box->setAlignment(Qt::AlignCenter);
        card.ensurePolished();
    }
};

// The card drawn at the scale, moved by a fraction of a display pixel and `shift` whole ones.
QImage cardAt(QWidget &card, QPointF shift = QPointF(), double scale = kPanelScale)
{
    QImage image(900, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0.3 + shift.x(), 0.7 + shift.y());
    painter.scale(scale, scale);
    card.render(&painter);
    return image;
}

// Pixels of the accent's colour: the next step's panel is drawn.
int accentPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == QColor::fromRgb(app::style::kAccent).rgb();
    }
    return count;
}

} // namespace

TEST(PanelPictures, OnlyPanelsEnlargedByAScaleWithoutARotationAreWorthAPicture)
{
    EXPECT_FALSE(PanelPictures::worthAPicture(QTransform()));
    EXPECT_FALSE(PanelPictures::worthAPicture(QTransform::fromTranslate(3.5, 7)));
    EXPECT_TRUE(PanelPictures::worthAPicture(QTransform::fromScale(1.40625, 1.40625).translate(2, 3)));
    EXPECT_FALSE(PanelPictures::worthAPicture(QTransform::fromScale(0.5, 0.5)));
    EXPECT_FALSE(PanelPictures::worthAPicture(QTransform().rotate(90).scale(2, 2)));
}

TEST(PanelPictures, PanelsFromPicturesAreDrawnAsTheStyleSheetDrawsThemAndDrawnAgainForAnotherLookOrPlace)
{
    ButtonCard buttons, restyled;
    app::style::accentButton(restyled.plain);
    // Drawn by the style sheet.
    const QImage expected = cardAt(buttons.card);
    const QImage movedDirect = cardAt(buttons.card, QPointF(17, 9));
    const QImage halfDirect = cardAt(buttons.card, QPointF(0.5, 0));
    const QImage restyledDirect = cardAt(restyled.card);

    {
        PanelPictures panels;
        // The buttons' panels come from pictures at once; the label's background, painted by the toolkit
        // this time, from the next painting on.
        const QImage pictured = cardAt(buttons.card);
        EXPECT_EQ(panels.picturesDrawn(), 3) << "one picture per button";
        EXPECT_EQ(panels.picturesReused(), 0);
        EXPECT_GT(accentPixels(pictured), 20000) << "the accent panel is drawn";
        // The same pixels but for the rounding of a blend.
        EXPECT_LE(largestDifference(expected, pictured), 2);

        // Whole display pixels further on, the pictures are copied there.
        EXPECT_LE(largestDifference(movedDirect, cardAt(buttons.card, QPointF(17, 9))), 2);
        EXPECT_EQ(panels.picturesDrawn(), 4) << "the label's";
        EXPECT_EQ(panels.picturesReused(), 3);
        EXPECT_LE(largestDifference(expected, cardAt(buttons.card)), 2);
        EXPECT_EQ(panels.picturesDrawn(), 4);
        EXPECT_EQ(panels.picturesReused(), 7);
        // Half a display pixel on, they are drawn again.
        EXPECT_LE(largestDifference(halfDirect, cardAt(buttons.card, QPointF(0.5, 0))), 2);
        EXPECT_EQ(panels.picturesDrawn(), 8);

        // A button given another role gets a picture of its new look; the others keep theirs.
        app::style::accentButton(buttons.plain);
        EXPECT_LE(largestDifference(restyledDirect, cardAt(buttons.card)), 2);
        EXPECT_EQ(panels.picturesDrawn(), 9);
        EXPECT_EQ(panels.picturesReused(), 10);

        // In a window of the canvas's own size the panels are drawn directly (the label's by the filter,
        // which has taken it over).
        const QImage unscaledDirect = cardAt(restyled.card, QPointF(), 1.0);
        EXPECT_LE(largestDifference(unscaledDirect, cardAt(buttons.card, QPointF(), 1.0)), 2);
        EXPECT_EQ(panels.picturesDrawn(), 9);
        EXPECT_EQ(panels.picturesReused(), 10);
    }
    // Without the filter the toolkit paints the label's background again.
    EXPECT_LE(largestDifference(cardAt(restyled.card), cardAt(buttons.card)), 2);
}

// The panels of buttons drawn from pictures at the display's resolution: the same pixels as drawn by the
// style sheet directly, a picture drawn once per look and place, and drawn again when the look changes.
#include "startup/forms/PanelPictures.h"
#include "app/forms/Style.h"
#include "startup/forms/PixelDifference.h"

#include <QFrame>
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
    QImage image(900, 600, QImage::Format_ARGB32_Premultiplied);
    // What nobody paints shows in a colour of its own.
    image.fill(Qt::magenta);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0.3 + shift.x(), 0.7 + shift.y());
    painter.scale(scale, scale);
    card.render(&painter);
    return image;
}

// A screen as the drill has them: filled with its colour, a large card with a button and an answer box on
// it, a transparent holder with another card, and controls that leave what is behind them to show (a
// caption, a link, a card hidden, a lamp not lit).
struct CardScreen
{
    QWidget canvas;
    QWidget &screen = *new QWidget(&canvas);
    QFrame *card = new QFrame(&screen);
    QPushButton *button = new QPushButton(QStringLiteral("は"), card);
    QLabel *box = new QLabel(QStringLiteral("字"), card);
    QWidget *holder = new QWidget(&screen);
    QFrame *inner = new QFrame(holder);
    QLabel *caption = new QLabel(QStringLiteral("音声ヒント"), &screen);
    QPushButton *link = new QPushButton(QStringLiteral("版"), &screen);
    QFrame *hidden = new QFrame(&screen);
    QLabel *lamp = new QLabel(&screen);

    CardScreen()
    {
        app::style::install(&canvas);
        app::style::background(&screen, QColor::fromRgb(app::style::kCanvas));
        canvas.resize(460, 300);
        screen.resize(460, 300);
        app::style::card(card);
        card->setGeometry(10, 10, 300, 200);
        app::style::plainButton(button);
        button->setGeometry(20, 20, 110, 110);
        button->setFont(app::style::font(36));
        app::style::setRole(box, app::style::Role::Box);
        box->setGeometry(150, 20, 90, 90);
        holder->setGeometry(320, 10, 130, 280);
        app::style::card(inner);
        inner->setGeometry(0, 0, 200, 100); // reaches past its holder, which clips it
        app::style::quiet(caption);
        caption->setGeometry(10, 230, 200, 30);
        app::style::linkButton(link);
        link->setGeometry(220, 230, 80, 30);
        app::style::card(hidden);
        hidden->setGeometry(10, 260, 300, 30);
        hidden->hide();
        app::style::lamp(lamp, app::style::Lamp::Pass, false);
        lamp->setGeometry(300, 230, 18, 18);
        canvas.ensurePolished();
    }
};

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

// A screen's fill is left out where an opaque control on it covers it (inside its rounded corners and a
// unit in from its edges, and the controls on a transparent holder too), and the screen looks the same.
TEST(PanelPictures, ABackgroundIsLeftOutUnderTheOpaqueControlsOnItAndLooksTheSame)
{
    CardScreen screen;
    const QImage expected = cardAt(screen.canvas);
    const QImage expectedAt1920 = cardAt(screen.canvas, QPointF(0.5, 0.25), 1.40625);
    auto cross = [](const QRect &r, int corner) {
        return QRegion(r.adjusted(corner, 1, -corner, -1)) + QRegion(r.adjusted(1, corner, -1, -corner));
    };
    const QRegion heldCard = cross(QRect(320, 10, 200, 100), 12) & QRegion(320, 10, 130, 280);
    {
        PanelPictures panels;
        EXPECT_EQ(panels.covered(screen.screen), cross(QRect(10, 10, 300, 200), 12) + heldCard)
            << "the cards, the held one as far as its holder shows it; not the caption, link, lamp or hidden "
               "card";
        EXPECT_EQ(panels.covered(*screen.card),
                  cross(QRect(20, 20, 110, 110), 12) + cross(QRect(150, 20, 90, 90), 8));

        // The first painting is the toolkit's; from the second on the filter fills the screen. A large
        // card is still drawn by the toolkit, the answer box on it from a picture.
        EXPECT_LE(largestDifference(expected, cardAt(screen.canvas)), 2);
        EXPECT_TRUE(screen.screen.testAttribute(Qt::WA_NoSystemBackground));
        EXPECT_FALSE(screen.card->testAttribute(Qt::WA_NoSystemBackground));
        EXPECT_TRUE(screen.box->testAttribute(Qt::WA_NoSystemBackground));
        EXPECT_LE(largestDifference(expected, cardAt(screen.canvas)), 2);
        EXPECT_LE(largestDifference(expectedAt1920, cardAt(screen.canvas, QPointF(0.5, 0.25), 1.40625)), 2);

        // A card that goes is no longer left out.
        screen.card->hide();
        EXPECT_EQ(panels.covered(screen.screen), heldCard);
        screen.card->show();
    }
    // Without the filter the toolkit paints the backgrounds again.
    EXPECT_FALSE(screen.screen.testAttribute(Qt::WA_NoSystemBackground));
    EXPECT_LE(largestDifference(expected, cardAt(screen.canvas)), 2);
}

#include "app/forms/DialogScale.h"

#include <QApplication>
#include <QDialog>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cmath>

#include <memory>

namespace {

// A dialog with what the program's dialogs hold: a layout with margins, a label in a size of its own,
// a label that sets only a family (its size comes from the dialog), a button made larger for fingers,
// a field of a fixed size, and a grid.
struct SampleDialog
{
    QDialog dialog;
    QLabel *big = new QLabel(QStringLiteral("四字熟語"), &dialog);
    QLabel *family = new QLabel(QStringLiteral("Version1.0.0"), &dialog);
    QPushButton *ok = new QPushButton(QStringLiteral("O.K."), &dialog);
    QLineEdit *field = new QLineEdit(&dialog);
    QVBoxLayout *layout = new QVBoxLayout(&dialog);
    QGridLayout *grid = new QGridLayout;

    SampleDialog()
    {
        QFont bigFont = big->font();
        bigFont.setPointSizeF(20);
        big->setFont(bigFont);
        QFont familyFont;
        familyFont.setFamily(QStringLiteral("IPAGothic"));
        family->setFont(familyFont);
        ok->setMinimumSize(120, 40);
        field->setFixedSize(50, 20);
        layout->setContentsMargins(32, 24, 32, 24);
        layout->setSpacing(12);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(6);
        for (QWidget *w : {static_cast<QWidget *>(big), static_cast<QWidget *>(family)})
            layout->addWidget(w);
        layout->addLayout(grid);
        grid->addWidget(field, 0, 0);
        layout->addWidget(ok);
    }
};

} // namespace

TEST(DialogScale, FontsMarginsAndSetSizesGrowByTheFactorOnceAndNeverShrink)
{
    SampleDialog d;
    const double dialogPoints = d.dialog.font().pointSizeF();
    app::dialogscale::scaleDialog(&d.dialog, 1.5);

    EXPECT_DOUBLE_EQ(d.dialog.font().pointSizeF(), dialogPoints * 1.5);
    EXPECT_DOUBLE_EQ(d.big->font().pointSizeF(), 30.0);
    // Scaled as the dialog's size, once: not the dialog's scaled size scaled again.
    EXPECT_DOUBLE_EQ(d.family->font().pointSizeF(), dialogPoints * 1.5);
    EXPECT_EQ(d.family->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(d.layout->contentsMargins(), QMargins(48, 36, 48, 36));
    EXPECT_EQ(d.layout->spacing(), 18);
    EXPECT_EQ(d.grid->horizontalSpacing(), 6);
    EXPECT_EQ(d.grid->verticalSpacing(), 9);
    EXPECT_EQ(d.ok->minimumSize(), QSize(180, 60));
    EXPECT_EQ(d.ok->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    EXPECT_EQ(d.field->minimumSize(), QSize(75, 30));
    EXPECT_EQ(d.field->maximumSize(), QSize(75, 30));
    EXPECT_DOUBLE_EQ(app::dialogscale::scaleOf(&d.dialog), 1.5);

    // Shown again (polished again), it stays as it is.
    app::dialogscale::scaleDialog(&d.dialog, 1.5);
    EXPECT_DOUBLE_EQ(d.big->font().pointSizeF(), 30.0);
    EXPECT_EQ(d.ok->minimumSize(), QSize(180, 60));

    // On a display no larger than the canvas a dialog keeps its own sizes.
    SampleDialog small;
    app::dialogscale::scaleDialog(&small.dialog, 0.75);
    EXPECT_DOUBLE_EQ(small.big->font().pointSizeF(), 20.0);
    EXPECT_EQ(small.ok->minimumSize(), QSize(120, 40));
}

TEST(DialogScale, AMessageBoxIconIsDrawnAtTheScaledSizeAndKeepsItsKind)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(QStringLiteral("記録を保存できません。"));
    auto *icon = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
    ASSERT_NE(icon, nullptr);
    const QSize unscaled = icon->pixmap().deviceIndependentSize().toSize();
    ASSERT_FALSE(unscaled.isEmpty());
    app::dialogscale::scaleDialog(&box, 2.0);
    EXPECT_EQ(icon->pixmap().deviceIndependentSize().toSize(), 2 * unscaled);
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
}

namespace {
// The mean difference of two pictures of one size, per channel (0 to 255).
double difference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * a.width() * a.height());
}
} // namespace

// At 2560 x 1440 a message box's icon is as sharp as its text: each kind drawn at the box's scale, on the
// display's own pixels, not the style's small picture enlarged (blurred).
TEST(DialogScale, AMessageBoxIconIsDrawnSharpAtTheScale)
{
    const double factor = 1.875; // 1440 / 768
    for (QMessageBox::Icon kind :
         {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical, QMessageBox::Question}) {
        SCOPED_TRACE(int(kind));
        QMessageBox box;
        box.setIcon(kind);
        auto *icon = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
        ASSERT_NE(icon, nullptr);
        const QImage small = icon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QSizeF unscaled = icon->pixmap().deviceIndependentSize();
        app::dialogscale::scaleDialog(&box, factor);
        const QPixmap shown = icon->pixmap();
        const QSize side(int(std::lround(unscaled.width() * factor)),
                         int(std::lround(unscaled.height() * factor)));
        EXPECT_EQ(shown.deviceIndependentSize().toSize(), side);
        EXPECT_EQ(shown.size(), (side * box.devicePixelRatio()));
        const QImage enlarged =
            small.scaled(side * box.devicePixelRatio(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QImage image = shown.toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), enlarged.size());
        EXPECT_GT(difference(image, enlarged), 4.0) << "the style's small picture enlarged";
    }
}

TEST(DialogScale, ADialogOverAWidgetOfAGraphicsSceneBelongsToTheViewsWindow)
{
    QGraphicsScene scene;
    QGraphicsView view(&scene);
    auto *canvas = new QWidget;
    auto *control = new QPushButton(canvas);
    scene.addWidget(canvas);
    view.show();

    // Made as a child of the embedded widget, a dialog would be drawn into the scene.
    auto embedded = std::make_unique<QDialog>(control);
    EXPECT_NE(embedded->graphicsProxyWidget(), nullptr);
    embedded.reset();

    QWidget *parent = app::dialogscale::dialogParent(control);
    EXPECT_EQ(parent, &view);
    QDialog dialog(parent);
    EXPECT_EQ(dialog.graphicsProxyWidget(), nullptr);

    // Anywhere else a dialog belongs to the widget it is shown over.
    QWidget plain;
    auto *inside = new QPushButton(&plain);
    EXPECT_EQ(app::dialogscale::dialogParent(inside), inside);
}

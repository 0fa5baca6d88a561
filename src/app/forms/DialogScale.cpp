#include "app/forms/DialogScale.h"

#include "app/forms/Style.h"

#include <QApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

namespace app::dialogscale {

namespace {

const char *const kScaleProperty = "dialogScale";

int scaled(int value, double factor)
{
    return int(std::lround(value * factor));
}

QSize scaled(QSize size, double factor)
{
    auto side = [factor](int value) { return value >= QWIDGETSIZE_MAX ? value : scaled(value, factor); };
    return QSize(side(size.width()), side(size.height()));
}

QFont scaledFont(QFont font, double factor)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(scaled(font.pixelSize(), factor));
    return font;
}

QStyle::StandardPixmap messageBoxPixmap(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Information:
        return QStyle::SP_MessageBoxInformation;
    case QMessageBox::Warning:
        return QStyle::SP_MessageBoxWarning;
    case QMessageBox::Critical:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxQuestion;
    }
}

// A message box's icon drawn at `side` on `ratio` device pixels a unit: a round sign (information,
// question, error) or a triangle (warning), the style's bitmaps being drawn for small sizes only.
QPixmap drawnMessageBoxIcon(QMessageBox::Icon kind, QSize side, qreal ratio)
{
    QPixmap pixmap(side * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(QPointF(0, 0), QSizeF(side));
    const qreal s = std::min(box.width(), box.height());
    const QRectF square(box.center() - QPointF(s / 2, s / 2), QSizeF(s, s));
    const QColor ink = kind == QMessageBox::Warning ? QColor::fromRgb(style::kInk) : QColor(Qt::white);
    p.setPen(Qt::NoPen);
    if (kind == QMessageBox::Warning) {
        p.setBrush(QColor::fromRgb(style::kCelebrationLine));
        QPainterPath triangle;
        triangle.moveTo(square.center().x(), square.top() + s * 0.06);
        triangle.lineTo(square.right() - s * 0.02, square.bottom() - s * 0.08);
        triangle.lineTo(square.left() + s * 0.02, square.bottom() - s * 0.08);
        triangle.closeSubpath();
        p.drawPath(triangle);
    } else {
        p.setBrush(QColor::fromRgb(kind == QMessageBox::Critical ? style::kMistake : style::kAccent));
        p.drawEllipse(square.adjusted(s * 0.03, s * 0.03, -s * 0.03, -s * 0.03));
    }
    p.setBrush(ink);
    const qreal cx = square.center().x();
    const qreal stroke = s * 0.12;
    switch (kind) {
    case QMessageBox::Critical: {
        QPen cross(ink, stroke, Qt::SolidLine, Qt::RoundCap);
        p.setPen(cross);
        const qreal d = s * 0.2;
        p.drawLine(square.center() + QPointF(-d, -d), square.center() + QPointF(d, d));
        p.drawLine(square.center() + QPointF(d, -d), square.center() + QPointF(-d, d));
        break;
    }
    case QMessageBox::Warning:
        p.drawRoundedRect(QRectF(cx - stroke / 2, square.top() + s * 0.34, stroke, s * 0.3), stroke / 2,
                          stroke / 2);
        p.drawEllipse(QPointF(cx, square.top() + s * 0.76), stroke * 0.6, stroke * 0.6);
        break;
    case QMessageBox::Information:
        p.drawEllipse(QPointF(cx, square.top() + s * 0.28), stroke * 0.6, stroke * 0.6);
        p.drawRoundedRect(QRectF(cx - stroke / 2, square.top() + s * 0.42, stroke, s * 0.36), stroke / 2,
                          stroke / 2);
        break;
    default: {
        QFont font = style::font(10, true);
        font.setPixelSize(std::max(1, int(s * 0.62)));
        p.setFont(font);
        p.setPen(ink);
        p.drawText(square, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
    return pixmap;
}

void scaleMessageBoxIcon(QMessageBox *box, double factor)
{
    if (box->icon() == QMessageBox::NoIcon)
        return;
    // The box draws its icon into this label at the style's size (or the largest the icon has below
    // it). The label gets the icon at the scaled size; the box keeps its icon, so that it still
    // announces itself as a warning or an error.
    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
    if (!label || label->pixmap().isNull())
        return;
    const QSize shown = label->pixmap().deviceIndependentSize().toSize();
    const QSize side = scaled(shown, factor);
    const qreal ratio = box->devicePixelRatio();
    const QIcon icon = box->style()->standardIcon(messageBoxPixmap(box->icon()), nullptr, box);
    QPixmap pixmap = icon.pixmap(side, ratio);
    // The style has no picture that large (its own are small bitmaps): one drawn at the size, on the
    // display's pixels, is as sharp as the text beside it, where an enlarged bitmap would be blurred.
    if (pixmap.deviceIndependentSize().toSize() != side)
        pixmap = drawnMessageBoxIcon(box->icon(), side, ratio);
    label->setPixmap(pixmap);
}

} // namespace

QWidget *dialogParent(QWidget *over)
{
    if (!over)
        return QApplication::activeWindow();
    QWidget *window = over->window();
    QGraphicsProxyWidget *proxy = window->graphicsProxyWidget();
    if (!proxy || !proxy->scene() || proxy->scene()->views().isEmpty())
        return over;
    return proxy->scene()->views().constFirst()->window();
}

void scaleDialog(QWidget *dialog, double factor)
{
    if (!dialog || factor <= 1.0 || dialog->property(kScaleProperty).isValid())
        return;
    dialog->setProperty(kScaleProperty, factor);
    const QList<QWidget *> controls = dialog->findChildren<QWidget *>();

    // Every font is worked out before any is set: a control whose font sets only a family takes its size
    // from the dialog, which is scaled meanwhile.
    std::vector<std::pair<QPointer<QWidget>, QFont>> fonts{{dialog, scaledFont(dialog->font(), factor)}};
    for (QWidget *control : controls) {
        if (control->testAttribute(Qt::WA_SetFont))
            fonts.emplace_back(control, scaledFont(control->font(), factor));
    }
    for (const auto &[widget, font] : fonts) {
        if (widget)
            widget->setFont(font);
    }

    for (QLayout *layout : dialog->findChildren<QLayout *>()) {
        const QMargins m = layout->contentsMargins();
        layout->setContentsMargins(scaled(m.left(), factor), scaled(m.top(), factor),
                                   scaled(m.right(), factor), scaled(m.bottom(), factor));
        if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
            if (grid->horizontalSpacing() > 0)
                grid->setHorizontalSpacing(scaled(grid->horizontalSpacing(), factor));
            if (grid->verticalSpacing() > 0)
                grid->setVerticalSpacing(scaled(grid->verticalSpacing(), factor));
        } else if (layout->spacing() > 0) {
            layout->setSpacing(scaled(layout->spacing(), factor));
        }
    }

    for (QWidget *control : controls) {
        if (control->isWindow())
            continue;
        if (!control->minimumSize().isNull())
            control->setMinimumSize(scaled(control->minimumSize(), factor));
        if (control->maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
            control->setMaximumSize(scaled(control->maximumSize(), factor));
    }

    if (auto *box = qobject_cast<QMessageBox *>(dialog))
        scaleMessageBoxIcon(box, factor);
    if (dialog->testAttribute(Qt::WA_Resized))
        dialog->resize(scaled(dialog->size(), factor));
}

double scaleOf(const QWidget *dialog)
{
    const QVariant factor = dialog ? dialog->property(kScaleProperty) : QVariant();
    return factor.isValid() ? factor.toDouble() : 1.0;
}

double displayScale(const QWidget *canvasWidget)
{
    // The scaled window draws the canvas through its view's transform, one factor for both directions.
    QGraphicsProxyWidget *proxy = canvasWidget ? canvasWidget->window()->graphicsProxyWidget() : nullptr;
    if (!proxy || !proxy->scene())
        return 1.0;
    const QList<QGraphicsView *> views = proxy->scene()->views();
    return views.isEmpty() ? 1.0 : views.first()->transform().m11();
}

} // namespace app::dialogscale

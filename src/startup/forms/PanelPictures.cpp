#include "startup/forms/PanelPictures.h"

#include "startup/forms/DevicePicture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <utility>

namespace {

// The option a button paints itself with (QPushButton keeps the function to itself).
struct ButtonOption : QPushButton
{
    static QStyleOptionButton of(const QPushButton &button)
    {
        using Init = void (QPushButton::*)(QStyleOptionButton *) const;
        const Init init = &ButtonOption::initStyleOption;
        QStyleOptionButton option;
        (button.*init)(&option);
        return option;
    }
};

} // namespace

PanelPictures::PanelPictures()
{
    setObjectName(QStringLiteral("PanelPictures"));
    QCoreApplication::instance()->installEventFilter(this);
}

PanelPictures::~PanelPictures()
{
    QCoreApplication::instance()->removeEventFilter(this);
    // The toolkit paints their backgrounds again.
    for (const QPointer<QWidget> &widget : std::as_const(m_backgrounds)) {
        if (widget)
            widget->setAttribute(Qt::WA_NoSystemBackground, false);
    }
}

bool PanelPictures::worthAPicture(const QTransform &toDevice)
{
    return toDevice.type() <= QTransform::TxScale && toDevice.m11() > 1.0 && toDevice.m22() > 1.0;
}

bool PanelPictures::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        // Only the toolkit's own buttons, labels and frames: a subclass may paint itself otherwise.
        if (watched->metaObject() == &QPushButton::staticMetaObject)
            return paintButton(static_cast<QPushButton *>(watched));
        if (watched->metaObject() == &QLabel::staticMetaObject ||
            watched->metaObject() == &QFrame::staticMetaObject)
            paintBackground(static_cast<QFrame *>(watched));
        return false;
    case QEvent::StyleChange:
        // The new style may not draw a background; the toolkit decides again at the next painting.
        if (watched->isWidgetType() && m_backgrounds.contains(static_cast<QWidget *>(watched)))
            giveBackground(static_cast<QWidget *>(watched));
        forget(watched);
        return false;
    case QEvent::PaletteChange:
    case QEvent::DynamicPropertyChange:
        forget(watched);
        return false;
    default:
        return false;
    }
}

void PanelPictures::forget(const QObject *button)
{
    const auto look = m_looks.find(button);
    if (look != m_looks.end())
        *look = ++m_nextLook;
}

void PanelPictures::drawFromPicture(QPainter &painter, QWidget *widget, const QStyleOption &option,
                                    const std::function<void(QPainter &)> &draw)
{
    auto look = m_looks.find(widget);
    if (look == m_looks.end()) {
        look = m_looks.insert(widget, ++m_nextLook);
        connect(widget, &QObject::destroyed, this, [this, widget] { m_looks.remove(widget); });
    }
    const QTransform toDevice = painter.deviceTransform();
    const QPointF corner = toDevice.map(QPointF(option.rect.topLeft()));
    const QPoint whole = devicepicture::wholePixel(corner);
    const Key key{*look,
                  uint(option.state),
                  option.type,
                  option.rect.size(),
                  toDevice.m11(),
                  toDevice.m22(),
                  devicepicture::fraction(corner.x()),
                  devicepicture::fraction(corner.y()),
                  widget->objectName(),
                  painter.device()->logicalDpiX(),
                  painter.device()->logicalDpiY()};
    const QImage *picture = m_pictures.object(key);
    if (picture) {
        ++m_reused;
    } else {
        const QRect area = toDevice.mapRect(QRectF(option.rect)).toAlignedRect();
        QImage *drawn = devicepicture::blank(area, whole, *painter.device());
        {
            QPainter into(drawn);
            into.setRenderHints(painter.renderHints());
            into.setFont(painter.font());
            into.setPen(painter.pen());
            into.setBrush(painter.brush());
            devicepicture::aimAt(into, *drawn, whole, toDevice);
            draw(into);
        }
        ++m_drawn;
        // A picture larger than all the room kept is not kept (and is gone): it is drawn directly.
        m_pictures.insert(key, drawn, std::max<qsizetype>(1, drawn->sizeInBytes() / 1024));
        picture = m_pictures.object(key);
    }
    if (picture)
        devicepicture::copy(painter, *picture, whole);
    else
        draw(painter);
}

bool PanelPictures::pictured(QPainter &painter)
{
    return devicepicture::rasterOnScreen(painter) && worthAPicture(painter.deviceTransform()) &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

bool PanelPictures::paintButton(QPushButton *button)
{
    // Panels of another kind of style are drawn by that style as it always does.
    QStyle *style = button->style();
    if (!style->inherits("QStyleSheetStyle"))
        return false;
    QStylePainter painter(button);
    if (!pictured(painter))
        return false;
    const QStyleOptionButton option = ButtonOption::of(*button);
    if (option.features & QStyleOptionButton::HasMenu)
        return false;
    drawFromPicture(painter, button, option, [&](QPainter &into) {
        style->drawControl(QStyle::CE_PushButtonBevel, &option, &into, button);
    });

    // The text and the focus frame over the panel, as the style draws a whole button.
    QStyleOptionButton contents = option;
    contents.rect = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    style->drawControl(QStyle::CE_PushButtonLabel, &contents, &painter, button);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style->subElementRect(QStyle::SE_PushButtonFocusRect, &option, button);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, button);
    }
    return true;
}

void PanelPictures::paintBackground(QFrame *widget)
{
    // The style sheet draws a label's or a frame's background and border before the widget paints
    // itself; a background it draws is taken over here (the toolkit is told to leave it) and drawn before
    // what the widget paints, from a picture while scaled. Large panels are drawn directly: the filling
    // of their rounded outline is cheaper than copying all their pixels.
    QStyle *style = widget->style();
    const bool ours = m_backgrounds.contains(widget);
    if (!widget->testAttribute(Qt::WA_StyledBackground) || widget->autoFillBackground() ||
        widget->testAttribute(Qt::WA_OpaquePaintEvent) || !style->inherits("QStyleSheetStyle") ||
        widget->width() * widget->height() > kLargestPanelArea) {
        if (ours)
            giveBackground(widget);
        return;
    }
    QPainter painter(widget);
    if (!ours) {
        if (!pictured(painter))
            return;
        // The toolkit has painted the background this time.
        widget->setAttribute(Qt::WA_NoSystemBackground);
        // The screens' widgets go with their screens: the list keeps only those that live.
        m_backgrounds.removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
        m_backgrounds.append(widget);
        return;
    }
    QStyleOption option;
    option.initFrom(widget);
    const auto draw = [&](QPainter &into) {
        style->drawPrimitive(QStyle::PE_Widget, &option, &into, widget);
    };
    if (pictured(painter))
        drawFromPicture(painter, widget, option, draw);
    else
        draw(painter);
}

void PanelPictures::giveBackground(QWidget *widget)
{
    widget->setAttribute(Qt::WA_NoSystemBackground, false);
    m_backgrounds.removeAll(widget);
}

#include "startup/forms/PanelPictures.h"

#include "app/forms/Style.h"
#include "startup/forms/DevicePicture.h"

#include <QCoreApplication>
#include <QGraphicsEffect>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QLabel>
#include <QPaintEvent>
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

PanelPictures::PanelPictures(const QWidget *window) : m_window(window), m_anyWindow(!window)
{
    setObjectName(QStringLiteral("PanelPictures"));
    QCoreApplication::instance()->installEventFilter(this);
}

PanelPictures::~PanelPictures()
{
    QCoreApplication::instance()->removeEventFilter(this);
    // The toolkit paints their backgrounds again.
    for (QObject *widget : std::as_const(m_backgrounds))
        static_cast<QWidget *>(widget)->setAttribute(Qt::WA_NoSystemBackground, false);
}

bool PanelPictures::ofTheWindow(const QWidget *widget) const
{
    if (m_anyWindow)
        return true;
    const QWidget *window = widget->window();
    if (window == m_window)
        return true;
    // A popup of a control of the window (a list that drops down) is shown through a proxy of its own,
    // in the same scene.
    const QGraphicsProxyWidget *proxy = window->graphicsProxyWidget();
    const QGraphicsProxyWidget *ours = m_window ? m_window->graphicsProxyWidget() : nullptr;
    return proxy && ours && proxy->scene() == ours->scene();
}

bool PanelPictures::worthAPicture(const QTransform &toDevice)
{
    return toDevice.type() <= QTransform::TxScale && toDevice.m11() > 1.0 && toDevice.m22() > 1.0;
}

bool PanelPictures::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        if (!watched->isWidgetType() || !ofTheWindow(static_cast<QWidget *>(watched)))
            return false;
        // Only the toolkit's own buttons: a subclass may paint itself otherwise.
        if (watched->metaObject() == &QPushButton::staticMetaObject)
            return paintButton(static_cast<QPushButton *>(watched));
        paintBackground(static_cast<QWidget *>(watched), static_cast<QPaintEvent *>(event)->region());
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

void PanelPictures::watch(QObject *widget)
{
    // The screens' widgets go with their screens; a widget is watched once, however often its
    // background is taken over and given back.
    if (m_watched.contains(widget))
        return;
    m_watched.insert(widget);
    connect(widget, &QObject::destroyed, this, [this, widget] {
        m_looks.remove(widget);
        m_backgrounds.remove(widget);
        m_watched.remove(widget);
    });
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
        watch(widget);
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
    const QImage *picture = m_pictures.find(
        key, painter, whole, [&] { return toDevice.mapRect(QRectF(option.rect)).toAlignedRect(); }, draw);
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

PanelPictures::Background PanelPictures::backgroundOf(const QWidget &widget)
{
    if (widget.isWindow() || widget.testAttribute(Qt::WA_OpaquePaintEvent))
        return Background::Toolkit;
    const QBrush brush = widget.palette().brush(widget.backgroundRole());
    if (widget.autoFillBackground())
        return brush.style() == Qt::SolidPattern && brush.isOpaque() &&
                       !widget.testAttribute(Qt::WA_StyledBackground)
                   ? Background::Fill
                   : Background::Toolkit;
    // Only the toolkit's own labels and frames: a subclass may paint its background otherwise.
    const bool plain =
        widget.metaObject() == &QLabel::staticMetaObject || widget.metaObject() == &QFrame::staticMetaObject;
    // Large panels are drawn by the toolkit: the filling of their rounded outline is cheaper than
    // copying all their pixels from a picture, and than drawing them clipped around what covers them.
    if (plain && widget.testAttribute(Qt::WA_StyledBackground) &&
        widget.style()->inherits("QStyleSheetStyle") && widget.width() * widget.height() <= kLargestPanelArea)
        return Background::Panel;
    return Background::Toolkit;
}

void PanelPictures::paintBackground(QWidget *widget, const QRegion &region)
{
    // The toolkit fills a widget's background, or has the style sheet draw it, before the widget paints
    // itself; a background of a kind handled here is taken over (the toolkit is told to leave it) and
    // drawn before what the widget paints. While scaled, a small panel (a label's or a frame's, drawn by
    // the style sheet) is copied from a picture; a screen's fill is filled but for what the opaque
    // controls on it cover, which they paint over at once: at a full screen's resolution, filling the
    // whole screen and again the cards over it was the largest part of a repaint.
    const Background kind = backgroundOf(*widget);
    const bool ours = m_backgrounds.contains(widget);
    if (kind == Background::Toolkit) {
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
        m_backgrounds.insert(widget);
        watch(widget);
        return;
    }
    if (kind == Background::Fill) {
        const QBrush brush = widget->palette().brush(widget->backgroundRole());
        for (const QRect &part : region - covered(*widget))
            painter.fillRect(part, brush);
        return;
    }
    QStyle *style = widget->style();
    QStyleOption option;
    option.initFrom(widget);
    const auto draw = [&](QPainter &into) {
        style->drawPrimitive(QStyle::PE_Widget, &option, &into, widget);
    };
    if (pictured(painter)) {
        drawFromPicture(painter, widget, option, draw);
    } else {
        draw(painter);
    }
}

QRegion PanelPictures::covered(const QWidget &widget) const
{
    QRegion area;
    cover(widget, QPoint(0, 0), widget.rect(), area);
    return area;
}

void PanelPictures::cover(const QWidget &parent, QPoint offset, const QRect &clip, QRegion &area) const
{
    for (QObject *child : parent.children()) {
        if (!child->isWidgetType())
            continue;
        const auto *w = static_cast<const QWidget *>(child);
        if (w->isWindow() || w->isHidden() || w->graphicsEffect())
            continue;
        const QRect place = w->geometry().translated(offset);
        const QRect seen = place & clip;
        if (seen.isEmpty())
            continue;
        const int corner = solidCorner(*w);
        if (corner >= 0) {
            // Inside its rounded corners, and a unit in from its edges, whose pixels on the display the
            // control may cover only in part.
            const QRegion inside = QRegion(place.adjusted(corner, 1, -corner, -1)) +
                                   QRegion(place.adjusted(1, corner, -1, -corner));
            area += inside & seen;
        } else {
            // The controls on it cover what is beneath it as well.
            cover(*w, place.topLeft(), seen, area);
        }
    }
}

int PanelPictures::solidCorner(const QWidget &widget) const
{
    // Its background is painted unless it was switched off by anyone but this filter.
    if (widget.testAttribute(Qt::WA_NoSystemBackground) &&
        !m_backgrounds.contains(const_cast<QWidget *>(&widget)))
        return -1;
    // A control whose background is filled in an opaque colour, square.
    if (widget.autoFillBackground()) {
        const QBrush brush = widget.palette().brush(widget.backgroundRole());
        if (brush.style() == Qt::SolidPattern && brush.isOpaque())
            return 0;
    }
    // One of the toolkit's own buttons, labels and frames drawn by the style sheet in an opaque colour,
    // with the radius of its corners.
    const QMetaObject *type = widget.metaObject();
    const bool button = type == &QPushButton::staticMetaObject;
    if (!button && type != &QLabel::staticMetaObject && type != &QFrame::staticMetaObject)
        return -1;
    if (!widget.style()->inherits("QStyleSheetStyle"))
        return -1;
    if (button ? static_cast<const QPushButton &>(widget).isFlat()
               : !widget.testAttribute(Qt::WA_StyledBackground))
        return -1;
    return app::style::solidCorner(widget);
}

void PanelPictures::giveBackground(QWidget *widget)
{
    widget->setAttribute(Qt::WA_NoSystemBackground, false);
    m_backgrounds.remove(widget);
}

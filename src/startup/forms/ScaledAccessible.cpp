#include "startup/forms/ScaledAccessible.h"

#include "startup/forms/MainWindow.h"
#include "startup/forms/ScaledWindow.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace scaledaccessible {

namespace {

// Set while the toolkit's own interface of a widget is made, so that the factory below lets it be.
bool g_makingInner = false;

ScaledWindow *viewOfCanvas(const QWidget *canvasWidget)
{
    QGraphicsProxyWidget *proxy = canvasWidget->window()->graphicsProxyWidget();
    if (!proxy || !proxy->scene())
        return nullptr;
    for (QGraphicsView *view : proxy->scene()->views()) {
        if (auto *scaled = qobject_cast<ScaledWindow *>(view))
            return scaled;
    }
    return nullptr;
}

// The scaled window a widget belongs to: the window itself, its viewport, or a widget of its canvas.
ScaledWindow *scaledWindowOf(QWidget *widget)
{
    if (auto *scaled = qobject_cast<ScaledWindow *>(widget))
        return scaled;
    if (auto *scaled = qobject_cast<ScaledWindow *>(widget->parentWidget());
        scaled && scaled->viewport() == widget)
        return scaled;
    return viewOfCanvas(widget);
}

bool isCanvasWidget(const QWidget *widget)
{
    return viewOfCanvas(widget) != nullptr;
}

// True when the panels a widget lies in cut it off wholly (a level column scrolled out of its panel).
// Only the geometry counts: a screen covered by another one laid over it (the print layout over the
// worksheet) is still there to be read, as a reader walks down to the one on top through it.
bool clippedAway(const QWidget *widget)
{
    QRect seen = widget->rect();
    for (const QWidget *w = widget; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        seen.translate(w->pos());
        seen &= w->parentWidget()->rect();
        if (seen.isEmpty())
            return true;
    }
    return false;
}

// Where a widget of the canvas is drawn, in display coordinates.
QRect seenRect(const ScaledWindow &view, const QWidget *widget, const QRect &inWidget)
{
    const QPoint topLeft = view.toViewport(widget, QPointF(inWidget.topLeft()));
    const QPoint bottomRight =
        view.toViewport(widget, QPointF(inWidget.x() + inWidget.width(), inWidget.y() + inWidget.height()));
    return QRect(view.viewport()->mapToGlobal(topLeft),
                 view.viewport()->mapToGlobal(bottomRight) - QPoint(1, 1));
}

// A part of a widget that is no widget of its own (a row of a list), as it is seen on the display. The
// toolkit's interface of the part may go at any time (the list's rows change): it is looked up by its id.
class SeenPart : public QAccessibleInterface
{
public:
    SeenPart(QWidget *owner, QAccessible::Id inner) : m_owner(owner), m_inner(inner) {}

    QAccessibleInterface *inner() const { return QAccessible::accessibleInterface(m_inner); }
    bool isValid() const override { return m_owner && inner() && inner()->isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return inner() ? inner()->window() : nullptr; }
    QString text(QAccessible::Text t) const override { return inner() ? inner()->text(t) : QString(); }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (inner())
            inner()->setText(t, text);
    }
    QAccessible::Role role() const override { return inner() ? inner()->role() : QAccessible::NoRole; }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return inner() ? inner()->interface_cast(type) : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return m_owner ? QAccessible::queryAccessibleInterface(m_owner.data()) : nullptr;
    }
    int childCount() const override { return inner() ? inner()->childCount() : 0; }
    QAccessibleInterface *child(int index) const override
    {
        return inner() ? inner()->child(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return inner() ? inner()->indexOfChild(child) : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return inner() ? inner()->focusChild() : nullptr; }

    QAccessible::State state() const override
    {
        QAccessible::State state = inner() ? inner()->state() : QAccessible::State();
        ScaledWindow *view = m_owner ? viewOfCanvas(m_owner) : nullptr;
        if (view && !rect().intersects(seenRect(*view, m_owner, m_owner->rect())))
            state.offscreen = true;
        return state;
    }

    // The toolkit places a part at its owner's position on the display plus its offset in the owner's
    // own units: the offset and the size are scaled here.
    QRect rect() const override
    {
        const QRect r = inner() ? inner()->rect() : QRect();
        ScaledWindow *view = m_owner ? viewOfCanvas(m_owner) : nullptr;
        if (!view || r.isNull())
            return r;
        const QPoint offset = r.topLeft() - m_owner->mapToGlobal(QPoint(0, 0));
        return seenRect(*view, m_owner, QRect(offset, r.size()));
    }

private:
    QPointer<QWidget> m_owner;
    QAccessible::Id m_inner;
};

// The toolkit's interface of a widget, answering for it as it is seen on the display; everything the
// scaling does not change is the toolkit's answer.
class SeenWidget : public QAccessibleInterface
{
public:
    SeenWidget(QWidget *widget, QAccessibleInterface *inner) : m_widget(widget), m_inner(inner)
    {
        m_innerId = QAccessible::uniqueId(inner);
    }
    ~SeenWidget() override
    {
        for (QAccessible::Id part : std::as_const(m_parts))
            QAccessible::deleteAccessibleInterface(part);
        QAccessible::deleteAccessibleInterface(m_innerId);
    }

    bool isValid() const override { return m_widget && m_inner->isValid(); }
    QObject *object() const override { return m_inner->object(); }
    QWindow *window() const override
    {
        ScaledWindow *view = m_widget ? scaledWindowOf(m_widget) : nullptr;
        return view ? view->windowHandle() : m_inner->window();
    }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        return m_inner->relations(match);
    }
    QString text(QAccessible::Text t) const override { return m_inner->text(t); }
    void setText(QAccessible::Text t, const QString &text) override { m_inner->setText(t, text); }
    QAccessible::Role role() const override { return m_inner->role(); }
    void *interface_cast(QAccessible::InterfaceType type) override { return m_inner->interface_cast(type); }
    void virtual_hook(int id, void *data) override { m_inner->virtual_hook(id, data); }

    QAccessibleInterface *parent() const override
    {
        ScaledWindow *view = m_widget ? scaledWindowOf(m_widget) : nullptr;
        if (view && m_widget == &view->canvas())
            return QAccessible::queryAccessibleInterface(view->viewport());
        return m_inner->parent();
    }
    int childCount() const override { return m_inner->childCount() + (canvasChild() ? 1 : 0); }
    QAccessibleInterface *child(int index) const override
    {
        if (QAccessibleInterface *canvas = canvasChild(); canvas && index == m_inner->childCount())
            return canvas;
        return seen(m_inner->child(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (QAccessibleInterface *canvas = canvasChild(); canvas && child == canvas)
            return m_inner->childCount();
        if (auto *part = dynamic_cast<const SeenPart *>(child))
            return part->inner() ? m_inner->indexOfChild(part->inner()) : -1;
        return m_inner->indexOfChild(child);
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        if (!m_widget || !scaledWindowOf(m_widget))
            return m_inner->childAt(x, y);
        // The toolkit would test each child at its size in canvas units: the children as they are seen,
        // the last (drawn on top) first.
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface *c = child(i);
            if (c && !c->state().invisible && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        ScaledWindow *view = m_widget ? scaledWindowOf(m_widget) : nullptr;
        if (view && !isCanvasWidget(m_widget)) {
            // The view holds the focus for the canvas: the control that has it there is focused.
            QWidget *focused = view->canvas().focusWidget();
            if (view->hasFocus() && focused && focused->hasFocus())
                return QAccessible::queryAccessibleInterface(focused);
        }
        return m_inner->focusChild();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = m_inner->state();
        ScaledWindow *view = m_widget ? scaledWindowOf(m_widget) : nullptr;
        if (!view || !isCanvasWidget(m_widget) || state.invisible)
            return state;
        // Moved out of the panel that clips it (a level column scrolled away), or out of the view.
        const QRect seen = rect();
        const QRect display(view->viewport()->mapToGlobal(QPoint(0, 0)), view->viewport()->size());
        if (!view->isVisible() || clippedAway(m_widget) || !seen.intersects(display))
            state.offscreen = true;
        return state;
    }

    QRect rect() const override
    {
        ScaledWindow *view = m_widget ? scaledWindowOf(m_widget) : nullptr;
        if (!view || !isCanvasWidget(m_widget) || !m_widget->isVisible())
            return m_inner->rect();
        return seenRect(*view, m_widget, m_widget->rect());
    }

private:
    // A part that is no widget (a row of a list in the canvas), answered for as it is seen.
    QAccessibleInterface *seen(QAccessibleInterface *child) const
    {
        if (!child || child->object() || !m_widget || !isCanvasWidget(m_widget))
            return child;
        const QAccessible::Id innerId = QAccessible::uniqueId(child);
        if (QAccessibleInterface *known = QAccessible::accessibleInterface(m_parts.value(innerId)))
            return known;
        auto *part = new SeenPart(m_widget, innerId);
        m_parts.insert(innerId, QAccessible::registerAccessibleInterface(part));
        // Parts whose rows have gone go with them.
        for (auto it = m_parts.begin(); it != m_parts.end();) {
            if (!QAccessible::accessibleInterface(it.key())) {
                QAccessible::deleteAccessibleInterface(it.value());
                it = m_parts.erase(it);
            } else {
                ++it;
            }
        }
        return part;
    }

    // The viewport shows the canvas: the canvas is its child.
    QAccessibleInterface *canvasChild() const
    {
        auto *view = m_widget ? qobject_cast<ScaledWindow *>(m_widget->parentWidget()) : nullptr;
        if (!view || view->viewport() != m_widget)
            return nullptr;
        return QAccessible::queryAccessibleInterface(&view->canvas());
    }

    QPointer<QWidget> m_widget;
    QAccessibleInterface *m_inner;
    QAccessible::Id m_innerId = 0;
    mutable QHash<QAccessible::Id, QAccessible::Id> m_parts; // the toolkit's part -> the seen part
};

// The application without the canvas among its windows: the canvas is reached through the view.
class ApplicationOfViews : public QAccessibleApplication
{
public:
    int childCount() const override { return int(windows().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QAccessibleInterface *> list = windows();
        return index >= 0 && index < list.size() ? list[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(windows().indexOf(const_cast<QAccessibleInterface *>(child)));
    }
    // The innermost interface with the focus: for the scaled window, the focused control of its canvas.
    QAccessibleInterface *focusChild() const override
    {
        QAccessibleInterface *focus = QAccessibleApplication::focusChild();
        for (int depth = 0; focus && depth < 64; ++depth) {
            QAccessibleInterface *inner = focus->focusChild();
            if (!inner || inner == focus)
                break;
            focus = inner;
        }
        return focus;
    }

private:
    static QList<QAccessibleInterface *> windows()
    {
        QList<QAccessibleInterface *> list;
        const QAccessibleApplication all;
        for (int i = 0; i < all.childCount(); ++i) {
            QAccessibleInterface *window = all.child(i);
            auto *widget = window ? qobject_cast<QWidget *>(window->object()) : nullptr;
            if (window && !(widget && isCanvasWidget(widget)))
                list.append(window);
        }
        return list;
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (g_makingInner || !object || className != QLatin1String(object->metaObject()->className()))
        return nullptr; // asked once, for the most derived class
    if (object == qApp)
        return new ApplicationOfViews;
    // Every widget: one made outside the canvas may be moved into it later (a screen is made, then
    // shown in the window), so whether it is seen through the view is asked each time.
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    g_makingInner = true;
    QAccessibleInterface *inner = QAccessible::queryAccessibleInterface(object);
    g_makingInner = false;
    return inner ? new SeenWidget(widget, inner) : nullptr;
}

} // namespace

void install(ScaledWindow &view)
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(factory);
    }
    // Interfaces made before (the toolkit asks early, and the canvas may have been shown on its own)
    // answer for the canvas as a window of its own: the next question makes them anew.
    auto renew = [](QObject *object, bool seen) {
        QAccessibleInterface *old = QAccessible::queryAccessibleInterface(object);
        if (old && !seen)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    };
    QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
    renew(qApp, dynamic_cast<ApplicationOfViews *>(application) != nullptr);
    QList<QWidget *> widgets{&view, view.viewport(), &view.canvas()};
    widgets += view.canvas().findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        renew(widget, dynamic_cast<SeenWidget *>(QAccessible::queryAccessibleInterface(widget)) != nullptr);
}

} // namespace scaledaccessible

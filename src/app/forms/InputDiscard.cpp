#include "app/forms/InputDiscard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

void InputDiscard::dropPendingInput()
{
    InputDiscard filter;
    QCoreApplication::instance()->installEventFilter(&filter);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&filter);
}

namespace {
bool isInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
} // namespace

bool InputDiscard::eventFilter(QObject *, QEvent *event)
{
    return isInput(event);
}

OnlyWindowRuns::OnlyWindowRuns(QWidget *window) : m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

OnlyWindowRuns::~OnlyWindowRuns()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool OnlyWindowRuns::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Timer && event->type() != QEvent::MetaCall && !isInput(event))
        return false;
    // The widget the receiver belongs to; objects of no widget are the toolkit's own and run.
    QObject *owner = watched;
    while (owner && !owner->isWidgetType())
        owner = owner->parent();
    if (!owner || !m_window)
        return false;
    return static_cast<QWidget *>(owner)->window() != m_window;
}

#include "support/gui/GuiTestSupport.h"

#include "startup/forms/ScaledWindow.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QPixmap>
#include <QWindow>
#include <QtTest/QTest>

namespace testing_support {

QString saveScreenshot(QWidget *widget, const QString &name)
{
    const QString dir = QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(dir);
    const QString path = dir + u'/' + name + QStringLiteral(".png");
    const QPixmap pixmap = widget->grab();
    if (pixmap.isNull() || !pixmap.save(path))
        return {};
    return path;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

namespace {
void collectNames(QAccessibleInterface *node, QStringList *names, int depth)
{
    if (!node || !node->isValid() || node->state().invisible || depth > 64)
        return;
    const QString name = node->text(QAccessible::Name);
    if (!name.isEmpty())
        names->append(name);
    for (int i = 0; i < node->childCount(); ++i)
        collectNames(node->child(i), names, depth + 1);
}
} // namespace

QStringList accessibleNames(QWidget *root)
{
    QStringList names;
    collectNames(QAccessible::queryAccessibleInterface(root), &names, 0);
    return names;
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
    return node ? node->text(QAccessible::Name) : QString();
}

QString accessibleDescription(QWidget *widget)
{
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
    return node ? node->text(QAccessible::Description) : QString();
}

void clickThroughWindow(ScaledWindow &view, QWidget *control, QPointF point)
{
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(control->isVisible()) << control->objectName().toStdString();
    ASSERT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    const QPoint at = view.viewport()->mapTo(&view, view.toViewport(control, point));
    QWindow *window = view.windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    QTest::mouseRelease(window, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
}

void clickThroughWindow(ScaledWindow &view, QWidget *control)
{
    ASSERT_NE(control, nullptr);
    clickThroughWindow(view, control, QRectF(control->rect()).center());
}

} // namespace testing_support

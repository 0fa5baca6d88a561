#include "support/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QPixmap>

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

} // namespace testing_support

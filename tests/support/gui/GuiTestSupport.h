#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

class ScaledWindow;

namespace testing_support {

// Finds a named control, failing the test when it is missing.
template <typename T> T *control(QWidget *root, const QString &name)
{
    T *found = root->findChild<T *>(name);
    if (!found)
        ADD_FAILURE() << "no control named " << name.toStdString();
    return found;
}

// Renders a widget into SCREENSHOT_DIR/<name>.png; returns the file's path (empty when it failed).
QString saveScreenshot(QWidget *widget, const QString &name);

// Lets pending events and deferred deletions run.
void settle();

// What a screen reader can reach under `root`: the name of every node of the accessible tree that is
// not invisible, in the tree's order (names that are empty are left out).
QStringList accessibleNames(QWidget *root);

// The accessible name and description of one widget.
QString accessibleName(QWidget *widget);
QString accessibleDescription(QWidget *widget);

// A click as a person's arrives: the press and then the release reach the program's top-level window
// from the window system, each handled from the event loop, at the point of the scaled view where
// `point` of the canvas widget `control` (its centre when none is given) is seen; the scene and its
// proxy deliver them to the control.
void clickThroughWindow(ScaledWindow &view, QWidget *control, QPointF point);
void clickThroughWindow(ScaledWindow &view, QWidget *control);

} // namespace testing_support

#pragma once

#include "hub/forms/HubScreen.h"
#include "roster/forms/NameScreen.h"
#include "roster/forms/TestSchool.h"
#include "startup/forms/ScaledWindow.h"
#include "support/gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace testing_support {

// Opens the hub the way a person does: the name on the name screen, then O.K.
inline hub::HubScreen *openHubAs(TestSchool &school, int studentNumber)
{
    school.window->showNameSelection();
    settle();
    auto *names = qobject_cast<roster::NameScreen *>(school.window->currentScreen());
    if (!names)
        return nullptr;
    const QStringList numbered = names->lists().numbered;
    for (int i = 0; i < numbered.size(); ++i) {
        if (numbered[i].endsWith(QStringLiteral("*%1").arg(studentNumber))) {
            auto *list = control<QListView>(names, QStringLiteral("List1"));
            list->setCurrentIndex(list->model()->index(i + 1, 0));
            break;
        }
    }
    QTest::mouseClick(control<QPushButton>(names, QStringLiteral("Command14")), Qt::LeftButton);
    settle();
    return qobject_cast<hub::HubScreen *>(school.window->currentScreen());
}

// Clicks a button that must be there, visible and enabled.
inline void clickButton(QWidget *screen, const QString &name)
{
    auto *button = screen ? screen->findChild<QAbstractButton *>(name) : nullptr;
    ASSERT_NE(button, nullptr) << name.toStdString();
    ASSERT_TRUE(button->isVisible()) << name.toStdString();
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

// From the hub of the teacher (student 900 of the test roster), through the password panel ("abc")
// to one of the tools; returns the screen shown then.
inline QWidget *openTool(TestSchool &school, const QString &button)
{
    hub::HubScreen *hub = openHubAs(school, 900);
    if (!hub)
        return nullptr;
    clickButton(hub, QStringLiteral("Command8"));
    auto *box = hub->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
    if (!box)
        return nullptr;
    QTest::keyClicks(box, QStringLiteral("abc"));
    clickButton(hub, button);
    settle();
    return school.window->currentScreen();
}

} // namespace testing_support

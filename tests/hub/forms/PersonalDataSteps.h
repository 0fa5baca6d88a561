#pragma once

// Steps of the personal data panel's tests: the hub opened as a student does, the graph button, clicks on
// buttons and list rows, and the runs of the test school.

#include "hub/forms/HubScreen.h"
#include "hub/forms/PersonalDataPanel.h"
#include "roster/forms/NameScreen.h"
#include "roster/forms/TestSchool.h"
#include "support/gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QImage>
#include <QListView>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace testing_support {

inline const QDate kSheetToday(2026, 12, 8);

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

inline void pressButton(QWidget *root, const QString &name)
{
    auto *button = root->findChild<QAbstractButton *>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    ASSERT_TRUE(button->isVisible()) << name.toStdString();
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks a row of a list as a person does; with control held it is added to the selection.
inline void clickRow(QListView *list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

inline int rowOf(QListView *list, const QString &ending)
{
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        if (list->model()->index(row, 0).data().toString().endsWith(ending))
            return row;
    }
    return -1;
}

// 131 ran level 2 three times and level 4 once; 132 ran level 2 once; 172 level 6.
inline void writeSheetRuns(TestSchool &school)
{
    school.writeRuns({runAt(kSheetToday.addDays(-20), QTime(15, 0), 131, 2, 120),
                      runAt(kSheetToday.addDays(-10), QTime(15, 0), 131, 2, 80),
                      runAt(kSheetToday.addDays(-5), QTime(15, 0), 131, 2, 95),
                      runAt(kSheetToday.addDays(-3), QTime(15, 0), 131, 4, 150),
                      runAt(kSheetToday.addDays(-2), QTime(15, 0), 132, 2, 70),
                      runAt(kSheetToday.addDays(-1), QTime(15, 0), 172, 6, 200)});
}

inline hub::PersonalDataPanel *openGraph(hub::HubScreen *hub)
{
    pressButton(hub, QStringLiteral("Option2_2"));
    pressButton(hub, QStringLiteral("Command17"));
    return hub->findChild<hub::PersonalDataPanel *>(QStringLiteral("pnlPersonalData"));
}

// Every chart point of the page is painted where the sheet puts it: red for a new best, blue otherwise.
inline void expectPointsPainted(const QImage &image, const hub::SheetPage &page)
{
    int points = 0;
    for (const hub::SheetBlock &block : page.blocks) {
        for (const hub::ChartPoint &p : block.chart.points) {
            const QColor c = image.pixelColor(int(p.x * image.width()), int(p.y * image.height()));
            if (p.newBest) {
                EXPECT_TRUE(c.red() > 200 && c.blue() < 80) << block.level << " " << p.time;
            } else {
                EXPECT_TRUE(c.blue() > 200 && c.red() < 80) << block.level << " " << p.time;
            }
            ++points;
        }
    }
    EXPECT_GT(points, 0);
}

} // namespace testing_support

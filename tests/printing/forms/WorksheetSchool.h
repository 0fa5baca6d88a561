#pragma once

#include "drill/IdiomData.h"
#include "hub/forms/HubScreen.h"
#include "printing/forms/PrintLayoutScreen.h"
#include "printing/forms/WorksheetScreen.h"
#include "roster/forms/NameScreen.h"
#include "roster/forms/TestSchool.h"
#include "support/gui/GuiTestSupport.h"

#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace testing_support {

// The test school with the program's own idiom data file (ten ranges of twenty idioms) in its
// application folder.
struct WorksheetSchool : TestSchool
{
    WorksheetSchool()
    {
        const QString stored = idioms::storedFilePath(inst.applicationFolder + QStringLiteral("/") +
                                                      QString::fromUtf16(idioms::kNominalFileName));
        QFile::remove(stored);
        EXPECT_TRUE(QFile::copy(QStringLiteral(YOJI_IDIOM_DATA), stored));
    }

    QString storedDataFile() const
    {
        return idioms::storedFilePath(inst.applicationFolder + QStringLiteral("/") +
                                      QString::fromUtf16(idioms::kNominalFileName));
    }

    // The name screen, then its "印刷": the worksheet screen with its first sheet built.
    printing::WorksheetScreen *openFromNameScreen()
    {
        window->showNameSelection();
        settle();
        auto *names = qobject_cast<roster::NameScreen *>(window->currentScreen());
        if (!names)
            return nullptr;
        auto *print = control<QPushButton>(names, QStringLiteral("Command1"));
        if (!print || !print->isEnabled())
            return nullptr;
        QTest::mouseClick(print, Qt::LeftButton);
        settle();
        return window->findChild<printing::WorksheetScreen *>();
    }

    // The name screen, the name of the list row that holds `name`, "決定": the hub, then its "印刷".
    printing::WorksheetScreen *openFromHubAs(const QString &name)
    {
        window->showNameSelection();
        settle();
        auto *names = qobject_cast<roster::NameScreen *>(window->currentScreen());
        if (!names)
            return nullptr;
        auto *list = control<QListView>(names, QStringLiteral("List1"));
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (list->model()->index(row, 0).data().toString().contains(name))
                list->setCurrentIndex(list->model()->index(row, 0));
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("Command14")), Qt::LeftButton);
        settle();
        auto *hub = qobject_cast<hub::HubScreen *>(window->currentScreen());
        if (!hub)
            return nullptr;
        QTest::mouseClick(control<QPushButton>(hub, QStringLiteral("Command27")), Qt::LeftButton);
        settle();
        return window->findChild<printing::WorksheetScreen *>();
    }

    // Selects or deselects a range with a click, as a teacher does.
    static void clickRange(printing::WorksheetScreen *form, int range)
    {
        auto *list = control<QListView>(form, QStringLiteral("List1"));
        const QRect rect = list->visualRect(list->model()->index(range - 1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    // "印刷へ": the print layout screen over the worksheet screen.
    static printing::PrintLayoutScreen *toPrinting(printing::WorksheetScreen *form)
    {
        QTest::mouseClick(control<QPushButton>(form, QStringLiteral("Command1")), Qt::LeftButton);
        return form->printLayout();
    }
};

} // namespace testing_support

#include "hub/forms/HubScreen.h"
#include "platform/TextFile.h"
#include "roster/forms/NameScreen.h"
#include "roster/forms/TestSchool.h"
#include "startup/forms/ScaledWindow.h"
#include "startup/forms/ScreenParts.h"
#include "support/gui/GuiTestSupport.h"

#include "hub/QStringPrinter.h"
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using hub::HubScreen;
using roster::NameScreen;

using namespace testing_support;

namespace {
const QString S = QStringLiteral("　");

NameScreen *showNameScreen(TestSchool &school)
{
    school.window->showNameSelection();
    settle();
    return qobject_cast<NameScreen *>(school.window->currentScreen());
}

// The rows the list view shows.
QStringList rows(NameScreen *screen)
{
    auto *list = control<QListView>(screen, QStringLiteral("List1"));
    QStringList texts;
    for (int row = 0; list && row < list->model()->rowCount(); ++row)
        texts << list->model()->index(row, 0).data().toString();
    return texts;
}

void clickRow(NameScreen *screen, int row)
{
    auto *list = control<QListView>(screen, QStringLiteral("List1"));
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void clickSeenRow(ScaledWindow &view, NameScreen *screen, int row)
{
    auto *list = control<QListView>(screen, QStringLiteral("List1"));
    clickThroughWindow(view, list->viewport(),
                       QRectF(list->visualRect(list->model()->index(row, 0))).center());
}

QString chosen(NameScreen *screen)
{
    return control<QLabel>(screen, QStringLiteral("lblChosenName"))->text();
}
} // namespace

TEST(NameScreen, ShowsTheListAndTheDefaultsOfItsSelection)
{
    TestSchool school;
    school.writeRuns({runAt(QDate(2026, 12, 8), QTime(15, 0), 131, 2, 60),  // 11 points against 120 s
                      runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 120), // 5 points
                      runAt(QDate(2026, 12, 8), QTime(15, 0), 172, 4, 99999)});
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(school.fakes.messages.shown.empty());

    EXPECT_EQ(control<QLabel>(screen, QStringLiteral("lblTitle"))->text(), QStringLiteral("四字熟語"));
    EXPECT_FALSE(control<QLabel>(screen, QStringLiteral("lblDevelopment"))->isVisible());
    EXPECT_EQ(screen->palette().color(QPalette::Window), QColor(192, 255, 192));
    EXPECT_TRUE(control<QRadioButton>(screen, QStringLiteral("Option1_1"))->isChecked());
    auto *combo = control<QComboBox>(screen, QStringLiteral("Combo1"));
    EXPECT_EQ(combo->count(), 12);
    EXPECT_EQ(combo->currentText(), QStringLiteral("全学年"));
    EXPECT_EQ(chosen(screen), QStringLiteral("名前を選びなさい"));

    // The list shows the selection's rows, figures included; the hidden working lists are the
    // selection's too.
    const QStringList names = rows(screen);
    ASSERT_EQ(names.size(), 8);
    EXPECT_EQ(names[5], QStringLiteral("小3 加藤あおい") + S + QStringLiteral("  11/     16"));
    EXPECT_EQ(names, screen->lists().names);
    const auto *full = screen->findChild<QStringListModel *>(QStringLiteral("List2"));
    const auto *numbered = screen->findChild<QStringListModel *>(QStringLiteral("List3"));
    ASSERT_NE(full, nullptr);
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(full->stringList(), screen->lists().full);
    EXPECT_EQ(numbered->stringList(), screen->lists().numbered);
}

TEST(NameScreen, GradeGroupsAndDisplayModesRedrawTheList)
{
    TestSchool school;
    school.writeRuns({runAt(QDate(2026, 12, 8), QTime(15, 0), 131, 2, 60),
                      runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 120),
                      runAt(QDate(2026, 12, 8), QTime(15, 0), 101, 2, 99999)});
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    auto *combo = control<QComboBox>(screen, QStringLiteral("Combo1"));
    combo->setCurrentIndex(combo->findText(QStringLiteral("中２")));
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(rows(screen).size(), 2);
    EXPECT_EQ(school.state->run.gradeGroup, QStringLiteral("中２"));
    EXPECT_EQ(QApplication::focusWidget(), control<QListView>(screen, QStringLiteral("List1")));
    combo->setCurrentIndex(combo->findText(QStringLiteral("全学年")));
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(rows(screen).size(), 8);

    // A click on a name, then on an option: the new list chooses nobody.
    clickRow(screen, 5);
    QTest::mouseClick(control<QRadioButton>(screen, QStringLiteral("Option1_0")), Qt::LeftButton);
    EXPECT_EQ(screen->displayMode(), 0);
    EXPECT_EQ(rows(screen)[5], QStringLiteral("小3 加藤あおい") + S + QStringLiteral("  1回/    2回"));
    EXPECT_EQ(chosen(screen), QStringLiteral("名前を選びなさい"));
    saveScreenshot(school.window.get(), QStringLiteral("name-screen-counts"));
}

TEST(NameScreen, ClickingANameAndOkOpensTheHubForThatStudent)
{
    TestSchool school;
    ScaledWindow view(*school.window);
    view.showWindowed();
    settle();
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    auto *ok = control<QPushButton>(screen, QStringLiteral("Command14"));

    // The separator chooses nobody: O.K. plays the wrong-answer sound and stays.
    clickSeenRow(view, screen, 0);
    EXPECT_EQ(chosen(screen), QStringLiteral("名前を選びなさい"));
    clickThroughWindow(view, ok);
    settle();
    EXPECT_EQ(school.window->currentScreen(), screen);
    ASSERT_EQ(school.fakes.media.commands.size(), 1);
    EXPECT_TRUE(school.fakes.media.commands[0].endsWith(QStringLiteral("bu.wav wait")));

    clickSeenRow(view, screen, 5);
    EXPECT_EQ(chosen(screen), QStringLiteral("小3 加藤あおい") + S);
    EXPECT_EQ(control<QLabel>(screen, QStringLiteral("lblChosenNumber"))->text(), QStringLiteral("131"));
    saveScreenshot(school.window.get(), QStringLiteral("name-screen"));
    clickThroughWindow(view, ok);
    settle();

    EXPECT_EQ(school.state->run.studentNumber, 131);
    EXPECT_NE(qobject_cast<HubScreen *>(school.window->currentScreen()), nullptr);
}

TEST(NameScreen, DoubleClickConfirmsAtOnce)
{
    TestSchool school;
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    auto *list = control<QListView>(screen, QStringLiteral("List1"));
    const QRect rect = list->visualRect(list->model()->index(3, 0));
    // A double click: the first click's press and release, then the second press arriving as a double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    settle();
    EXPECT_EQ(school.state->run.studentNumber, 181);
    EXPECT_NE(qobject_cast<HubScreen *>(school.window->currentScreen()), nullptr);
}

TEST(NameScreen, KeyboardOnlyArrowsAndOneConfirm)
{
    TestSchool school;
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    auto *list = control<QListView>(screen, QStringLiteral("List1"));
    ASSERT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(chosen(screen), QStringLiteral("高1 伊藤颯") + S.repeated(3));
    QTest::keyClick(list, Qt::Key_1);
    settle();
    EXPECT_EQ(school.state->run.studentNumber, 201);
    EXPECT_NE(qobject_cast<HubScreen *>(school.window->currentScreen()), nullptr);
}

TEST(NameScreen, KeyboardOnlyEnterAndSpaceConfirmFromTheList)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        TestSchool school;
        NameScreen *screen = showNameScreen(school);
        ASSERT_NE(screen, nullptr);
        auto *list = control<QListView>(screen, QStringLiteral("List1"));
        QTest::keyClick(list, Qt::Key_End);
        QTest::keyClick(list, key);
        settle();
        EXPECT_EQ(school.state->run.studentNumber, 101) << key;
    }
}

TEST(NameScreen, ZeroLeavesForTheProgramMenu)
{
    TestSchool school;
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    QTest::keyClick(control<QListView>(screen, QStringLiteral("List1")), Qt::Key_0);
    EXPECT_EQ(school.fakes.launcher.calls, 1);
    EXPECT_TRUE(school.fakes.programEnd.ended);
    EXPECT_EQ(school.fakes.programEnd.status, 0);
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}

TEST(NameScreen, ALauncherThatCannotStartIsNamedBeforeTheEnd)
{
    TestSchool school;
    school.fakes.launcher.succeed = false;
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    QTest::mouseClick(control<QPushButton>(screen, QStringLiteral("Command13")), Qt::LeftButton);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("プログラムメニューc.exe")));
    EXPECT_TRUE(school.fakes.programEnd.ended);
}

TEST(NameScreen, MissingRosterStopsWithTheRoutinesMessage)
{
    TestSchool school(QStringList{});
    showNameScreen(school);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.startsWith(QStringLiteral("名簿表示3")));
    EXPECT_TRUE(school.fakes.programEnd.ended);
    EXPECT_NE(school.fakes.programEnd.status, 0);
}

// Each showing reads the statistics first; a results file that has become unreadable ends the program
// there, and nothing after it runs: the roster is not read or listed.
TEST(NameScreen, AnUnreadableResultsFileEndsTheProgramAndTheShowingThere)
{
    TestSchool school;
    ASSERT_TRUE(QDir().mkpath(school.resultsFile()));
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(platform::displayPath(school.resultsFile())));
    EXPECT_TRUE(school.fakes.programEnd.ended);
    EXPECT_TRUE(rows(screen).isEmpty());
}

TEST(NameScreen, LaterButtonsAreShownDisabledAndTheVersionBoxOpens)
{
    TestSchool school;
    school.state->settings.developmentLayout = true;
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(control<QLabel>(screen, QStringLiteral("lblDevelopment"))->isVisible());
    auto *print = control<QPushButton>(screen, QStringLiteral("Command1"));
    EXPECT_TRUE(print->isVisible());
    EXPECT_TRUE(print->isEnabled()); // it opens the worksheet screen
    EXPECT_EQ(control<QPushButton>(screen, QStringLiteral("Command7"))->text(),
              QStringLiteral("ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"));

    bool boxSeen = false;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        boxSeen = box && box->objectName() == QStringLiteral("frmver");
        if (box)
            box->close();
    });
    QTest::mouseClick(control<QPushButton>(screen, QStringLiteral("lblVersion")), Qt::LeftButton);
    EXPECT_TRUE(boxSeen);
}

namespace {
// Counts the screens asked for instead of showing them, so the name screen stays after O.K.
class CountingNavigator : public Navigator
{
public:
    void showNameSelection() override { ++names; }
    void showHub() override { ++hubs; }
    void showDrill(int) override {}
    void showResult() override {}
    void showVersionBox(QWidget *) override {}
    int names = 0;
    int hubs = 0;
};
} // namespace

TEST(NameScreen, OnceConfirmedItConfirmsNoMore)
{
    TestSchool school;
    CountingNavigator navigator;
    AppContext context{school.fakes.services, navigator};
    NameScreen screen(startup::parts::nameScreen(*school.state), context);
    screen.show();
    screen.activate();
    auto *list = control<QListView>(&screen, QStringLiteral("List1"));
    list->setCurrentIndex(list->model()->index(4, 0));
    QTest::keyClick(list, Qt::Key_1);
    EXPECT_EQ(navigator.hubs, 1);
    EXPECT_FALSE(control<QPushButton>(&screen, QStringLiteral("Command14"))->isVisible());
    QTest::keyClick(list, Qt::Key_1);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualRect(list->model()->index(4, 0)).center());
    EXPECT_EQ(navigator.hubs, 1);
    EXPECT_EQ(school.state->run.studentNumber, 172);
}

// A screen reader tells what a sighted student sees: every control by its text or name, and the rows of
// the name list.
TEST(NameScreen, ScreenReadersHearEveryControlAndTheNames)
{
    TestSchool school;
    NameScreen *screen = showNameScreen(school);
    ASSERT_NE(screen, nullptr);
    for (QWidget *w : screen->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(screen) || w->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr);
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(iface->text(QAccessible::Name).contains(u'&')) << w->objectName().toStdString();
    }
    QAccessibleInterface *list =
        QAccessible::queryAccessibleInterface(control<QListView>(screen, QStringLiteral("List1")));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("名前"));
    QStringList heard;
    for (int i = 0; i < list->childCount(); ++i)
        heard << list->child(i)->text(QAccessible::Name);
    for (const QString &row : rows(screen))
        EXPECT_TRUE(heard.contains(row)) << row.toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QLabel>(screen, QStringLiteral("lblChosenName")))
                  ->text(QAccessible::Name),
              QStringLiteral("名前を選びなさい"));
}

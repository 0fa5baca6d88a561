#include "hub/forms/HubScreen.h"
#include "roster/forms/NameScreen.h"
#include "roster/forms/TestSchool.h"
#include "support/gui/GuiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QtTest/QTest>

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using hub::HubScreen;
using roster::NameScreen;

using namespace testing_support;

namespace {
const QString S = QStringLiteral("　");
const QDate kToday(2026, 12, 8);

// Opens the hub the way a student does: the name on the name screen, then O.K.
HubScreen *openHubAs(TestSchool &school, int studentNumber)
{
    school.window->showNameSelection();
    settle();
    auto *names = qobject_cast<NameScreen *>(school.window->currentScreen());
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
    return qobject_cast<HubScreen *>(school.window->currentScreen());
}

QStringList listRows(QWidget *hub, int level)
{
    auto *list = control<QListView>(hub, QStringLiteral("List5_%1").arg(level));
    return list ? qobject_cast<QStringListModel *>(list->model())->stringList() : QStringList();
}

QString text(QWidget *hub, const QString &name)
{
    auto *label = control<QLabel>(hub, name);
    return label ? label->text() : QString();
}

// The colour the list is painted with, below its last row.
QColor listBackground(QWidget *hub, int level)
{
    auto *list = control<QListView>(hub, QStringLiteral("List5_%1").arg(level));
    const QImage image = list->viewport()->grab().toImage();
    return image.pixelColor(4, image.height() - 4);
}

void click(QWidget *hub, const QString &name)
{
    auto *button = hub->findChild<QAbstractButton *>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Student 131 ran level 2 today in 60 s (11 points against 120 s) and a week ago in 120 s (5 points);
// 132 ran it today in 50 s (14 points); 172 timed out on level 4 today.
void writeSomeRuns(TestSchool &school)
{
    school.writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 120),
                      runAt(kToday, QTime(15, 0), 131, 2, 60), runAt(kToday, QTime(15, 10), 132, 2, 50),
                      runAt(kToday, QTime(15, 12), 172, 4, 99999)});
}
} // namespace

TEST(HubScreen, ActivationFillsTheHeaderTheColumnsAndThePointsRanking)
{
    TestSchool school;
    writeSomeRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    EXPECT_TRUE(school.fakes.messages.shown.empty());
    EXPECT_TRUE(hub->keyboardReady());

    EXPECT_EQ(text(hub, QStringLiteral("lblTitle")), QStringLiteral("四字熟語"));
    EXPECT_EQ(text(hub, QStringLiteral("lblStudent")), QStringLiteral("加藤あおい 小３"));
    EXPECT_EQ(text(hub, QStringLiteral("lblNumber")), QStringLiteral("131:テスト塾"));
    EXPECT_EQ(text(hub, QStringLiteral("lblElapsed")), QStringLiteral("起動後0分"));
    EXPECT_EQ(text(hub, QStringLiteral("lblDayTotal")), QStringLiteral("本日総回数＝1回"));
    EXPECT_EQ(text(hub, QStringLiteral("lblHint")), QStringLiteral("GRPH+A,B,C,D..でも選択できます。"));
    EXPECT_EQ(school.state->lastDrill.todayTotalCount, 1);

    EXPECT_EQ(control<QPushButton>(hub, QStringLiteral("Label3_2"))->text(), QStringLiteral("範囲１"));
    EXPECT_EQ(control<QPushButton>(hub, QStringLiteral("Command4_2"))->text(), QStringLiteral("ｽﾀｰﾄ(&2)"));
    EXPECT_EQ(text(hub, QStringLiteral("Label7_2")), QStringLiteral("目標=120秒 3回/30点(×1)"));
    EXPECT_EQ(text(hub, QStringLiteral("Label8_2")), QStringLiteral("最近30日=2回 / 16点"));
    EXPECT_EQ(text(hub, QStringLiteral("Label9_2")), QStringLiteral("今日"));
    EXPECT_EQ(text(hub, QStringLiteral("Label14_2")), QStringLiteral("1回/11点"));
    EXPECT_EQ(text(hub, QStringLiteral("Label10_2")), QStringLiteral("今まで"));
    EXPECT_EQ(text(hub, QStringLiteral("Label15_2")), QStringLiteral("2回/16点"));
    EXPECT_EQ(text(hub, QStringLiteral("Label14_4")), QStringLiteral("-----"));
    EXPECT_EQ(text(hub, QStringLiteral("Label15_4")), QStringLiteral("------"));
    EXPECT_EQ(text(hub, QStringLiteral("Label7_20")), QStringLiteral("目標=300秒 3回/30点(×3)"));

    // A practice level: title and start button only, and ten minutes for the drill.
    EXPECT_FALSE(control<QLabel>(hub, QStringLiteral("Label7_1"))->isVisible());
    EXPECT_FALSE(control<QLabel>(hub, QStringLiteral("Label14_1"))->isVisible());
    EXPECT_FALSE(control<QListView>(hub, QStringLiteral("List5_1"))->isVisible());
    EXPECT_TRUE(control<QListView>(hub, QStringLiteral("List5_2"))->isVisible());
    EXPECT_EQ(school.state->standards.targetTime[1], 600);
    EXPECT_EQ(school.state->standards.minimumTime[3], 600);
    EXPECT_EQ(school.state->standards.targetTime[2], 120);

    EXPECT_TRUE(control<QRadioButton>(hub, QStringLiteral("Option2_1"))->isChecked());
    EXPECT_TRUE(control<QRadioButton>(hub, QStringLiteral("Option1_1"))->isChecked());
    EXPECT_EQ(control<QRadioButton>(hub, QStringLiteral("Option1_1"))->text(), QStringLiteral("累計順"));
    EXPECT_EQ(control<QRadioButton>(hub, QStringLiteral("Option1_2"))->text(), QStringLiteral("本日順"));
    EXPECT_EQ(text(hub, QStringLiteral("Label5")), QStringLiteral("獲得ポイント（今まで順位）"));
    EXPECT_EQ(control<QComboBox>(hub, QStringLiteral("Combo1"))->currentText(), QStringLiteral("全学年"));
    EXPECT_FALSE(control<QComboBox>(hub, QStringLiteral("Combo2"))->isVisible());

    const QStringList two = listRows(hub, 2);
    ASSERT_EQ(two.size(), 7);
    EXPECT_EQ(two[0], QStringLiteral("1●加藤あおい 11/   16"));
    EXPECT_EQ(two[1], QStringLiteral("2③岡田ゆうと 14/   14"));
    EXPECT_EQ(two[2], QStringLiteral("3") + S + QStringLiteral("小川ひなた  0/    0"));
    EXPECT_EQ(two[3], QStringLiteral("3Ⅰ橋本心春") + S + QStringLiteral("  0/    0"));

    for (int level = 1; level <= 20; ++level) {
        EXPECT_TRUE(control<QPushButton>(hub, QStringLiteral("Command4_%1").arg(level))->isEnabled())
            << level;
        EXPECT_FALSE(control<QLabel>(hub, QStringLiteral("Text1_%1").arg(level))->isVisible()) << level;
    }
    auto *print = control<QPushButton>(hub, QStringLiteral("Command27"));
    EXPECT_TRUE(print->isVisible());
    EXPECT_TRUE(print->isEnabled()); // it opens the worksheet screen
    EXPECT_FALSE(control<QPushButton>(hub, QStringLiteral("Command8"))->isVisible());
    EXPECT_FALSE(control<QWidget>(hub, QStringLiteral("picWait"))->isVisible());

    auto *scroll = control<QScrollBar>(hub, QStringLiteral("HScroll1"));
    EXPECT_EQ(scroll->minimum(), 1);
    EXPECT_EQ(scroll->maximum(), 17);
    EXPECT_EQ(scroll->value(), 1);
    EXPECT_LT(control<QWidget>(hub, QStringLiteral("pnlLevel_4"))->x(), 1008);
    EXPECT_GE(control<QWidget>(hub, QStringLiteral("pnlLevel_5"))->x(), 1008);
    saveScreenshot(school.window.get(), QStringLiteral("hub-points"));
}

// The hub's activation reads the statistics first; a results file that has become unreadable ends the
// program there, and nothing after it runs (no further file reads with their boxes, no keys taken).
TEST(HubScreen, AnUnreadableResultsFileEndsTheProgramAndTheActivationThere)
{
    TestSchool school;
    writeSomeRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    ASSERT_TRUE(school.fakes.messages.shown.empty());
    ASSERT_TRUE(QFile::remove(school.resultsFile()));
    ASSERT_TRUE(QDir().mkpath(school.resultsFile()));
    hub->activate();
    EXPECT_TRUE(school.fakes.programEnd.ended);
    EXPECT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_FALSE(hub->keyboardReady());
}

TEST(HubScreen, EveryViewFillsTheListsWithItsRows)
{
    TestSchool school;
    writeSomeRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);

    click(hub, QStringLiteral("Option2_0"));
    EXPECT_EQ(control<QRadioButton>(hub, QStringLiteral("Option1_1"))->text(), QStringLiteral("BEST表示"));
    EXPECT_EQ(text(hub, QStringLiteral("Label5")), QStringLiteral("ベスト成績"));
    QStringList two = listRows(hub, 2);
    ASSERT_EQ(two.size(), 7);
    EXPECT_EQ(two[0], QStringLiteral("1③岡田ゆうと    50 ") + S);
    EXPECT_EQ(two[1], QStringLiteral("2●加藤あおい    60 ●"));
    EXPECT_EQ(two[2], QStringLiteral("--") + S + QStringLiteral("小川ひなた------ ") + S);
    // Nobody has a best on level 4: roster order.
    EXPECT_EQ(listRows(hub, 4)[0], QStringLiteral("--●加藤あおい------ ●"));
    EXPECT_EQ(listRows(hub, 4)[3], QStringLiteral("--Ⅰ橋本心春") + S + QStringLiteral("------ ") + S);
    saveScreenshot(school.window.get(), QStringLiteral("hub-times"));

    click(hub, QStringLiteral("Option1_2"));
    EXPECT_EQ(text(hub, QStringLiteral("Label5")), QStringLiteral("本日の成績"));
    EXPECT_EQ(listRows(hub, 2), (QStringList{QStringLiteral("  60秒 15:00●加藤あおい●11"),
                                             QStringLiteral("  50秒 15:10③岡田ゆうと③14")}));
    EXPECT_EQ(listRows(hub, 4),
              QStringList{QStringLiteral("　　× 15:12Ⅰ橋本心春") + S + QStringLiteral("Ⅰ")});
    // The last run of level 2 was within the target: the list is painted green; level 4 has only a
    // failed run and stays white.
    EXPECT_EQ(listBackground(hub, 2), QColor(0, 192, 0));
    EXPECT_EQ(listBackground(hub, 4), QColor(Qt::white));
    saveScreenshot(school.window.get(), QStringLiteral("hub-today"));

    click(hub, QStringLiteral("Option1_3"));
    auto *period = control<QComboBox>(hub, QStringLiteral("Combo2"));
    EXPECT_TRUE(period->isVisible());
    EXPECT_EQ(period->currentIndex(), 2);
    EXPECT_TRUE(text(hub, QStringLiteral("Label5")).isEmpty());
    EXPECT_EQ(listRows(hub, 2).size(), 3);
    EXPECT_EQ(listRows(hub, 2)[0], QStringLiteral(" 120秒 12/01●加藤あおい●5"));
    EXPECT_EQ(listBackground(hub, 2), QColor(0, 192, 0));
    saveScreenshot(school.window.get(), QStringLiteral("hub-period"));
    period->setCurrentIndex(0); // this week: Monday and Tuesday
    emit period->activated(0);
    EXPECT_EQ(hub->model().period(), 1);
    EXPECT_EQ(listRows(hub, 2).size(), 2);

    click(hub, QStringLiteral("Option2_1"));
    EXPECT_EQ(control<QRadioButton>(hub, QStringLiteral("Option1_1"))->text(), QStringLiteral("合計累計"));
    EXPECT_EQ(listRows(hub, 2), (QStringList{QStringLiteral("   11 12/08●加藤あおい●60秒"),
                                             QStringLiteral("   14 12/08③岡田ゆうと③50秒")}));

    // The points display has no colour pass: the list keeps the colour of the last one.
    EXPECT_EQ(listBackground(hub, 2), QColor(0, 192, 0));

    click(hub, QStringLiteral("Option1_2"));
    EXPECT_EQ(text(hub, QStringLiteral("Label5")), QStringLiteral("獲得ポイント（今日の順位）"));
    EXPECT_EQ(listRows(hub, 2), (QStringList{QStringLiteral("1③岡田ゆうと 14/   14"),
                                             QStringLiteral("2●加藤あおい 11/   16")}));
    EXPECT_TRUE(listRows(hub, 4).isEmpty());

    click(hub, QStringLiteral("Option2_2"));
    EXPECT_EQ(text(hub, QStringLiteral("Label5")), QStringLiteral("個人別ﾀｲﾑ"));
    EXPECT_EQ(listRows(hub, 2), (QStringList{QStringLiteral("2026/12/01 15:00:00 120秒"),
                                             QStringLiteral("2026/12/08 15:00:00  60秒")}));
    auto *graph = control<QPushButton>(hub, QStringLiteral("Command17"));
    EXPECT_TRUE(graph->isVisible());
    EXPECT_TRUE(graph->isEnabled());
    EXPECT_FALSE(control<QRadioButton>(hub, QStringLiteral("Option1_1"))->isEnabled());
    saveScreenshot(school.window.get(), QStringLiteral("hub-personal"));

    // The grade filter rebuilds the view that is shown.
    auto *grades = control<QComboBox>(hub, QStringLiteral("Combo1"));
    grades->setCurrentIndex(grades->findText(QStringLiteral("中学生全体")));
    emit grades->activated(grades->currentIndex());
    EXPECT_EQ(text(hub, QStringLiteral("Label5")), QStringLiteral("個人別ﾀｲﾑ"));
    EXPECT_TRUE(listRows(hub, 2).isEmpty());
    click(hub, QStringLiteral("Option2_0"));
    click(hub, QStringLiteral("Option1_1"));
    EXPECT_EQ(listRows(hub, 2).size(), 2); // 172 and 181 only, with their school-wide ranks
    EXPECT_TRUE(listRows(hub, 2)[0].startsWith(QStringLiteral("--Ⅰ")));
    EXPECT_TRUE(control<QPushButton>(hub, QStringLiteral("Command1"))->isEnabled());
    EXPECT_TRUE(control<QPushButton>(hub, QStringLiteral("Command4_2"))->isEnabled());
}

TEST(HubScreen, RankingsShowTheOwnRowWithoutSelectingIt)
{
    // Sixty students ahead of the student of the run on level 2, and sixty without a run.
    QStringList roster = TestSchool::rosterLines();
    QList<records::ResultRecord> runs;
    for (int i = 0; i < 60; ++i) {
        roster << QStringLiteral("%1,2015,0,0,\"生徒%2\",0,\"\",\"\"").arg(1000 + i).arg(i);
        roster << QStringLiteral("%1,2015,0,0,\"児童%2\",0,\"\",\"\"").arg(2000 + i).arg(i);
        runs << runAt(kToday, QTime(14, 0), 1000 + i, 2, 30 + i);
    }
    runs << runAt(kToday, QTime(14, 30), 131, 2, 200);
    TestSchool school(roster);
    school.writeRuns(runs);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    click(hub, QStringLiteral("Option2_0"));
    auto *list = control<QListView>(hub, QStringLiteral("List5_2"));
    const QStringList rows = listRows(hub, 2);
    ASSERT_EQ(rows[60], QStringLiteral("61●加藤あおい   200 ●"));
    const QModelIndex top = list->indexAt(QPoint(2, 2));
    EXPECT_EQ(top.row(), 59);
    EXPECT_TRUE(list->selectionModel()->selectedIndexes().isEmpty());
    saveScreenshot(school.window.get(), QStringLiteral("hub-times-many-students"));
}

TEST(HubScreen, AnOverPractisedLevelIsLockedAndTheNextStaysOpen)
{
    TestSchool school;
    QList<records::ResultRecord> runs;
    for (int i = 0; i < 10; ++i) {
        runs << runAt(kToday, QTime(10, i), 131, 2, 100);
        runs << runAt(kToday, QTime(11, i), 131, 20, 3000); // counted, but no points: not cleared
    }
    school.writeRuns(runs);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    auto *lock = control<QLabel>(hub, QStringLiteral("Text1_2"));
    EXPECT_TRUE(lock->isVisible());
    EXPECT_EQ(lock->text(), QStringLiteral("やりすぎ禁止"));
    EXPECT_FALSE(control<QPushButton>(hub, QStringLiteral("Command4_2"))->isEnabled());
    EXPECT_TRUE(control<QPushButton>(hub, QStringLiteral("Command4_3"))->isEnabled());
    EXPECT_TRUE(control<QPushButton>(hub, QStringLiteral("Command4_4"))->isEnabled());
    // The last level is never locked.
    EXPECT_FALSE(control<QLabel>(hub, QStringLiteral("Text1_20"))->isVisible());
    EXPECT_TRUE(control<QPushButton>(hub, QStringLiteral("Command4_20"))->isEnabled());
    EXPECT_FALSE(school.state->run.finalLevelCleared);

    // Neither the key nor the title starts a locked level.
    QTest::keyClick(hub, Qt::Key_2);
    EXPECT_EQ(school.window->currentScreen(), hub);
    QTest::mouseClick(control<QPushButton>(hub, QStringLiteral("Label3_2")), Qt::LeftButton);
    EXPECT_EQ(school.window->currentScreen(), hub);
    saveScreenshot(school.window.get(), QStringLiteral("hub-locked"));

    // Its title starts an open level.
    QTest::mouseClick(control<QPushButton>(hub, QStringLiteral("Label3_1")), Qt::LeftButton);
    settle();
    EXPECT_EQ(school.state->run.currentLevel, 1);
    EXPECT_EQ(school.window->currentScreen()->objectName(), QStringLiteral("MainFrm"));
}

// Which key does what is the model's; here a digit and a letter reach it from a focused list, and 0
// from the grade filter.
TEST(HubScreen, DigitsAndLettersStartLevelsAndZeroGoesBack)
{
    TestSchool school;
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_1, 1}, {Qt::Key_9, 9}, {Qt::Key_D, 13}};
    HubScreen *hub = openHubAs(school, 132);
    ASSERT_NE(hub, nullptr);
    for (const auto &[key, level] : keys) {
        school.window->showHub();
        settle();
        hub = qobject_cast<HubScreen *>(school.window->currentScreen());
        ASSERT_NE(hub, nullptr);
        school.state->run.currentLevel = 0;
        QTest::keyClick(control<QListView>(hub, QStringLiteral("List5_2")), key);
        EXPECT_EQ(school.state->run.currentLevel, level) << level;
        // The drill screen is shown (the levels beyond range 1 have no idioms in this school: their drill
        // goes back to the hub with a message once it is active).
        EXPECT_EQ(school.window->currentScreen()->objectName(), QStringLiteral("MainFrm")) << level;
        settle();
    }

    school.window->showHub();
    settle();
    hub = qobject_cast<HubScreen *>(school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    QTest::keyClick(hub, Qt::Key_E); // no level 14 key
    EXPECT_EQ(school.window->currentScreen(), hub);
    QTest::keyClick(control<QComboBox>(hub, QStringLiteral("Combo1")), Qt::Key_0);
    settle();
    EXPECT_NE(qobject_cast<NameScreen *>(school.window->currentScreen()), nullptr);
}

TEST(HubScreen, TheBackButtonReturnsToANewNameScreen)
{
    TestSchool school;
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(control<QPushButton>(hub, QStringLiteral("Command1"))->text(), QStringLiteral("戻る(0)"));
    click(hub, QStringLiteral("Command1"));
    settle();
    auto *names = qobject_cast<NameScreen *>(school.window->currentScreen());
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(control<QLabel>(names, QStringLiteral("lblChosenName"))->text(),
              QStringLiteral("名前を選びなさい"));
}

TEST(HubScreen, TheScrollPositionIsKeptAcrossVisits)
{
    TestSchool school;
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    auto *scroll = control<QScrollBar>(hub, QStringLiteral("HScroll1"));
    scroll->setValue(5);
    EXPECT_EQ(school.state->run.hubScrollPosition, 5);
    EXPECT_EQ(control<QWidget>(hub, QStringLiteral("pnlLevel_5"))->x(), 3);
    EXPECT_GE(control<QWidget>(hub, QStringLiteral("pnlLevel_4"))->x(), 1008);
    saveScreenshot(school.window.get(), QStringLiteral("hub-scrolled"));

    QTest::keyClick(hub, Qt::Key_2);
    settle();
    EXPECT_EQ(school.state->run.currentLevel, 2);
    EXPECT_EQ(school.window->currentScreen()->objectName(), QStringLiteral("MainFrm"));
    school.window->showHub();
    settle();
    hub = qobject_cast<HubScreen *>(school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(control<QScrollBar>(hub, QStringLiteral("HScroll1"))->value(), 5);
    EXPECT_EQ(control<QWidget>(hub, QStringLiteral("pnlLevel_5"))->x(), 3);
}

TEST(HubScreen, TeachersSeeTheDataButton)
{
    TestSchool school;
    HubScreen *hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    auto *data = control<QPushButton>(hub, QStringLiteral("Command8"));
    EXPECT_TRUE(data->isVisible());
    EXPECT_TRUE(data->isEnabled());
    EXPECT_EQ(text(hub, QStringLiteral("lblStudent")), QStringLiteral("★山本先生 "));
}

TEST(HubScreen, RightAfterSignInTheMinutesAreZero)
{
    TestSchool school;
    // The name is confirmed in the second half of a second, which is kept rounded up.
    school.fakes.clock.setNow(QDateTime(kToday, QTime(15, 30, 0, 600)));
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(school.state->run.nameConfirmedTime, 15 * 3600 + 30 * 60 + 1);
    EXPECT_EQ(text(hub, QStringLiteral("lblElapsed")), QStringLiteral("起動後0分"));

    school.fakes.clock.setNow(QDateTime(kToday, QTime(15, 32, 0, 400)));
    school.window->showHub();
    settle();
    hub = qobject_cast<HubScreen *>(school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(text(hub, QStringLiteral("lblElapsed")), QStringLiteral("起動後1分"));
}

// A view change made with the mouse disables the focused option while the lists are rebuilt; the keys
// must keep working wherever the focus went, the window itself included.
TEST(HubScreen, KeysWorkAfterAViewChangeMadeWithTheMouse)
{
    const char *const views[][2] = {
        {"Option2_0", "Option1_2"}, {"Option2_1", "Option1_3"}, {"Option2_2", nullptr}};
    for (const auto &view : views) {
        SCOPED_TRACE(view[0]);
        TestSchool school;
        writeSomeRuns(school);
        HubScreen *hub = openHubAs(school, 131);
        ASSERT_NE(hub, nullptr);
        school.window->activateWindow();
        click(hub, QString::fromLatin1(view[0]));
        if (view[1])
            click(hub, QString::fromLatin1(view[1]));
        ASSERT_TRUE(hub->keyboardReady());
        QWidget *focused = QApplication::focusWidget();
        if (focused) {
            EXPECT_TRUE(hub->isAncestorOf(focused)) << focused->objectName().toStdString();
        }
        QTest::keyClick(school.window.get(), Qt::Key_2);
        EXPECT_EQ(school.state->run.currentLevel, 2);
        EXPECT_EQ(school.window->currentScreen()->objectName(), QStringLiteral("MainFrm"));
        settle();
    }
}

// The hub stays what the teacher made it across a drill: the grade filter and the period are kept
// until the name screen is shown again.
TEST(HubScreen, TheGradeFilterAndThePeriodAreKeptAcrossADrill)
{
    TestSchool school;
    writeSomeRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    auto *grades = control<QComboBox>(hub, QStringLiteral("Combo1"));
    grades->setCurrentIndex(grades->findText(QStringLiteral("小３")));
    emit grades->activated(grades->currentIndex());
    click(hub, QStringLiteral("Option2_0"));
    click(hub, QStringLiteral("Option1_3"));
    auto *period = control<QComboBox>(hub, QStringLiteral("Combo2"));
    period->setCurrentIndex(0);
    emit period->activated(0);
    ASSERT_EQ(hub->model().period(), 1);

    QTest::keyClick(hub, Qt::Key_2);
    settle();
    ASSERT_EQ(school.window->currentScreen()->objectName(), QStringLiteral("MainFrm"));
    school.window->showHub(); // back from the drill
    settle();
    hub = qobject_cast<HubScreen *>(school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(control<QComboBox>(hub, QStringLiteral("Combo1"))->currentText(), QStringLiteral("小３"));
    // Only the grade 3 students are ranked.
    EXPECT_EQ(listRows(hub, 2).size(), 2);
    click(hub, QStringLiteral("Option2_0"));
    click(hub, QStringLiteral("Option1_3"));
    EXPECT_EQ(hub->model().period(), 1);
    EXPECT_EQ(control<QComboBox>(hub, QStringLiteral("Combo2"))->currentIndex(), 0);
    EXPECT_EQ(listRows(hub, 2).size(), 2); // this week's runs of grade 3

    // The name screen starts the hub afresh.
    click(hub, QStringLiteral("Command1"));
    settle();
    hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(control<QComboBox>(hub, QStringLiteral("Combo1"))->currentText(), QStringLiteral("全学年"));
    click(hub, QStringLiteral("Option2_0"));
    click(hub, QStringLiteral("Option1_3"));
    EXPECT_EQ(hub->model().period(), 3);
}

TEST(HubScreen, TheHeaderHoldsTheLongestName)
{
    const QString name = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水");
    ASSERT_EQ(name.size(), 20);
    QStringList roster = TestSchool::rosterLines();
    roster << QStringLiteral("4999,2017,0,0,\"%1\",0,\"\",\"\"").arg(name);
    TestSchool school(roster);
    school.writeRuns({runAt(kToday, QTime(15, 0), 4999, 2, 60)});
    HubScreen *hub = openHubAs(school, 4999);
    ASSERT_NE(hub, nullptr);
    auto *student = control<QLabel>(hub, QStringLiteral("lblStudent"));
    EXPECT_EQ(student->text(), name + QStringLiteral(" 小３"));
    EXPECT_LE(student->fontMetrics().horizontalAdvance(student->text()), student->width());
    EXPECT_GE(student->font().pointSizeF(), 12.0);
    // Nothing beside it is covered, and everything stays inside the header.
    QWidget *header = control<QWidget>(hub, QStringLiteral("pnlHeader"));
    const QStringList names{QStringLiteral("lblTitle"),    QStringLiteral("lblHint"),
                            QStringLiteral("lblNumber"),   QStringLiteral("lblElapsed"),
                            QStringLiteral("lblDayTotal"), QStringLiteral("Command27"),
                            QStringLiteral("Command8"),    QStringLiteral("Command1")};
    for (const QString &other : names) {
        QWidget *w = control<QWidget>(hub, other);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(student->geometry().intersects(w->geometry())) << other.toStdString();
        EXPECT_TRUE(header->rect().contains(w->geometry())) << other.toStdString();
        if (auto *l = qobject_cast<QLabel *>(w)) {
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << other.toStdString();
        }
    }
    EXPECT_EQ(text(hub, QStringLiteral("lblNumber")), QStringLiteral("4999:テスト塾"));
    saveScreenshot(school.window.get(), QStringLiteral("hub-longest-name"));
}

// What a screen reader is told: each column by its level, each start button without the "&" of its
// access key.
TEST(HubScreen, ScreenReadersHearTheLevelOfEachColumnAndItsStartButton)
{
    TestSchool school;
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    for (int level : {1, 2, 13, 20}) {
        auto *start = control<QPushButton>(hub, QStringLiteral("Command4_%1").arg(level));
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(start);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("ｽﾀｰﾄ(%1)").arg(level));
        EXPECT_EQ(button->role(), QAccessible::Button);
        // The button lies in its column, which names the level.
        QAccessibleInterface *column = button->parent();
        ASSERT_NE(column, nullptr);
        const QString levelName = school.state->catalogue.levelNames[std::size_t(level)];
        EXPECT_EQ(column->text(QAccessible::Name), QStringLiteral("レベル%1 ").arg(level) + levelName);
        EXPECT_EQ(column->object(), control<QWidget>(hub, QStringLiteral("pnlLevel_%1").arg(level)));
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control<QPushButton>(hub, QStringLiteral("Command1")))
                  ->text(QAccessible::Name),
              QStringLiteral("戻る(0)"));
}

#include "teacher/forms/RecordsScreen.h"
#include "teacher/forms/StandardsScreen.h"
#include "teacher/forms/TeacherScreens.h"

#include "startup/forms/ProgramApplication.h"

#include <QLabel>
#include <QTableView>

#include "hub/QStringPrinter.h"

using hub::HubScreen;
using teacher::RecordsScreen;
using teacher::StandardsScreen;

using namespace testing_support;

TEST(TeacherEntry, OnlyTeachersSeeDataProcessing)
{
    TestSchool school;
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    EXPECT_FALSE(control<QPushButton>(hub, QStringLiteral("Command8"))->isVisible());
    hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    auto *dataProcessing = control<QPushButton>(hub, QStringLiteral("Command8"));
    EXPECT_TRUE(dataProcessing->isVisible());
    EXPECT_TRUE(dataProcessing->isEnabled());
    EXPECT_EQ(dataProcessing->text(), QStringLiteral("データ処理"));
}

TEST(TeacherEntry, AWrongPasswordSaysSoAndThePanelHoldsOffTheHubUntilBack)
{
    TestSchool school;
    HubScreen *hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    clickButton(hub, QStringLiteral("Command8"));
    auto *panel = control<QWidget>(hub, QStringLiteral("picPassword"));
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(control<QLabel>(panel, QStringLiteral("lblPassword"))->text(),
              QStringLiteral("データ変更パスワード"));
    auto *box = control<QLineEdit>(panel, QStringLiteral("txtPassword"));
    EXPECT_EQ(box->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(control<QPushButton>(panel, QStringLiteral("Command10_0"))->text(),
              QStringLiteral("データ変更"));
    EXPECT_EQ(control<QPushButton>(panel, QStringLiteral("Command10_1"))->text(),
              QStringLiteral("合格タイムデータ変更"));
    saveScreenshot(school.window.get(), QStringLiteral("teacher_password_panel"));

    // Digits typed into the box start no level, and neither do start buttons or titles behind it.
    QTest::keyClicks(box, QStringLiteral("2"));
    hub->startLevel(2);
    QTest::mouseClick(control<QPushButton>(hub, QStringLiteral("Label3_2")), Qt::LeftButton);
    settle();
    EXPECT_EQ(school.window->currentScreen(), hub);
    EXPECT_EQ(box->text(), QStringLiteral("2"));

    clickButton(panel, QStringLiteral("Command10_1"));
    settle();
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(school.fakes.messages.shown[0].text, QStringLiteral("パスワードを入力して下さい"));
    EXPECT_EQ(school.window->currentScreen(), hub);
    EXPECT_TRUE(panel->isVisible());

    clickButton(panel, QStringLiteral("cmdPasswordBack"));
    EXPECT_FALSE(panel->isVisible());
    // The hub takes starts again.
    QTest::keyClick(hub, Qt::Key_2);
    settle();
    EXPECT_NE(school.window->currentScreen(), hub);
}

TEST(TeacherEntry, TheRightPasswordOpensEachToolAndEachReturnsToTheHub)
{
    TestSchool school;
    QWidget *screen = openTool(school, QStringLiteral("Command10_1"));
    auto *editor = qobject_cast<StandardsScreen *>(screen);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(control<QTableView>(editor, QStringLiteral("MSFlexGrid1"))->model()->rowCount(), 20);
    clickButton(editor, QStringLiteral("cmdBack"));
    settle();
    HubScreen *hub = qobject_cast<HubScreen *>(school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    EXPECT_TRUE(hub->keyboardReady());

    clickButton(hub, QStringLiteral("Command8"));
    QTest::keyClicks(control<QLineEdit>(hub, QStringLiteral("txtPassword")), QStringLiteral("abc"));
    clickButton(hub, QStringLiteral("Command10_0"));
    settle();
    auto *browser = qobject_cast<RecordsScreen *>(school.window->currentScreen());
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(control<QLabel>(browser, QStringLiteral("lblCount"))
                    ->text()
                    .startsWith(QStringLiteral("総レコード数:")));
    clickButton(browser, QStringLiteral("cmdBack"));
    settle();
    EXPECT_NE(qobject_cast<HubScreen *>(school.window->currentScreen()), nullptr);
}

// The tools are opened with the mouse through the program's scaled window, press and release arriving
// one after the other: the levels screen, whose button is still being clicked when the tool is asked
// for, goes only once the click has been delivered, and each tool returns to the hub the same way.
TEST(TeacherEntry, EachToolOpensByMouseThroughTheScaledWindowAndTheHubGoesAfterTheClick)
{
    for (const QString &tool : {QStringLiteral("Command10_0"), QStringLiteral("Command10_1")}) {
        SCOPED_TRACE(tool.toStdString());
        TestSchool school;
        ScaledWindow view(*school.window);
        view.showWindowed();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        HubScreen *hub = openHubAs(school, 900);
        ASSERT_NE(hub, nullptr);
        bool gone = false;
        bool goneUnderAHandler = false;
        QObject::connect(hub, &QObject::destroyed, [&] {
            gone = true;
            goneUnderAHandler = ProgramApplication::instance()->handlerRunning();
        });
        clickThroughWindow(view, control<QPushButton>(hub, QStringLiteral("Command8")));
        QTest::keyClicks(control<QLineEdit>(hub, QStringLiteral("txtPassword")), QStringLiteral("abc"));
        clickThroughWindow(view, control<QPushButton>(hub, tool));
        settle();
        EXPECT_TRUE(gone);
        EXPECT_FALSE(goneUnderAHandler);
        QWidget *screen = school.window->currentScreen();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName(), tool == QStringLiteral("Command10_0")
                                            ? QStringLiteral("FrmData")
                                            : QStringLiteral("FrmTimeData"));

        clickThroughWindow(view, control<QPushButton>(screen, QStringLiteral("cmdBack")));
        settle();
        EXPECT_NE(qobject_cast<HubScreen *>(school.window->currentScreen()), nullptr);
    }
}

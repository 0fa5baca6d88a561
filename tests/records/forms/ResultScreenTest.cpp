#include "records/forms/ResultScreen.h"
#include "app/forms/Style.h"
#include "records/ResultScreenTestSupport.h"
#include "startup/forms/ScreenParts.h"
#include "support/gui/GuiTestSupport.h"

#include <QDir>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class NullNavigator : public Navigator
{
public:
    int hubShown = 0;
    int drillShown = 0;
    int drillLevel = 0;
    void showNameSelection() override {}
    void showHub() override { ++hubShown; }
    void showDrill(int level) override
    {
        ++drillShown;
        drillLevel = level;
    }
    void showResult() override {}
    void showVersionBox(QWidget *) override {}
};

class ResultScreenTest : public result_screen_test::ResultScreenFixture
{
protected:
    // The screen as the drill opens it, up to the end of its activation.
    void open(int level, qint32 resultTime)
    {
        drilled(level, resultTime);
        screen = std::make_unique<records::ResultScreen>(startup::parts::resultScreen(*state), context);
        app::style::install(screen.get()); // the window's style sheet, as MainWindow has it
        screen->show();
        screen->activate();
    }

    // And on to its half-second timer's tick.
    void show(int level, qint32 resultTime)
    {
        open(level, resultTime);
        fireTimer1();
    }

    // The half-second timer's tick, without waiting for it.
    void fireTimer1()
    {
        auto *timer = screen->findChild<QTimer *>(QStringLiteral("Timer1"));
        ASSERT_NE(timer, nullptr);
        ASSERT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 500);
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }

    QString text(const QString &name)
    {
        auto *label = screen->findChild<QLabel *>(name);
        return label && label->isVisible() ? label->text() : QString();
    }
    bool visible(const QString &name)
    {
        auto *w = screen->findChild<QWidget *>(name);
        return w && w->isVisible();
    }
    int played(const QString &file) const
    {
        int n = 0;
        for (const QString &c : fakes.media.commands)
            n += c.contains(file);
        return n;
    }

    NullNavigator navigator;
    AppContext context{fakes.services, navigator};
    std::unique_ptr<records::ResultScreen> screen;
};

} // namespace

// A results file that cannot be read ends the program when the statistics are read again: the
// activation stops there, with no record message, no sound and no buttons to come.
TEST_F(ResultScreenTest, AnUnreadableResultsFileEndsTheProgramAndTheActivationThere)
{
    ASSERT_TRUE(QDir().mkpath(records::resultsFilePath(inst.dataFolder)));
    state->lastDrill.newPersonalBest = true;
    open(2, 90);
    EXPECT_TRUE(fakes.programEnd.ended);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.media.commands.isEmpty());
    EXPECT_TRUE(text(QStringLiteral("Label18")).isEmpty());
    EXPECT_FALSE(visible(QStringLiteral("Label20")));
    EXPECT_FALSE(screen->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
}

// The screen shows what its session says and plays the sound it names from the sound set; the
// buttons come with the half-second timer.
TEST_F(ResultScreenTest, APersonalRecordIsShownAndItsSoundPlayed)
{
    addRuns(2, 1, 90);
    state->lastDrill.newPersonalBest = true;
    open(2, 90);
    EXPECT_EQ(text(QStringLiteral("Label18")), QStringLiteral("今の成績：90秒"));
    EXPECT_EQ(text(QStringLiteral("Label20")), QStringLiteral("新記録おめでとう"));
    EXPECT_EQ(text(QStringLiteral("Label13")), QStringLiteral(" (このレベル　 1回目)"));
    EXPECT_EQ(text(QStringLiteral("Label14")), QStringLiteral("（ 1回目)"));
    EXPECT_EQ(played(QStringLiteral("jiko.wav")), 1);
    EXPECT_FALSE(visible(QStringLiteral("Command4")));
    EXPECT_FALSE(visible(QStringLiteral("Command5")));
    fireTimer1();
    EXPECT_TRUE(visible(QStringLiteral("Command4")));
    EXPECT_EQ(screen->focusWidget(), screen->findChild<QWidget *>(QStringLiteral("Command4")));
    EXPECT_TRUE(visible(QStringLiteral("Command5")));
    EXPECT_FALSE(screen->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    saveScreenshot(screen.get(), QStringLiteral("result-personal-record"));
}

// The timer's tick renders the cleared label's new text and withholds "もう一度".
TEST_F(ResultScreenTest, TheGoOnLabelComesWithTheTimer)
{
    // Ten good runs today: cleared (3 runs, 30 points) and over-practised (10 runs a day).
    addRuns(2, 10, 40);
    show(2, 40);
    EXPECT_TRUE(visible(QStringLiteral("Command4")));
    EXPECT_FALSE(visible(QStringLiteral("Command5")));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("次のレベルへ進みましょう"));
    saveScreenshot(screen.get(), QStringLiteral("result-go-on"));
}

TEST_F(ResultScreenTest, ClearingTheFinalLevelShowsThePictureAndPlaysTheFanfare)
{
    addRuns(20, 3, 100);
    state->lastDrill.alreadyCleared = false;
    open(20, 100);
    EXPECT_TRUE(visible(QStringLiteral("Picture1")));
    EXPECT_TRUE(visible(QStringLiteral("Label2")));
    EXPECT_EQ(played(QStringLiteral("合格.wav")), 1);
    saveScreenshot(screen.get(), QStringLiteral("result-final-level-cleared"));
    fireTimer1();
    EXPECT_FALSE(visible(QStringLiteral("Picture1"))) << "the half-second timer puts the picture away";
}

TEST_F(ResultScreenTest, MenuGoesToTheHubAndAgainStartsTheSameLevel)
{
    addRuns(2, 1, 90);
    show(2, 90);
    auto *menu = screen->findChild<QPushButton *>(QStringLiteral("Command4"));
    QTest::mouseClick(menu, Qt::LeftButton);
    EXPECT_EQ(navigator.hubShown, 1);
    EXPECT_FALSE(menu->isEnabled());
    screen.reset();
    show(2, 90);
    state->lastDrill.drillEndReason = 1;
    auto *again = screen->findChild<QPushButton *>(QStringLiteral("Command5"));
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_EQ(navigator.drillShown, 1);
    EXPECT_EQ(navigator.drillLevel, 2);
    EXPECT_FALSE(again->isEnabled());
    EXPECT_FALSE(screen->findChild<QPushButton *>(QStringLiteral("Command4"))->isEnabled());
}

// An all-time record that clears the final level: the record sound and then the fanfare. The
// half-second timer falls due during the record sound, but it runs only at the activation's last
// pending-events step: the congratulation stands through the fanfare, and the buttons come after it.
TEST_F(ResultScreenTest, TheCongratulationStandsThroughTheFanfare)
{
    addRuns(20, 3, 100);
    state->lastDrill.alreadyCleared = false;
    state->lastDrill.newPersonalBest = true;
    state->lastDrill.newOverallBest = true;
    drilled(20, 100);
    screen = std::make_unique<records::ResultScreen>(startup::parts::resultScreen(*state), context);
    app::style::install(screen.get());
    screen->show();
    bool pictureDuringFanfare = false;
    bool menuDuringFanfare = true;
    fakes.media.duringPlay = [&] {
        auto *timer = screen->findChild<QTimer *>(QStringLiteral("Timer1"));
        if (fakes.media.commands.last().contains(QStringLiteral("最高1.wav")) && timer->isActive())
            QCoreApplication::postEvent(timer, new QTimerEvent(timer->timerId()));
        if (fakes.media.commands.last().contains(QStringLiteral("合格.wav"))) {
            pictureDuringFanfare = visible(QStringLiteral("Picture1"));
            menuDuringFanfare = visible(QStringLiteral("Command4"));
        }
    };
    screen->activate();
    fakes.media.duringPlay = nullptr;
    ASSERT_EQ(played(QStringLiteral("最高1.wav")), 1);
    ASSERT_EQ(played(QStringLiteral("合格.wav")), 1);
    EXPECT_TRUE(pictureDuringFanfare);
    EXPECT_FALSE(menuDuringFanfare);
    EXPECT_TRUE(visible(QStringLiteral("Command4")))
        << "the timer that fell due ran once the sounds were over";
    EXPECT_FALSE(visible(QStringLiteral("Picture1")));
}

// A screen reader reaches the screen by its caption and hears what is shown: time, points, counts,
// the message, the cleared label and the buttons; what is hidden it does not hear.
TEST_F(ResultScreenTest, TheAccessibleTreeTellsWhatIsShown)
{
    addRuns(2, 3, 90);
    state->lastDrill.newPersonalBest = true;
    show(2, 90);
    const QStringList names = accessibleNames(screen.get());
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first(), QStringLiteral("終了"));
    for (const QString &expected :
         {QStringLiteral("佐藤美咲"), QStringLiteral("今の成績：90秒"), text(QStringLiteral("Label19")),
          QStringLiteral(" (このレベル　 3回目)"), QStringLiteral("（ 3回目)"),
          QStringLiteral("新記録おめでとう"), QStringLiteral("メニューへ"), QStringLiteral("もう一度")})
        EXPECT_TRUE(names.contains(expected))
            << expected.toStdString() << " in " << names.join(u'|').toStdString();
    EXPECT_FALSE(names.contains(QStringLiteral("このレベルクリア"))) << "not cleared: the label is hidden";
    EXPECT_FALSE(names.contains(QStringLiteral("目標レベルクリア。おめでとう！")));

    screen.reset();
    show(2, 95); // no record: no message
    EXPECT_FALSE(accessibleNames(screen.get()).contains(QStringLiteral("新記録おめでとう")));
}

// The longest name of the roster (20 characters) is shown whole at a size that fits its line, clear of
// the day counts beside it.
TEST_F(ResultScreenTest, ATwentyCharacterNameFitsItsLine)
{
    const QString twenty = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水");
    state->run.studentName = twenty;
    show(2, 90);
    auto *name = screen->findChild<QLabel *>(QStringLiteral("Label17"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), twenty);
    EXPECT_LE(QFontMetrics(name->font()).horizontalAdvance(name->text()), name->contentsRect().width());
    for (const char *beside : {"Label13", "Label14"})
        EXPECT_FALSE(name->geometry().intersects(screen->findChild<QLabel *>(beside)->geometry())) << beside;
}

#include "records/forms/ResultScreen.h"
#include "app/AppState.h"
#include "drill/LevelCatalogue.h"
#include "platform/DateSerial.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "startup/LoadSettings.h"
#include "support/TestSupport.h"
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

// The result screen as a recorded drill leaves it: the run is in the results file, the flags of
// the judgement are set.
class ResultScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile932(inst.soundSetFile(),
                     {QStringLiteral("正解音2,pin,*"), QStringLiteral("間違い音2,boo,*"),
                      QStringLiteral("自己最高音2,jiko,*"), QStringLiteral("不合格音1,minimum,*")});
        QString error;
        ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error))
            << error.toStdString();
        catalogue::setUpLevels(state->catalogue);
        state->run.studentNumber = 152;
        state->run.studentName = QStringLiteral("佐藤美咲            ");
    }

    // Runs of the student at a level today, each with the given time.
    void addRuns(int level, int count, qint32 time, int student = 152)
    {
        QList<records::ResultRecord> runs;
        const QDateTime now = fakes.clock.now();
        for (int i = 0; i < count; ++i)
            runs.append(records::newRecord(platform::dateSerial(now.date()),
                                           platform::timeFraction(now.time()), qint16(student), qint16(level),
                                           time, QStringLiteral("12345")));
        QString error;
        ASSERT_TRUE(testing_support::succeeded(
            records::appendRecords(records::resultsFilePath(inst.dataFolder), runs, fakes.wait), &error))
            << error.toStdString();
    }

    void show(int level, qint32 resultTime)
    {
        state->run.currentLevel = qint16(level);
        state->lastDrill.resultTime = resultTime;
        state->lastDrill.elapsedTime = resultTime;
        state->lastDrill.drillEndReason = resultTime == records::kTimeOut ? 1 : 0;
        screen = std::make_unique<::ResultScreen>(context);
        screen->show();
        screen->activate();
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

    Installation inst;
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    NullNavigator navigator;
    AppContext context{*state, fakes.services, navigator};
    std::unique_ptr<::ResultScreen> screen;
};

} // namespace

TEST_F(ResultScreenTest, TimeOutShowsNoRecordAndZeroPointsWithoutASound)
{
    addRuns(2, 1, records::kTimeOut);
    show(2, records::kTimeOut);
    EXPECT_EQ(text(QStringLiteral("Label18")), QStringLiteral("記録なし"));
    EXPECT_EQ(text(QStringLiteral("Label19")), QStringLiteral("獲得ポイント：0点×1→0点"));
    EXPECT_EQ(text(QStringLiteral("Label20")), QStringLiteral("時間切れ"));
    EXPECT_TRUE(fakes.media.commands.isEmpty());
    EXPECT_EQ(text(QStringLiteral("Label13")), QStringLiteral(" (このレベル　 0回目)"))
        << "a time-out is not a counted drill";
    EXPECT_TRUE(visible(QStringLiteral("Command4")));
    EXPECT_TRUE(visible(QStringLiteral("Command5")));
}

// A results file that cannot be read ends the program when the statistics are read again: the
// activation stops there, with no record message, no sound and no buttons to come.
TEST_F(ResultScreenTest, AnUnreadableResultsFileEndsTheProgramAndTheActivationThere)
{
    ASSERT_TRUE(QDir().mkpath(records::resultsFilePath(inst.dataFolder)));
    state->run.currentLevel = 2;
    state->lastDrill.resultTime = 90;
    state->lastDrill.newPersonalBest = true;
    screen = std::make_unique<::ResultScreen>(context);
    screen->show();
    screen->activate();
    EXPECT_TRUE(fakes.programEnd.ended);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.media.commands.isEmpty());
    EXPECT_TRUE(text(QStringLiteral("Label18")).isEmpty());
    EXPECT_FALSE(visible(QStringLiteral("Label20")));
    EXPECT_FALSE(screen->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
}

TEST_F(ResultScreenTest, PersonalRecordHasItsMessageAndSound)
{
    addRuns(2, 1, 90);
    state->lastDrill.newPersonalBest = true;
    show(2, 90);
    EXPECT_EQ(text(QStringLiteral("Label18")), QStringLiteral("今の成績：90秒"));
    EXPECT_EQ(text(QStringLiteral("Label20")), QStringLiteral("新記録おめでとう"));
    EXPECT_EQ(played(QStringLiteral("jiko.wav")), 1);
    EXPECT_EQ(text(QStringLiteral("Label13")), QStringLiteral(" (このレベル　 1回目)"));
    EXPECT_EQ(text(QStringLiteral("Label14")), QStringLiteral("（ 1回目)"));
    EXPECT_FALSE(state->lastDrill.newPersonalBest) << "the flags are cleared once shown";
    saveScreenshot(screen.get(), QStringLiteral("result-personal-record"));
}

TEST_F(ResultScreenTest, MinimumLineSoundOnlyUpToTheMinimumTime)
{
    const int minimum = state->standards.minimumTime[2];
    addRuns(2, 1, minimum);
    show(2, minimum);
    EXPECT_FALSE(visible(QStringLiteral("Label20")));
    EXPECT_EQ(played(QStringLiteral("minimum.wav")), 1);
    screen.reset();
    fakes.media.commands.clear();
    show(2, minimum + 1);
    EXPECT_TRUE(fakes.media.commands.isEmpty());
}

TEST_F(ResultScreenTest, AgainIsWithheldWhenTheLevelIsClearedAndOverPractised)
{
    // Ten good runs today: cleared (3 runs, 30 points) and over-practised (10 runs a day).
    addRuns(2, 10, 40);
    show(2, 40);
    EXPECT_TRUE(visible(QStringLiteral("Command4")));
    EXPECT_FALSE(visible(QStringLiteral("Command5")));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("次のレベルへ進みましょう"));
    saveScreenshot(screen.get(), QStringLiteral("result-go-on"));
    // Once the final level is cleared, every level may be drilled again.
    screen.reset();
    state->run.finalLevelCleared = true;
    show(2, 40);
    EXPECT_TRUE(visible(QStringLiteral("Command5")));
    EXPECT_EQ(text(QStringLiteral("Label2")), QStringLiteral("このレベルクリア"));
}

TEST_F(ResultScreenTest, ClearingTheFinalLevelTheFirstTimeCelebratesWithASound)
{
    addRuns(20, 3, 100);
    state->lastDrill.alreadyCleared = false;
    state->run.currentLevel = 20;
    state->lastDrill.resultTime = 100;
    screen = std::make_unique<::ResultScreen>(context);
    screen->show();
    screen->activate();
    EXPECT_TRUE(visible(QStringLiteral("Picture1")));
    EXPECT_EQ(played(QStringLiteral("合格.wav")), 1);
    saveScreenshot(screen.get(), QStringLiteral("result-final-level-cleared"));
    fireTimer1();
    EXPECT_FALSE(visible(QStringLiteral("Picture1"))) << "the half-second timer puts the picture away";

    screen.reset();
    fakes.media.commands.clear();
    state->lastDrill.alreadyCleared = true;
    screen = std::make_unique<::ResultScreen>(context);
    screen->show();
    screen->activate();
    EXPECT_TRUE(visible(QStringLiteral("Picture1")));
    EXPECT_EQ(played(QStringLiteral("合格.wav")), 0);
}

TEST_F(ResultScreenTest, MenuGoesToTheHubAndAgainStartsTheSameLevel)
{
    addRuns(2, 1, 90);
    show(2, 90);
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    EXPECT_EQ(navigator.hubShown, 1);
    screen.reset();
    show(2, 90);
    state->lastDrill.drillEndReason = 1;
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("Command5")), Qt::LeftButton);
    EXPECT_EQ(navigator.drillShown, 1);
    EXPECT_EQ(navigator.drillLevel, 2);
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
    state->run.currentLevel = 20;
    state->lastDrill.resultTime = 100;
    screen = std::make_unique<::ResultScreen>(context);
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

#include "records/ResultSession.h"
#include "records/ResultScreenTestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace testing_support;
using records::ResultSession;
using records::result_screen::Sound;

namespace {

// The result screen's session after a recorded drill; the steps run in the screen's order.
class ResultSessionFlow : public result_screen_test::ResultScreenFixture
{
protected:
    void makeSession(int level, qint32 resultTime)
    {
        drilled(level, resultTime);
        session = std::make_unique<ResultSession>(
            records::ResultScreenState{state->settings, state->catalogue, state->run, state->standards,
                                       state->results, state->statistics, state->lastDrill},
            fakes.services);
    }

    // The whole activation; the sounds it asked for are kept.
    void activate()
    {
        session->begin();
        QString error;
        ASSERT_TRUE(succeeded(session->recompute(), &error)) << error.toStdString();
        session->fillIn();
        sounds = session->announce();
        session->finish();
    }

    // A showing up to its half-second timer's tick.
    void show(int level, qint32 resultTime)
    {
        makeSession(level, resultTime);
        activate();
        session->timerTick();
    }

    QList<int> kinds() const
    {
        QList<int> k;
        for (const Sound &s : sounds)
            k << s.kind;
        return k;
    }
    QStringList fixedFiles() const
    {
        QStringList f;
        for (const Sound &s : sounds)
            if (!s.fixedFile.isEmpty())
                f << s.fixedFile;
        return f;
    }
    const ResultSession::View &view() const { return session->view(); }

    std::unique_ptr<ResultSession> session;
    QList<Sound> sounds;
};

} // namespace

TEST_F(ResultSessionFlow, TimeOutShowsNoRecordAndZeroPointsWithoutASound)
{
    addRuns(2, 1, records::kTimeOut);
    show(2, records::kTimeOut);
    EXPECT_EQ(view().time, QStringLiteral("記録なし"));
    EXPECT_EQ(view().points, QStringLiteral("獲得ポイント：0点×1→0点"));
    EXPECT_TRUE(view().messageShown);
    EXPECT_EQ(view().message, QStringLiteral("時間切れ"));
    EXPECT_TRUE(sounds.isEmpty());
    EXPECT_EQ(view().levelCount, QStringLiteral(" (このレベル　 0回目)"))
        << "a time-out is not a counted drill";
    EXPECT_TRUE(view().menuShown);
    EXPECT_TRUE(view().againShown);
}

TEST_F(ResultSessionFlow, PersonalRecordHasItsMessageAndSoundAndTheFlagsAreClearedOnceShown)
{
    addRuns(2, 1, 90);
    makeSession(2, 90);
    state->lastDrill.newPersonalBest = true;
    activate();
    EXPECT_EQ(view().time, QStringLiteral("今の成績：90秒"));
    EXPECT_EQ(view().name, QStringLiteral("佐藤美咲"));
    EXPECT_EQ(view().title, state->catalogue.programTitle);
    EXPECT_EQ(view().levelName, QStringLiteral("範囲１"));
    EXPECT_EQ(view().message, QStringLiteral("新記録おめでとう"));
    EXPECT_EQ(kinds(), QList<int>{8});
    EXPECT_EQ(view().levelCount, QStringLiteral(" (このレベル　 1回目)"));
    EXPECT_EQ(view().dayCount, QStringLiteral("（ 1回目)"));
    EXPECT_FALSE(state->lastDrill.newPersonalBest);
    EXPECT_FALSE(state->lastDrill.newOverallBest);
    EXPECT_TRUE(session->activated());
}

// Until the statistics are read again the level's count is the old one plus this run; then it is the
// recomputed one, and the day's total over every level is kept in the shared state.
TEST_F(ResultSessionFlow, TheLevelCountIsProvisionalUntilTheStatisticsAreReadAgain)
{
    addRuns(2, 2, 90);
    addRuns(4, 3, 90);
    makeSession(2, 90);
    state->statistics.todayCount(2, 152) = 5; // as the hub read them before the drill
    session->begin();
    EXPECT_EQ(view().levelCount, QStringLiteral(" (このレベル　 6回目)"));
    ASSERT_FALSE(session->recompute().has_value());
    session->fillIn();
    EXPECT_EQ(view().levelCount, QStringLiteral(" (このレベル　 2回目)"));
    EXPECT_EQ(view().dayCount, QStringLiteral("（ 5回目)"));
    EXPECT_EQ(state->lastDrill.todayTotalCount, 5);
}

TEST_F(ResultSessionFlow, AnUnreadableResultsFileIsAFailureThatEndsTheProgram)
{
    ASSERT_TRUE(QDir().mkpath(records::resultsFilePath(inst.dataFolder)));
    makeSession(2, 90);
    session->begin();
    const app::Status status = session->recompute();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(status->exitStatus.has_value());
    EXPECT_TRUE(status->text.contains(records::resultsFilePath(inst.dataFolder)))
        << status->text.toStdString();
}

TEST_F(ResultSessionFlow, MinimumLineSoundOnlyUpToTheMinimumTime)
{
    const int minimum = state->standards.minimumTime[2];
    addRuns(2, 1, minimum);
    show(2, minimum);
    EXPECT_FALSE(view().messageShown);
    EXPECT_EQ(kinds(), QList<int>{10});
    show(2, minimum + 1);
    EXPECT_TRUE(sounds.isEmpty());
}

TEST_F(ResultSessionFlow, AgainIsWithheldWhenTheLevelIsClearedAndOverPractised)
{
    // Ten good runs today: cleared (3 runs, 30 points) and over-practised (10 runs a day).
    addRuns(2, 10, 40);
    makeSession(2, 40);
    activate();
    EXPECT_TRUE(view().clearedShown);
    EXPECT_FALSE(view().menuShown) << "the buttons come with the timer";
    EXPECT_FALSE(view().againShown);
    session->timerTick();
    EXPECT_TRUE(view().menuShown);
    EXPECT_FALSE(view().againShown);
    EXPECT_TRUE(view().clearedShown);
    EXPECT_EQ(view().cleared, QStringLiteral("次のレベルへ進みましょう"));
    // Once the final level is cleared, every level may be drilled again.
    state->run.finalLevelCleared = true;
    show(2, 40);
    EXPECT_TRUE(view().againShown);
    EXPECT_EQ(view().cleared, QStringLiteral("このレベルクリア"));
}

TEST_F(ResultSessionFlow, ClearingTheFinalLevelTheFirstTimeCelebratesWithASound)
{
    addRuns(20, 3, 100);
    state->lastDrill.alreadyCleared = false;
    makeSession(20, 100);
    activate();
    EXPECT_TRUE(view().clearedShown);
    EXPECT_TRUE(view().congratulationShown);
    EXPECT_EQ(fixedFiles(), QStringList{QStringLiteral("合格.wav")});
    session->timerTick();
    EXPECT_FALSE(view().congratulationShown) << "the half-second timer puts the picture away";

    state->lastDrill.alreadyCleared = true;
    makeSession(20, 100);
    activate();
    EXPECT_TRUE(view().congratulationShown);
    EXPECT_TRUE(fixedFiles().isEmpty());
}

// The congratulation stands only while it applies: at another level cleared it never comes, and at
// the final level with a level set up never to be cleared it comes and goes with the sounds.
TEST_F(ResultSessionFlow, TheCongratulationOnlyAtTheFinalLevelWhenEveryLevelCanBeCleared)
{
    addRuns(18, 3, 100);
    makeSession(18, 100);
    activate();
    EXPECT_TRUE(view().clearedShown);
    EXPECT_FALSE(view().congratulationShown);

    addRuns(20, 3, 100);
    state->standards.clearCount[7] = records::kNoRequirement;
    makeSession(20, 100);
    session->begin();
    ASSERT_FALSE(session->recompute().has_value());
    EXPECT_TRUE(view().clearedShown);
    EXPECT_FALSE(view().congratulationShown);
}

TEST_F(ResultSessionFlow, MenuAndAgainDisableTheButtonsAndAgainDrillsTheSameLevel)
{
    addRuns(2, 1, 90);
    show(2, 90);
    session->menu();
    EXPECT_FALSE(view().menuEnabled);
    EXPECT_TRUE(view().againEnabled);
    show(2, 90);
    EXPECT_EQ(session->again(), 2);
    EXPECT_FALSE(view().menuEnabled);
    EXPECT_FALSE(view().againEnabled);
}

#include "records/Judgement.h"
#include "platform/TextFile.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace records;
using namespace testing_support;

TEST(RunPoints, FollowTheCurveWithinTheTargetAndTheStepsBeyondIt)
{
    struct Case
    {
        qint32 time;
        qint32 target;
        bool threeCharacter;
        double points;
    };
    const Case cases[] = {
        {0, 100, false, 55},
        {50, 100, false, 11},
        {100, 100, false, 5},
        {101, 100, false, 4},
        {150, 100, false, 4},
        {199, 100, false, 4},
        {200, 100, false, 1},
        {999, 100, false, 1},
        {1000, 100, false, 0},
        {99999, 100, false, 0},
        {99999, 100, true, 0},
        {99998, 200000, false, 0},  // within the target, but the zero-point limit wins
        {99997, 200000, false, 11}, // floor(0.500015^3 * 50 + 5)
        {0, 0, false, 5},           // a target of 0 met exactly: no division by zero
        {1, 0, false, 0},
        {1234, 2000, false, 7}, // the result screen's exact time
        {1234, 2000, true, 46}, // the statistics' three characters: 123
        {5000, 2000, true, 1},  // comparisons use the time itself
    };
    for (const Case &c : cases) {
        EXPECT_EQ(runPoints(c.time, c.target, c.threeCharacter), c.points)
            << "time " << c.time << " target " << c.target << (c.threeCharacter ? " (three characters)" : "");
    }
    EXPECT_EQ(addedPoints(runPoints(50, 100, false), 3), 33);
    EXPECT_EQ(addedPoints(55, 100000000), std::numeric_limits<qint32>::max());
}

TEST(RunPoints, ThreeCharacterTimeIsTheValueOfTheFirstThreeDigits)
{
    const std::pair<qint32, qint32> cases[] = {{0, 0},      {5, 5},      {999, 999},   {1000, 100},
                                               {1234, 123}, {6000, 600}, {99999, 999}, {-1234, -12}};
    for (const auto &[time, expected] : cases)
        EXPECT_EQ(threeCharacterTime(time), expected) << time;
}

namespace {

struct RulesFixture : ::testing::Test
{
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    void SetUp() override
    {
        state->standards.clearCount[4] = 3;
        state->standards.clearPoints[4] = 30;
    }
    void period(int count, int points)
    {
        state->statistics.passPeriodCount(4, 7) = qint16(count);
        state->statistics.passPeriodPoints(4, 7) = points;
    }
    void overPractice(int count, int points)
    {
        state->statistics.overPracticePeriodCount(4, 7) = qint16(count);
        state->statistics.overPracticePeriodPoints(4, 7) = points;
    }
};

} // namespace

TEST_F(RulesFixture, ALevelIsClearedWithEnoughDrillsAndPointsInThePassPeriod)
{
    const std::tuple<int, int, bool> cases[] = {
        {3, 30, true}, {5, 80, true}, {2, 80, false}, {3, 29, false}, {0, 0, false}};
    for (const auto &[count, points, cleared] : cases) {
        period(count, points);
        EXPECT_EQ(isCleared(state->standards, state->statistics, 4, 7), cleared)
            << count << " drills, " << points << " points";
    }
    // The all-time sums do not clear a level.
    period(0, 0);
    state->statistics.allTimeCount(4, 7) = 10;
    state->statistics.allTimePoints(4, 7) = 100;
    EXPECT_FALSE(isCleared(state->standards, state->statistics, 4, 7));
    EXPECT_FALSE(isCleared(state->standards, state->statistics, 36, 7));
    EXPECT_FALSE(isCleared(state->standards, state->statistics, 4, -1));
}

TEST_F(RulesFixture, OverPractiseClosesALevelByDrillsOrPointsAndALimitOfZeroIsOff)
{
    struct Case
    {
        QVariant countLimit;
        QVariant pointsLimit;
        int count;
        int points;
        bool closed;
    };
    const Case cases[] = {
        {8, 0, 8, 0, true},        {8, 0, 7, 1000, false},
        {0, 50, 100, 50, true},    {0, 50, 100, 49, false},
        {0, 0, 1000, 1000, false}, {QStringLiteral("なし"), QStringLiteral("0"), 1000, 1000, false},
        {3, 40, 1, 40, true},      {QStringLiteral("3"), 0, 3, 0, true},
    };
    for (const Case &c : cases) {
        state->standards.overPracticeCountLimit[4] = c.countLimit;
        state->standards.overPracticePointsLimit[4] = c.pointsLimit;
        overPractice(c.count, c.points);
        EXPECT_EQ(isOverPractised(state->standards, state->statistics, 4, 7), c.closed)
            << c.countLimit.toString().toStdString() << "/" << c.pointsLimit.toString().toStdString() << ": "
            << c.count << " drills, " << c.points << " points";
    }
}

namespace {

struct JudgeFixture : RulesFixture
{
    QTemporaryDir dir;
    FakeServices fakes;
    void SetUp() override
    {
        RulesFixture::SetUp();
        state->settings.dataFolder = dir.path() + u'/';
        state->run.studentNumber = 7;
        state->run.currentLevel = 4;
        state->results.personalBest.fill(kTimeOut);
        state->results.overallBest.fill(kTimeOut);
    }
};

} // namespace

TEST_F(JudgeFixture, AlreadyClearedComesFromTheAllTimeSumsBeforeTheDrill)
{
    const std::tuple<int, int, bool> cases[] = {{3, 30, true}, {2, 30, false}, {3, 29, false}};
    for (const auto &[count, points, cleared] : cases) {
        state->statistics.allTimeCount(4, 7) = qint16(count);
        state->statistics.allTimePoints(4, 7) = points;
        period(0, 0);
        state->lastDrill.resultTime = 500;
        QString error;
        ASSERT_TRUE(succeeded(recordAndJudge({state->settings, state->run, state->standards,
                                              state->statistics, state->results, state->lastDrill},
                                             fakes.services, 4),
                              &error))
            << error.toStdString();
        EXPECT_EQ(state->lastDrill.alreadyCleared, cleared);
    }
}

TEST_F(JudgeFixture, BestsAreBeatenOnlyByALowerTimeAndTheFlagsStayUntilCleared)
{
    state->results.personalBest(4, 7) = 200;
    state->results.overallBest[4] = 120;
    QString error;

    state->lastDrill.resultTime = 150; // a personal best, not the overall one
    ASSERT_TRUE(succeeded(recordAndJudge({state->settings, state->run, state->standards, state->statistics,
                                          state->results, state->lastDrill},
                                         fakes.services, 4),
                          &error));
    EXPECT_TRUE(state->lastDrill.newPersonalBest);
    EXPECT_FALSE(state->lastDrill.newOverallBest);
    EXPECT_EQ(state->results.personalBest(4, 7), 150);

    state->lastDrill.resultTime = 120; // equal to the overall best: not a new one
    ASSERT_TRUE(succeeded(recordAndJudge({state->settings, state->run, state->standards, state->statistics,
                                          state->results, state->lastDrill},
                                         fakes.services, 4),
                          &error));
    EXPECT_FALSE(state->lastDrill.newOverallBest);

    state->lastDrill.resultTime = 100;
    ASSERT_TRUE(succeeded(recordAndJudge({state->settings, state->run, state->standards, state->statistics,
                                          state->results, state->lastDrill},
                                         fakes.services, 4),
                          &error));
    EXPECT_TRUE(state->lastDrill.newOverallBest);
    EXPECT_EQ(state->results.overallBest[4], 100);

    state->lastDrill.resultTime = kTimeOut; // a time-out beats nothing and clears no flag
    ASSERT_TRUE(succeeded(recordAndJudge({state->settings, state->run, state->standards, state->statistics,
                                          state->results, state->lastDrill},
                                         fakes.services, 4),
                          &error));
    EXPECT_TRUE(state->lastDrill.newPersonalBest);
    EXPECT_TRUE(state->lastDrill.newOverallBest);
    EXPECT_EQ(state->results.personalBest(4, 7), 100);

    const QList<ResultRecord> written = testing_support::valueOrEmpty(
        readLastRecords(resultsFilePath(state->settings.dataFolder), 10, fakes.wait), &error);
    ASSERT_EQ(written.size(), 4);
    EXPECT_EQ(written[0].time, 150);
    EXPECT_EQ(written[3].time, kTimeOut);
    EXPECT_EQ(written[3].level, 4);
    EXPECT_EQ(written[3].student, 7);
}

TEST_F(JudgeFixture, AResultThatCannotBeWrittenIsReportedNotLost)
{
    state->settings.dataFolder = dir.path() + QStringLiteral("/消えたフォルダ/");
    state->results.personalBest(4, 7) = 200;
    state->lastDrill.resultTime = 180;
    QString error;
    EXPECT_FALSE(succeeded(recordAndJudge({state->settings, state->run, state->standards, state->statistics,
                                           state->results, state->lastDrill},
                                          fakes.services, 4),
                           &error));
    EXPECT_TRUE(error.contains(QStringLiteral("180 秒"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("記録できませんでした"))) << error.toStdString();
    EXPECT_TRUE(error.contains(platform::displayPath(resultsFilePath(state->settings.dataFolder))));
    EXPECT_TRUE(state->lastDrill.newPersonalBest); // the result screen can still show the run

    state->run.studentNumber = 5001;
    EXPECT_FALSE(succeeded(recordAndJudge({state->settings, state->run, state->standards, state->statistics,
                                           state->results, state->lastDrill},
                                          fakes.services, 4),
                           &error));
    EXPECT_FALSE(error.isEmpty());
}

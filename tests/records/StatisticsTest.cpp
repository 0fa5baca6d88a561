#include "records/Statistics.h"
#include "platform/DateSerial.h"
#include "records/Judgement.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace records;
using namespace testing_support;

namespace {

// The fake clock stands at 8 December 2026, 15:30.
constexpr double kToday = 46364.0;
constexpr int kStudent = 5;

struct StatisticsFixture : ::testing::Test
{
    QTemporaryDir dir;
    FakeServices fakes;
    records_test::ScriptedWait wait;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    QList<ResultRecord> written;

    void SetUp() override
    {
        state->settings.dataFolder = dir.path() + u'/';
        Standards &s = state->standards;
        s.targetTime[2] = 100;
        s.pointMultiplier[2] = 3;
        s.passPeriodDays[2] = 7;
        s.overPracticePeriodDays[2] = 1;
        s.targetTime[4] = 2000;
        s.pointMultiplier[4] = 1;
        s.passPeriodDays[4] = 30;
        s.overPracticePeriodDays[4] = 0;
    }
    void add(double daysAgo, int level, qint32 time, int student = kStudent)
    {
        written.append(newRecord(kToday - daysAgo, 0.4, qint16(student), qint16(level), time, QString()));
    }
    void compute()
    {
        QString error;
        ASSERT_TRUE(appendRecords(resultsFilePath(state->settings.dataFolder), written, wait, &error));
        written.clear();
        computeStatistics(*state, fakes.services, wait);
    }
    const Statistics &stats() const { return state->statistics; }
};

} // namespace

TEST_F(StatisticsFixture, WindowsCountTodayAndThePeriodsDaysBefore)
{
    add(0, 2, 50);   // 11 base points, times 3
    add(6, 2, 100);  // 5 base points
    add(7, 2, 150);  // 4 base points; seven days back is outside a seven-day period
    add(30, 2, 200); // 1 base point
    add(0, 2, 60, kStudent + 1);
    compute();
    const Statistics &s = stats();
    EXPECT_EQ(s.allTimeCount(2, kStudent), 4);
    EXPECT_EQ(s.allTimePoints(2, kStudent), 33 + 15 + 12 + 3);
    EXPECT_EQ(s.allTimeTimeSum(2, kStudent), 500);
    EXPECT_EQ(s.allTimeAverageTime(2, kStudent), 125.0f);
    EXPECT_EQ(s.passPeriodCount(2, kStudent), 2);
    EXPECT_EQ(s.passPeriodPoints(2, kStudent), 48);
    EXPECT_EQ(s.overPracticePeriodCount(2, kStudent), 1);
    EXPECT_EQ(s.overPracticePeriodPoints(2, kStudent), 33);
    EXPECT_EQ(s.todayCount(2, kStudent), 1.0f);
    EXPECT_EQ(s.todayPoints(2, kStudent), 33);
    EXPECT_EQ(s.todayTimeSum(2, kStudent), 50.0f);
    EXPECT_EQ(s.todayAverageTime(2, kStudent), 50.0f);
    EXPECT_EQ(s.allTimeCount(2, kStudent + 1), 1);
    EXPECT_EQ(s.allTimeCount(4, kStudent), 0);
}

TEST_F(StatisticsFixture, PeriodsReachBackFromNowAndAPeriodOfZeroCountsNothing)
{
    // Now is 15:30, so "now minus 1.5 days" is yesterday 03:30 (yesterday's records, dated 00:00, are
    // out) and "now minus 1.7 days" is the day before yesterday 22:40 (yesterday's are in).
    const std::pair<QVariant, int> cases[] = {
        {0, 0}, {1, 1}, {1.5, 1}, {1.7, 2}, {2, 2}, {3, 3}, {QStringLiteral("2日"), 2}};
    for (const auto &[days, expected] : cases) {
        state->standards.passPeriodDays[2] = days;
        add(0, 2, 50);
        add(1, 2, 50);
        add(2, 2, 50);
        QFile::remove(resultsFilePath(state->settings.dataFolder));
        compute();
        EXPECT_EQ(stats().passPeriodCount(2, kStudent), expected) << days.toString().toStdString();
    }
}

TEST_F(StatisticsFixture, TimeOutsAreNoDrillsEarnNothingAndAdd999ToTheSums)
{
    state->statistics.allTimeAverageTime(2, kStudent) = 77.0f;
    state->statistics.todayAverageTime(2, kStudent) = 66.0f;
    add(0, 2, kTimeOut);
    compute();
    const Statistics &s = stats();
    EXPECT_EQ(s.allTimeCount(2, kStudent), 0);
    EXPECT_EQ(s.passPeriodCount(2, kStudent), 0);
    EXPECT_EQ(s.todayCount(2, kStudent), 0.0f);
    EXPECT_EQ(s.allTimePoints(2, kStudent), 0);
    EXPECT_EQ(s.allTimeTimeSum(2, kStudent), 999);
    EXPECT_EQ(s.todayTimeSum(2, kStudent), 999.0f);
    // Averages of cells without drills keep what they held.
    EXPECT_EQ(s.allTimeAverageTime(2, kStudent), 77.0f);
    EXPECT_EQ(s.todayAverageTime(2, kStudent), 66.0f);
}

TEST_F(StatisticsFixture, LongTimesCountByTheirFirstThreeDigitsAndAveragesRoundHalfUp)
{
    add(0, 4, 1234); // 46 points by its three characters 123
    add(3, 2, 100);
    add(3, 2, 101); // average 100.5
    compute();
    const Statistics &s = stats();
    EXPECT_EQ(s.allTimePoints(4, kStudent), 46);
    EXPECT_EQ(s.allTimeTimeSum(4, kStudent), 123);
    EXPECT_EQ(s.allTimeAverageTime(4, kStudent), 123.0f);
    EXPECT_EQ(s.passPeriodCount(4, kStudent), 1);
    EXPECT_EQ(s.overPracticePeriodCount(4, kStudent), 0); // a period of 0 days
    EXPECT_EQ(s.allTimeAverageTime(2, kStudent), 101.0f);
}

TEST_F(StatisticsFixture, EveryComputationStartsFromTheFileAlone)
{
    add(0, 2, 50);
    add(0, 2, 60);
    compute();
    computeStatistics(*state, fakes.services, wait);
    EXPECT_EQ(stats().allTimeCount(2, kStudent), 2);
    EXPECT_EQ(stats().todayPoints(2, kStudent), 3 * (11 + 8));
}

TEST_F(StatisticsFixture, TheRulesReadTheComputedStatistics)
{
    Standards &s = state->standards;
    s.clearCount[2] = 3;
    s.clearPoints[2] = 30;
    s.overPracticeCountLimit[2] = 3;
    s.overPracticePointsLimit[2] = 0;
    add(0, 2, 80);
    add(0, 2, 80);
    compute();
    EXPECT_FALSE(isCleared(*state, 2, kStudent));
    EXPECT_FALSE(isOverPractised(*state, 2, kStudent));
    add(3, 2, 80);
    compute();
    EXPECT_TRUE(isCleared(*state, 2, kStudent));        // three drills within seven days
    EXPECT_FALSE(isOverPractised(*state, 2, kStudent)); // only two of them today
    add(0, 2, 80);
    compute();
    EXPECT_TRUE(isOverPractised(*state, 2, kStudent));
}

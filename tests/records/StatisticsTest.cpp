#include "records/Statistics.h"
#include "platform/DateSerial.h"
#include "records/Judgement.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

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
        ASSERT_TRUE(testing_support::succeeded(
            appendRecords(resultsFilePath(state->settings.dataFolder), written, wait), &error));
        written.clear();
        computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                          state->statistics, fakes.services, wait);
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
    computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                      state->statistics, fakes.services, wait);
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
    EXPECT_FALSE(isCleared(state->standards, state->statistics, 2, kStudent));
    EXPECT_FALSE(isOverPractised(state->standards, state->statistics, 2, kStudent));
    add(3, 2, 80);
    compute();
    EXPECT_TRUE(
        isCleared(state->standards, state->statistics, 2, kStudent)); // three drills within seven days
    EXPECT_FALSE(isOverPractised(state->standards, state->statistics, 2, kStudent)); // only two of them today
    add(0, 2, 80);
    compute();
    EXPECT_TRUE(isOverPractised(state->standards, state->statistics, 2, kStudent));
}

namespace {

// Records written straight into the results arrays, one per student at one level, all dated today.
struct FilledStatistics
{
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    const QDateTime now{QDate(2026, 12, 8), QTime(15, 30)};

    void add(int level, int student, qint32 time, double date = kToday)
    {
        Results &r = state->results;
        const int i = ++r.recordCount;
        r.recLevel[i] = qint16(level);
        r.recStudent[i] = qint16(student);
        r.recResultTime[i] = time;
        r.recDate[i] = date;
    }
    void fill()
    {
        clearStatisticSums(state->statistics);
        fillStatistics(state->standards, state->results, state->statistics, now);
    }
};

} // namespace

TEST(StatisticsPoints, EveryRunAddsWhatTheRulesGiveWhateverTheStandards)
{
    struct Standard
    {
        qint32 target;
        qint32 multiplier;
    };
    const Standard standards[] = {
        {100, 3}, {1, 1}, {0, 2}, {-5, 1}, {250, -4}, {1023, 1}, {1024, 2}, {12000, 1}, {300, 2000000000},
    };
    for (const Standard &standard : standards) {
        FilledStatistics f;
        const int level = 6;
        f.state->standards.targetTime[level] = standard.target;
        f.state->standards.pointMultiplier[level] = standard.multiplier;
        f.state->standards.passPeriodDays[level] = 7;
        f.state->standards.overPracticePeriodDays[level] = 1;
        const qint64 t = standard.target;
        std::vector<qint64> times = {-1234, -100, -99,  -5,   -1,    0,     1,     999,   1000,
                                     1234,  5999, 6000, 9999, 10000, 99997, 99998, 99999, 2147483647};
        for (qint64 around : {t, 2 * t, 10 * t})
            for (qint64 d = -1; d <= 1; ++d)
                times.push_back(around + d);
        std::vector<qint32> used;
        for (qint64 time : times) {
            if (time < std::numeric_limits<qint32>::min() || time > std::numeric_limits<qint32>::max())
                continue;
            used.push_back(qint32(time));
            f.add(level, int(used.size()), qint32(time));
        }
        f.fill();
        const Statistics &s = f.state->statistics;
        for (std::size_t i = 0; i < used.size(); ++i) {
            const int student = int(i) + 1;
            const qint32 time = used[i];
            const qint32 expected = addedPoints(runPoints(time, standard.target, true), standard.multiplier);
            SCOPED_TRACE(testing::Message() << "target " << standard.target << " multiplier "
                                            << standard.multiplier << " time " << time);
            EXPECT_EQ(s.allTimePoints(level, student), expected);
            EXPECT_EQ(s.passPeriodPoints(level, student), expected);
            EXPECT_EQ(s.overPracticePeriodPoints(level, student), expected);
            EXPECT_EQ(s.todayPoints(level, student), expected);
            EXPECT_EQ(s.allTimeTimeSum(level, student), threeCharacterTime(time));
            EXPECT_EQ(s.allTimeCount(level, student), time < kCountedDrillLimit ? 1 : 0);
        }
    }
}

TEST(StatisticsPoints, SumsStopAtTheLimitsOf32BitsInsteadOfWrapping)
{
    FilledStatistics f;
    Standards &standards = f.state->standards;
    standards.targetTime[2] = 100;
    standards.pointMultiplier[2] = 50000000; // 55 base points make 2750000000, kept at 2147483647
    standards.targetTime[4] = 100;
    standards.pointMultiplier[4] = -50000000;
    standards.targetTime[8] = 100;
    standards.pointMultiplier[8] = 1000; // large, but 20000 runs of it still fit
    for (int level : {2, 4, 8})
        standards.passPeriodDays[level] = 30;
    for (int i = 0; i < 40; ++i) {
        f.add(2, 1, 0);
        f.add(4, 1, 0);
        f.add(8, 1, 0);
    }
    f.fill();
    const Statistics &s = f.state->statistics;
    EXPECT_EQ(s.allTimePoints(2, 1), std::numeric_limits<qint32>::max());
    EXPECT_EQ(s.passPeriodPoints(2, 1), std::numeric_limits<qint32>::max());
    EXPECT_EQ(s.todayPoints(2, 1), std::numeric_limits<qint32>::max());
    EXPECT_EQ(s.allTimePoints(4, 1), std::numeric_limits<qint32>::min());
    EXPECT_EQ(s.todayPoints(4, 1), std::numeric_limits<qint32>::min());
    EXPECT_EQ(s.allTimePoints(8, 1), 40 * 55000);
    EXPECT_EQ(s.passPeriodPoints(8, 1), 40 * 55000);
    EXPECT_EQ(s.allTimeCount(2, 1), 40);
    EXPECT_EQ(s.allTimeAverageTime(2, 1), 0.0f);
}

TEST(StatisticsTables, EachFigureHasItsOwnPlaceAndClearingKeepsOnlyTheAverages)
{
    auto state = std::make_unique<AppState>();
    Statistics &s = state->statistics;
    const std::pair<int, int> cells[] = {{0, 0}, {3, 4999}, {3, 5000}, {4, 0}, {35, 5000}};
    int value = 1;
    for (auto [level, student] : cells) {
        s.allTimeCount(level, student) = qint16(value++);
        s.allTimePoints(level, student) = value++;
        s.allTimeTimeSum(level, student) = value++;
        s.allTimeAverageTime(level, student) = float(value++);
        s.passPeriodCount(level, student) = qint16(value++);
        s.passPeriodPoints(level, student) = value++;
        s.overPracticePeriodCount(level, student) = qint16(value++);
        s.overPracticePeriodPoints(level, student) = value++;
        s.todayCount(level, student) = float(value++);
        s.todayPoints(level, student) = value++;
        s.todayTimeSum(level, student) = float(value++);
        s.todayAverageTime(level, student) = float(value++);
    }
    const Statistics &read = s;
    value = 1;
    for (auto [level, student] : cells) {
        SCOPED_TRACE(testing::Message() << "level " << level << " student " << student);
        EXPECT_EQ(read.allTimeCount(level, student), value++);
        EXPECT_EQ(read.allTimePoints(level, student), value++);
        EXPECT_EQ(read.allTimeTimeSum(level, student), value++);
        EXPECT_EQ(read.allTimeAverageTime(level, student), float(value++));
        EXPECT_EQ(read.passPeriodCount(level, student), value++);
        EXPECT_EQ(read.passPeriodPoints(level, student), value++);
        EXPECT_EQ(read.overPracticePeriodCount(level, student), value++);
        EXPECT_EQ(read.overPracticePeriodPoints(level, student), value++);
        EXPECT_EQ(read.todayCount(level, student), float(value++));
        EXPECT_EQ(read.todayPoints(level, student), value++);
        EXPECT_EQ(read.todayTimeSum(level, student), float(value++));
        EXPECT_EQ(read.todayAverageTime(level, student), float(value++));
    }

    clearStatisticSums(s);
    value = 1;
    for (auto [level, student] : cells) {
        SCOPED_TRACE(testing::Message() << "level " << level << " student " << student);
        EXPECT_EQ(read.allTimeCount(level, student), 0);
        EXPECT_EQ(read.allTimePoints(level, student), 0);
        EXPECT_EQ(read.allTimeTimeSum(level, student), 0);
        EXPECT_EQ(read.allTimeAverageTime(level, student), float(value + 3));
        EXPECT_EQ(read.passPeriodCount(level, student), 0);
        EXPECT_EQ(read.passPeriodPoints(level, student), 0);
        EXPECT_EQ(read.overPracticePeriodCount(level, student), 0);
        EXPECT_EQ(read.overPracticePeriodPoints(level, student), 0);
        EXPECT_EQ(read.todayCount(level, student), 0.0f);
        EXPECT_EQ(read.todayPoints(level, student), 0);
        EXPECT_EQ(read.todayTimeSum(level, student), 0.0f);
        EXPECT_EQ(read.todayAverageTime(level, student), float(value + 11));
        value += 12;
    }
}

TEST(StatisticsAverages, AveragesComeFromTheCompleteSumsOfEveryCellWithADrill)
{
    FilledStatistics f;
    f.state->standards.targetTime[2] = 100;
    f.state->standards.pointMultiplier[2] = 1;
    f.state->statistics.allTimeAverageTime(2, 3) = 7.0f;
    f.add(2, 1, kTimeOut); // the time-out's 999 is in the sum, but not in the count
    f.add(2, 1, 50);
    f.add(2, 2, 60);
    f.add(2, 2, 61);
    f.add(2, 3, 7000); // no counted drill: the average stays
    f.add(2, 2, 62, kToday - 3);
    f.fill();
    const Statistics &s = f.state->statistics;
    EXPECT_EQ(s.allTimeAverageTime(2, 1), 1049.0f);
    EXPECT_EQ(s.todayAverageTime(2, 1), 1049.0f);
    EXPECT_EQ(s.allTimeAverageTime(2, 2), 61.0f); // 183 / 3
    EXPECT_EQ(s.todayAverageTime(2, 2), 61.0f);   // 121 / 2 = 60.5, rounded half up
    EXPECT_EQ(s.allTimeAverageTime(2, 3), 7.0f);
}

TEST(StatisticsOnePass, ReadingTheFileAndAddingUpInOnePassGivesWhatTheTwoStepsGive)
{
    // The statistics read the file and add up each record as it is read; the same file read into the
    // results arrays first and added up from them must give the same arrays, bests and figures.
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QByteArray file;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Odd records: outside the tables, student or level 0, dates that are negative, missing or not
    // whole days, a mode other than this program's, and times on every side of the targets.
    file += records_test::rawRecord(kToday, 0.5, 3, 36, 50);
    file += records_test::rawRecord(kToday, 0.5, 5001, 2, 50);
    file += records_test::rawRecord(kToday, 0.5, -1, 2, 50);
    file += records_test::rawRecord(kToday, 0.5, 0, 2, 40);
    file += records_test::rawRecord(kToday, 0.5, 3, 0, 40);
    file += records_test::rawRecord(-1.0, 0.5, 3, 2, 30);
    file += records_test::rawRecord(nan, 0.5, 3, 2, 30);
    file += records_test::rawRecord(kToday - 0.5, 0.5, 3, 2, 70);
    file += records_test::rawRecord(kToday, 0.5, 3, 2, 80, "     ", "     ", "-12  ");
    const qint32 times[] = {-1234, -5,  0,   1,    99,   100,  101,  150,  199,
                            200,   201, 999, 1000, 1234, 5999, 6000, 99999};
    int n = 0;
    for (int level : {2, 4, 6, 8, 35})
        for (qint32 time : times)
            for (int daysAgo : {0, 1, 6, 7, 40}) {
                const int student = 1 + (n * 37) % 5000;
                file += records_test::rawRecord(kToday - daysAgo, 0.25, qint16(student), qint16(level), time);
                file +=
                    records_test::rawRecord(kToday - daysAgo, 0.75, qint16(student), qint16(level), time + 7);
                ++n;
            }
    testing_support::writeBytes(resultsFilePath(folder), file);

    auto makeState = [&] {
        auto state = std::make_unique<AppState>();
        state->settings.dataFolder = folder;
        Standards &s = state->standards;
        const qint32 targets[] = {0, 0, 100, 0, 1, 0, -5, 0, 1500, 0, 0};
        for (int level : {2, 4, 6, 8}) {
            s.targetTime[level] = targets[level];
            s.pointMultiplier[level] = level == 8 ? 2000000000 : 3;
            s.passPeriodDays[level] = 7;
            s.overPracticePeriodDays[level] = level == 4 ? QVariant(1.5) : QVariant(1);
        }
        s.targetTime[35] = 300;
        s.pointMultiplier[35] = -2;
        s.passPeriodDays[35] = 30;
        // Student 2961 has only time-outs at level 2, today among other days: the averages stay.
        state->statistics.allTimeAverageTime(2, 2961) = 12.0f;
        state->statistics.todayAverageTime(2, 2961) = 34.0f;
        state->results.highestLevel[3] = 20;
        return state;
    };
    FakeServices fakes;
    records_test::ScriptedWait wait;
    auto onePass = makeState();
    computeStatistics({onePass->settings, onePass->catalogue}, onePass->standards, onePass->results,
                      onePass->statistics, fakes.services, wait);
    auto twoSteps = makeState();
    app::report(fakes.services,
                readResults({twoSteps->settings, twoSteps->catalogue}, twoSteps->results, wait));
    clearStatisticSums(twoSteps->statistics);
    fillStatistics(twoSteps->standards, twoSteps->results, twoSteps->statistics, fakes.clock.now());

    const Results &a = onePass->results;
    const Results &b = twoSteps->results;
    ASSERT_EQ(a.recordCount, b.recordCount);
    EXPECT_EQ(a.recordCount, 2 * n + 2);
    for (int i = 1; i <= a.recordCount; ++i) {
        SCOPED_TRACE(testing::Message() << "record " << i);
        EXPECT_EQ(a.recDate[i], b.recDate[i]);
        EXPECT_EQ(a.recClock[i], b.recClock[i]);
        EXPECT_EQ(a.recStudent[i], b.recStudent[i]);
        EXPECT_EQ(a.recLevel[i], b.recLevel[i]);
        EXPECT_EQ(a.recResultTime[i], b.recResultTime[i]);
        EXPECT_EQ(a.recMode[i], b.recMode[i]);
    }
    EXPECT_EQ(a.overallBest, b.overallBest);
    EXPECT_EQ(a.hasResults, b.hasResults);
    EXPECT_EQ(a.highestLevel, b.highestLevel);
    int differences = 0;
    for (int level = 0; level <= kMaxLevel; ++level)
        for (int student = 0; student <= kMaxStudentNumber; ++student) {
            const Statistics &x = onePass->statistics;
            const Statistics &y = twoSteps->statistics;
            const bool same = a.personalBest(level, student) == b.personalBest(level, student) &&
                              std::memcmp(&x.sums(level, student), &y.sums(level, student),
                                          sizeof(Statistics::Sums)) == 0 &&
                              std::memcmp(&x.averages(level, student), &y.averages(level, student),
                                          sizeof(Statistics::Averages)) == 0;
            if (!same && ++differences <= 5)
                ADD_FAILURE() << "level " << level << " student " << student << " differs";
        }
    EXPECT_EQ(differences, 0);
    // The figures compared are not all zero.
    EXPECT_EQ(onePass->statistics.allTimeCount(2, 1), 2);
    EXPECT_EQ(onePass->statistics.todayTimeSum(2, 2961), 999.0f + 100.0f);
    EXPECT_EQ(onePass->statistics.allTimeAverageTime(2, 2961), 12.0f);
    EXPECT_EQ(onePass->statistics.todayAverageTime(2, 2961), 34.0f);
}

// The drill's "本日 N回目" counts the day's runs of levels 1 to 15 only; the result screen's day total
// (above) counts every level.
TEST(TodayRuns, TheDrillsDayCountLeavesOutLevelsAbove15)
{
    auto stats = std::make_unique<Statistics>();
    stats->todayCount(8, 7) = 2;
    stats->todayCount(2, 7) = 1;
    stats->todayCount(4, 7) = 1;
    stats->todayCount(15, 7) = 1;
    stats->todayCount(16, 7) = 3;
    stats->todayCount(20, 7) = 1;
    stats->todayCount(0, 7) = 9; // level 0 is no level
    const drill::TodayRuns atLevel20 = todayRuns(*stats, 20, 7);
    EXPECT_EQ(atLevel20.atLevel, 1);
    EXPECT_EQ(atLevel20.ofTheDay, 5);
    EXPECT_EQ(todayRuns(*stats, 8, 7).atLevel, 2);
    EXPECT_EQ(todayTotalRuns(*stats, 7), 9);
    EXPECT_EQ(todayRuns(*stats, 8, 5001).ofTheDay, 0);
}

TEST(TodayTotalRuns, AddsEveryLevelOfOneStudentAndNothingOutsideTheRoster)
{
    auto stats = std::make_unique<Statistics>();
    stats->todayCount(1, 4) = 2;
    stats->todayCount(35, 4) = 3;
    stats->todayCount(2, 5) = 9;
    stats->todayCount(0, 4) = 40; // level 0 is no level
    EXPECT_EQ(todayTotalRuns(*stats, 4), 5);
    EXPECT_EQ(todayTotalRuns(*stats, 5), 9);
    EXPECT_EQ(todayTotalRuns(*stats, 6000), 0);
    EXPECT_EQ(todayTotalRuns(*stats, -1), 0);
    // Counts far beyond a float's whole-number steps of 1 still add up exactly.
    for (int level = 1; level <= kMaxLevel; ++level)
        stats->todayCount(level, 5000) = 16777216.0f;
    EXPECT_EQ(todayTotalRuns(*stats, 5000), qint64(16777216) * kMaxLevel);
}

// One level's count today, as the hub's column, the result screen and the drill's status panel show
// it, and the day's total as the shared state keeps it in 16 bits: capped, never wrapped round to a
// negative count.
TEST(TodayTotalRuns, OneLevelsCountAndTheKeptDayTotal)
{
    auto stats = std::make_unique<Statistics>();
    stats->todayCount(3, 4) = 7;
    EXPECT_EQ(todayLevelRuns(*stats, 3, 4), 7);
    EXPECT_EQ(todayRuns(*stats, 3, 4).atLevel, 7);
    EXPECT_EQ(todayLevelRuns(*stats, 36, 4), 0);
    EXPECT_EQ(todayLevelRuns(*stats, 3, 5001), 0);
    EXPECT_EQ(keptDayTotal(0), 0);
    EXPECT_EQ(keptDayTotal(32767), 32767);
    EXPECT_EQ(keptDayTotal(32768), 32767);
    EXPECT_EQ(keptDayTotal(qint64(16777216) * kMaxLevel), 32767);
}

#include "teacher/Distribution.h"
#include "records/RecordTestSupport.h"

#include <gtest/gtest.h>

#include "hub/QStringPrinter.h"

using namespace teacher;
using records_test::rawRecord;

namespace {

struct Runs
{
    QByteArray bytes;
    void add(int student, int level, int time, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            bytes += rawRecord(46364.0, 0.5, qint16(student), qint16(level), time);
    }
    Distribution count() const
    {
        Distribution d;
        d.count(bytes.constData(), bytes.size() / 44);
        return d;
    }
};

QString star(int n)
{
    return QString(n, u'★');
}

} // namespace

TEST(FrequencyPanel, ALevelWithoutResultsShowsUnitOneAndEmptyBuckets)
{
    const QStringList all = allResultsLines(Runs().count(), 5);
    ASSERT_EQ(all.size(), 102);
    EXPECT_EQ(all[0], QStringLiteral("レベル5 今まで0回  （★=1）"));
    EXPECT_EQ(all[1], QStringLiteral("  0～"));
    EXPECT_EQ(all[2], QStringLiteral("  10～"));
    EXPECT_EQ(all[11], QStringLiteral(" 100～"));
    EXPECT_EQ(all[101], QStringLiteral("1000～"));
    const QStringList best = bestTimeLines(Runs().count(), 5);
    ASSERT_EQ(best.size(), 102);
    EXPECT_EQ(best[0], QStringLiteral("レベル5 （★=1）"));
    EXPECT_EQ(best[31], QStringLiteral(" 300～"));
}

TEST(FrequencyPanel, AStudentWhoRanThreeTimesCountsThreeTimesInAllAndOnceAtTheBest)
{
    Runs runs;
    runs.add(131, 2, 125);
    runs.add(131, 2, 35);
    runs.add(131, 2, 42);
    runs.add(132, 4, 20); // another level
    const Distribution d = runs.count();
    const QStringList all = allResultsLines(d, 2);
    EXPECT_EQ(all[0], QStringLiteral("レベル2 今まで3回  （★=1）"));
    EXPECT_EQ(all[1 + 3], QStringLiteral("  30～★"));
    EXPECT_EQ(all[1 + 4], QStringLiteral("  40～★"));
    EXPECT_EQ(all[1 + 12], QStringLiteral(" 120～★"));
    EXPECT_EQ(all[1 + 2], QStringLiteral("  20～"));
    const QStringList best = bestTimeLines(d, 2);
    EXPECT_EQ(best[1 + 3], QStringLiteral("  30～★"));
    EXPECT_EQ(best.filter(QStringLiteral("★")).size(), 2); // the heading and bucket 3
}

TEST(FrequencyPanel, ATimeOutFallsInTheLastBucketAndItsBestInBucketThirty)
{
    Runs runs;
    runs.add(7, 6, 99999);
    const Distribution d = runs.count();
    EXPECT_EQ(allResultsLines(d, 6)[101], QStringLiteral("1000～★"));
    EXPECT_EQ(bestTimeLines(d, 6)[31], QStringLiteral(" 300～★"));
    EXPECT_EQ(d.best(6, 30), 1);
}

TEST(FrequencyPanel, StarsStandForATenthOfTheLargestCountRounded)
{
    Runs runs;
    for (int s = 1; s <= 25; ++s)
        runs.add(s, 3, 65);
    runs.add(101, 3, 70, 4); // four runs of one student in bucket 7
    runs.add(102, 3, 85, 3);
    const QStringList all = allResultsLines(runs.count(), 3);
    EXPECT_EQ(all[0], QStringLiteral("レベル3 今まで32回  （★=2）"));
    EXPECT_EQ(all[1 + 6], QStringLiteral("  60～") + star(13)); // 25 / 2 + 0.5
    EXPECT_EQ(all[1 + 7], QStringLiteral("  70～") + star(2));  // 4 / 2 + 0.5
    EXPECT_EQ(all[1 + 8], QStringLiteral("  80～") + star(2));  // 3 / 2 + 0.5
    const QStringList best = bestTimeLines(runs.count(), 3);
    EXPECT_EQ(best[0], QStringLiteral("レベル3 （★=2）"));
    EXPECT_EQ(best[1 + 7], QStringLiteral("  70～") + star(1)); // one student: 1 / 2 + 0.5
}

TEST(FrequencyPanel, RecordsOfLevelZeroAndOutsideTheTableAreNotCounted)
{
    Runs runs;
    runs.add(1, 0, 50);
    runs.add(1, 51, 50);
    runs.add(1, -3, 50);
    runs.add(1, 9, -20);
    runs.add(6000, 9, 50); // a student number outside the roster's range still has a best
    runs.add(6000, 9, 300);
    const Distribution d = runs.count();
    EXPECT_EQ(d.runs(0), 0);
    EXPECT_EQ(d.runs(9), 2);
    EXPECT_EQ(d.best(9, 5), 1);
    EXPECT_EQ(d.best(9, 30), 0);
    EXPECT_EQ(allResultsLines(d, 51).size(), 102);
}

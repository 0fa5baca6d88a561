#include "hub/Rankings.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace hub;

namespace {
const QString S = QStringLiteral("　");

// Five listed students in roster order 11, 12, 13, 14, 15; 13 is the student of the run. Grades:
// 11 and 12 in grade 3, 13 in grade 5, 14 in grade 8, 15 in senior high.
struct School
{
    std::unique_ptr<roster::Roster> roster = std::make_unique<roster::Roster>();
    School()
    {
        const int numbers[] = {11, 12, 13, 14, 15};
        const char16_t *names[] = {u"青木", u"石田めい", u"上田はると君", u"遠藤", u"岡田"};
        const int years[] = {2016, 2016, 2014, 2011, 2008};
        roster->rosterCount = 5;
        for (int i = 0; i < 5; ++i) {
            roster->rosterNumbers[std::size_t(i + 1)] = qint16(numbers[i]);
            roster->studentNames[std::size_t(numbers[i])] =
                (QString::fromUtf16(names[i]) + QString(20, u' ')).left(20);
            roster->studentBirthYears[std::size_t(numbers[i])] = qint16(years[i]);
        }
    }
    RowStudents rows(const std::function<bool(int)> &shows = [](int) { return true; }) const
    {
        return rowStudents(
            *roster, 13, [](int year) { return 2025 - year - 6; }, shows);
    }
};
} // namespace

TEST(RowPieces, MarksNamesAndRanks)
{
    EXPECT_EQ(gradeMark(1), QStringLiteral("①"));
    EXPECT_EQ(gradeMark(6), QStringLiteral("⑥"));
    EXPECT_EQ(gradeMark(7), QStringLiteral("Ⅰ"));
    EXPECT_EQ(gradeMark(9), QStringLiteral("Ⅲ"));
    EXPECT_EQ(gradeMark(0), S);
    EXPECT_EQ(gradeMark(10), S);

    EXPECT_EQ(rankingName(QStringLiteral("青木  ")), QStringLiteral("青木") + S.repeated(3));
    EXPECT_EQ(rankingName(QStringLiteral("上田はると君")), QStringLiteral("上田はると"));
    EXPECT_EQ(rankingName(QStringLiteral(" 青木")), QStringLiteral(" 青木") + S + S);
    EXPECT_EQ(runListName(QStringLiteral(" 青木 ")), QStringLiteral("青木") + S.repeated(3));
    EXPECT_EQ(runListName(QString()), S.repeated(4));

    EXPECT_EQ(rankText(1), QStringLiteral("1"));
    EXPECT_EQ(rankText(12), QStringLiteral("12"));
    EXPECT_EQ(rankText(123), QStringLiteral("23"));
}

TEST(RankingRows, EveryKindOfBestTimeRow)
{
    const QString name = rankingName(QStringLiteral("青木"));
    EXPECT_EQ(bestTimeRow(3, QStringLiteral("③"), name, 95, false),
              QStringLiteral("3③青木") + S.repeated(3) + QStringLiteral("    95 ") + S);
    EXPECT_EQ(bestTimeRow(12, QStringLiteral("●"), name, 1234, true),
              QStringLiteral("12●青木") + S.repeated(3) + QStringLiteral("  1234 ●"));
    EXPECT_EQ(bestTimeRow(4, QStringLiteral("①"), name, 99998, false),
              QStringLiteral("4①青木") + S.repeated(3) + QStringLiteral("*失敗* ") + S);
    EXPECT_EQ(bestTimeRow(5, QStringLiteral("①"), name, 99999, false),
              QStringLiteral("--①青木") + S.repeated(3) + QStringLiteral("------ ") + S);
    EXPECT_EQ(pointsRow(2, QStringLiteral("Ⅱ"), name, 7, 345),
              QStringLiteral("2Ⅱ青木") + S.repeated(3) + QStringLiteral("  7/  345"));
    EXPECT_EQ(pointsRow(10, QStringLiteral("●"), name, 1234, 123456),
              QStringLiteral("10●青木") + S.repeated(3) + QStringLiteral("234/23456"));
}

TEST(BestTimeRanking, TiesShareARankAndTheNextRankSkipsEvenUnderAGradeFilter)
{
    School school;
    auto best = std::make_unique<LevelStudentTable<qint32>>();
    best->fill(99999);
    (*best)(2, 11) = 120;
    (*best)(2, 12) = 90;
    (*best)(2, 13) = 120;
    (*best)(2, 14) = 99998;
    // 15 has no run.

    const RankedList all = bestTimeRanking(school.rows(), *best, 2);
    ASSERT_EQ(all.rows.size(), 5);
    EXPECT_TRUE(all.rows[0].startsWith(QStringLiteral("1③石田めい")));
    // Equal times keep the roster order: 11 before 13.
    EXPECT_TRUE(all.rows[1].startsWith(QStringLiteral("2③青木")));
    EXPECT_TRUE(all.rows[2].startsWith(QStringLiteral("2●上田はると")));
    EXPECT_TRUE(all.rows[2].endsWith(QStringLiteral("   120 ●")));
    EXPECT_TRUE(all.rows[3].startsWith(QStringLiteral("4Ⅱ遠藤")));
    EXPECT_TRUE(all.rows[3].contains(QStringLiteral("*失敗*")));
    EXPECT_TRUE(all.rows[4].startsWith(QStringLiteral("--") + S + QStringLiteral("岡田")));
    EXPECT_EQ(all.ownRow, 2);

    // Grade 5 and 8 only: the ranks stay those of the whole school.
    const RankedList some = bestTimeRanking(school.rows([](int g) { return g == 5 || g == 8; }), *best, 2);
    ASSERT_EQ(some.rows.size(), 2);
    EXPECT_TRUE(some.rows[0].startsWith(QStringLiteral("2●")));
    EXPECT_TRUE(some.rows[1].startsWith(QStringLiteral("4Ⅱ")));
    EXPECT_EQ(some.ownRow, 0);

    const RankedList none = bestTimeRanking(school.rows([](int g) { return g == 3; }), *best, 2);
    EXPECT_EQ(none.rows.size(), 2);
    EXPECT_EQ(none.ownRow, -1);
}

TEST(PointsRanking, AccumulatedOrderSharesRanksOnPointsSoFarAndListsMoreTodayPointsFirst)
{
    School school;
    auto stats = std::make_unique<records::Statistics>();
    stats->allTimePoints(4, 11) = 50;
    stats->todayPoints(4, 11) = 5;
    stats->allTimePoints(4, 12) = 80;
    stats->allTimePoints(4, 13) = 50;
    stats->todayPoints(4, 13) = 20;
    stats->allTimePoints(4, 14) = 10;
    const RankedList list = pointsRanking(school.rows(), *stats, 4, PointsOrder::Accumulated);
    ASSERT_EQ(list.rows.size(), 5);
    EXPECT_TRUE(list.rows[0].startsWith(QStringLiteral("1③石田めい")));
    EXPECT_TRUE(list.rows[1].startsWith(QStringLiteral("2●上田はると")));
    EXPECT_TRUE(list.rows[1].endsWith(QStringLiteral(" 20/   50")));
    EXPECT_TRUE(list.rows[2].startsWith(QStringLiteral("2③青木")));
    EXPECT_TRUE(list.rows[3].startsWith(QStringLiteral("4Ⅱ遠藤")));
    EXPECT_TRUE(list.rows[4].startsWith(QStringLiteral("5") + S + QStringLiteral("岡田")));
    EXPECT_TRUE(list.rows[4].endsWith(QStringLiteral("  0/    0")));
    EXPECT_EQ(list.ownRow, 1);
}

TEST(PointsRanking, TodaysOrderDropsStudentsWithoutPointsTodayButCountsThemForRanks)
{
    School school;
    auto stats = std::make_unique<records::Statistics>();
    stats->todayPoints(4, 12) = 30;
    stats->allTimePoints(4, 12) = 30;
    stats->todayPoints(4, 14) = 30;
    stats->allTimePoints(4, 14) = 900;
    stats->allTimePoints(4, 13) = 5000;
    stats->todayPoints(4, 15) = 2;
    stats->allTimePoints(4, 15) = 2;
    const RankedList list = pointsRanking(school.rows(), *stats, 4, PointsOrder::Today);
    ASSERT_EQ(list.rows.size(), 3);
    // Equal points today: more points so far come first, and both share rank 1.
    EXPECT_TRUE(list.rows[0].startsWith(QStringLiteral("1Ⅱ遠藤")));
    EXPECT_TRUE(list.rows[1].startsWith(QStringLiteral("1③石田めい")));
    EXPECT_TRUE(list.rows[2].startsWith(QStringLiteral("3")));
    EXPECT_EQ(list.ownRow, -1);
}

TEST(PointsRanking, ManyPointsTodayDoNotOutweighPointsSoFar)
{
    // A thousand points or more in one day must not push a student above one with more points so far.
    School school;
    auto stats = std::make_unique<records::Statistics>();
    stats->allTimePoints(6, 11) = 5000;
    stats->todayPoints(6, 11) = 1500;
    stats->allTimePoints(6, 12) = 5001;
    const RankedList list = pointsRanking(school.rows(), *stats, 6, PointsOrder::Accumulated);
    EXPECT_TRUE(list.rows[0].startsWith(QStringLiteral("1③石田めい")));
    EXPECT_TRUE(list.rows[1].startsWith(QStringLiteral("2③青木")));

    stats->todayPoints(6, 12) = 1;
    stats->allTimePoints(6, 12) = 1;
    stats->todayPoints(6, 13) = 2;
    stats->allTimePoints(6, 13) = 2;
    const RankedList today = pointsRanking(school.rows(), *stats, 6, PointsOrder::Today);
    ASSERT_EQ(today.rows.size(), 3);
    EXPECT_TRUE(today.rows[0].startsWith(QStringLiteral("1③青木")));
    EXPECT_TRUE(today.rows[1].startsWith(QStringLiteral("2●")));
    EXPECT_TRUE(today.rows[2].startsWith(QStringLiteral("3③石田めい")));
}

TEST(RankingScroll, TheRowBeforeTheOwnRowGoesToTheTop)
{
    EXPECT_EQ(scrollTopForOwnRow(-1), -1);
    EXPECT_EQ(scrollTopForOwnRow(0), 0);
    EXPECT_EQ(scrollTopForOwnRow(1), 0);
    EXPECT_EQ(scrollTopForOwnRow(40), 39);
}

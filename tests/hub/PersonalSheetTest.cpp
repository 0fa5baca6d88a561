#include "hub/PersonalSheet.h"
#include "startup/AppState.h"

#include "drill/LevelCatalogue.h"
#include "hub/HubViews.h"
#include "hub/QStringPrinter.h"
#include "platform/DateSerial.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace hub;

namespace {
const QDate kToday(2026, 12, 8);
const QString S = QStringLiteral("　");

struct Run
{
    int daysAgo;
    int student;
    int level;
    qint32 time;
};

// Listed students 11 to 15 in roster order; 13 is the student of the run. Grades in school year 2026:
// 11 and 12 grade 3, 13 grade 5, 14 grade 8 (junior high), 15 grade 4.
struct School
{
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    std::vector<SheetRun> runs;

    School()
    {
        catalogue::applyStartupSettings(state->catalogue);
        catalogue::setUpLevels(state->catalogue);
        state->settings.schoolYearStartMonth = 4;
        roster::Roster &roster = state->roster;
        roster.currentSchoolYear = 2026;
        const int numbers[] = {11, 12, 13, 14, 15};
        const char16_t *names[] = {u"上田はると君", u"上田", u"上田はると", u"遠藤", u"岡田"};
        const int years[] = {2017, 2017, 2015, 2012, 2016};
        roster.rosterCount = 5;
        for (int i = 0; i < 5; ++i) {
            const std::size_t n = std::size_t(numbers[i]);
            roster.rosterNumbers[std::size_t(i + 1)] = qint16(numbers[i]);
            const QString name = (QString::fromUtf16(names[i]) + QString(20, u' ')).left(20);
            roster.studentNames[n] = name;
            roster.studentBirthYears[n] = qint16(years[i]);
            roster.rosterRecords[std::size_t(i + 1)] = {
                qint16(numbers[i]), qint16(years[i]), 0, 0, name, 0, {}, {}};
        }
        state->run.studentNumber = 13;
        state->results.personalBest.fill(records::kTimeOut);
    }

    // The runs as the results file holds them; the bests as the reader computes them.
    void write(const std::vector<Run> &list)
    {
        QByteArray bytes;
        for (const Run &r : list)
            bytes += records::encodeRecord(
                records::newRecord(platform::dateSerial(kToday.addDays(-r.daysAgo)), 0.5, qint16(r.student),
                                   qint16(r.level), r.time, QStringLiteral("12345")));
        runs = sheetRunsFromBytes(bytes);
        records::loadResults(bytes.constData(), bytes.size() / records::kRecordSize, state->results);
    }
    void points(int level, int student, qint32 allTime)
    {
        state->statistics.allTimePoints(level, student) = allTime;
    }

    LevelFigures figures(int student, int level, const QString &filter = QStringLiteral("全学年")) const
    {
        return levelFigures(state->results, state->statistics,
                            rowStudentsFor(state->roster, state->run.studentNumber, filter), runs, kToday,
                            student, level);
    }
};

QStringList texts(const std::vector<StatisticsLine> &lines)
{
    QStringList out;
    for (const StatisticsLine &line : lines)
        out << line.text;
    return out;
}
} // namespace

TEST(SheetFigures, TwoPassesCountTheStudentsRunsTheSchoolsAndTheNewBests)
{
    School school;
    school.write({
        {30, 13, 2, 120},
        {20, 13, 2, 90},
        {19, 13, 2, 2000},
        {18, 13, 2, 99999},
        {10, 13, 2, 95},
        {9, 13, 2, 90},
        {1, 13, 2, 60},
        {5, 11, 2, 50},
        {5, 12, 2, 1900},
        {4, 12, 2, 99999},
        {3, 13, 4, 10},
        {3651, 11, 2, 5}, // another level; too old
    });
    const LevelFigures f = school.figures(13, 2);
    EXPECT_EQ(f.runCount, 5);
    EXPECT_EQ(f.runTimeSum, 455);
    EXPECT_EQ(f.longestRun, 120);
    EXPECT_EQ(f.schoolFastest, 50);
    EXPECT_EQ(f.schoolTimeSum, 505);
    EXPECT_EQ(f.schoolRunCount, 6);
    ASSERT_EQ(f.chart.size(), 5u);
    const bool bests[] = {true, true, false, false, true}; // 120, 90, 95, an equal 90, 60
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(f.chart[i].newBest, bests[i]) << i;
    EXPECT_EQ(f.best, 60);

    const QStringList lines = texts(statisticsLines(f));
    EXPECT_EQ(lines[0], QStringLiteral("回数　　　　　　　  5回"));
    EXPECT_EQ(lines[1], QStringLiteral("タイム  　　 　    本人 / 塾全体"));
    EXPECT_EQ(lines[3], QStringLiteral("　　最高　　　　   60秒 /   50秒"));
    // 455 ÷ 5 and 505 ÷ 6 = 84.2.
    EXPECT_EQ(lines[4], QStringLiteral("　　平均　　　　   91 /   84秒"));
}

TEST(SheetFigures, AStudentWithoutARunGetsABlockWithBlanksAndNoChart)
{
    School school;
    school.write({{1, 11, 2, 100}, {1, 12, 2, 80}});
    school.points(2, 11, 11);
    school.points(2, 12, 14);
    const LevelFigures f = school.figures(13, 2);
    EXPECT_EQ(f.runCount, 0);
    EXPECT_TRUE(f.chart.empty());
    EXPECT_EQ(f.timeRank, 0);
    EXPECT_EQ(f.pointsRank, 0);

    // Zero prints as nothing; no average line without a run of one's own.
    EXPECT_EQ(
        texts(statisticsLines(f)),
        QStringList(
            {QStringLiteral("回数　　　　　　　   回"), QStringLiteral("タイム  　　 　    本人 / 塾全体"),
             QStringLiteral("　　順位　　　　     位"), QStringLiteral("　　最高　　　　       /   80秒"),
             QStringLiteral("ポイント  　　　"), QStringLiteral("　　順位　　　　     位"),
             QStringLiteral("　　獲得ポイント     点"), QStringLiteral("　　　　　　　　　　　　/   13点"),
             QStringLiteral("　　　　　　　　　　　　 (塾平均)")}));
    EXPECT_TRUE(statisticsLines(f).back().halfLineLower);
    EXPECT_TRUE(chartLayout(f, kFirstBlockTop).points.empty());
}

TEST(SheetFigures, RunsOfHalfAnHourOrMoreAreNeitherCountedNorChartedButTheSchoolsFastestIsATime)
{
    School school;
    school.write({{2, 13, 2, 2000}, {1, 13, 2, 1800}, {1, 13, 2, 99999}});
    const LevelFigures f = school.figures(13, 2);
    EXPECT_EQ(f.runCount, 0);
    EXPECT_TRUE(f.chart.empty());
    EXPECT_EQ(f.schoolRunCount, 0);
    EXPECT_EQ(f.schoolFastest, 1800); // a time-out is not a time
    const QStringList lines = texts(statisticsLines(f));
    EXPECT_EQ(lines[0], QStringLiteral("回数　　　　　　　   回"));
    EXPECT_EQ(lines[3], QStringLiteral("　　最高　　　　       / 1800秒"));
    EXPECT_FALSE(lines.join(u'\n').contains(QStringLiteral("　　平均")));

    // Only time-outs: no fastest time at all.
    School timedOut;
    timedOut.write({{1, 13, 2, 99999}});
    EXPECT_EQ(timedOut.figures(13, 2).schoolFastest, 0);
    EXPECT_EQ(texts(statisticsLines(timedOut.figures(13, 2)))[3],
              QStringLiteral("　　最高　　　　       /     秒"));
}

TEST(SheetFigures, ASchoolWithoutPointsHasNoAverageLine)
{
    School school;
    school.write({{1, 13, 2, 400}, {1, 11, 2, 500}});
    const LevelFigures f = school.figures(13, 2);
    EXPECT_EQ(f.studentsWithPoints, 0);
    const QStringList lines = texts(statisticsLines(f));
    EXPECT_EQ(lines.filter(QStringLiteral("点")).size(), 1); // the student's own points line
    EXPECT_EQ(lines.last(), QStringLiteral("　　　　　　　　　　　　 (塾平均)"));
    // Everybody with a run ties for the points rank at 0.
    EXPECT_EQ(f.pointsRank, 1);
}

TEST(SheetFigures, RanksAreTheStudentsOwnByNumberNotTheFirstRowWithTheName)
{
    // Student 13 is "上田はると"; the ranking also holds "上田はると君" (11, whose row reads the same in five
    // characters) and "上田" (12). Bests: 12 fastest, 11 and 13 tied, 14 after them.
    School school;
    school.write({{1, 12, 2, 70}, {1, 11, 2, 80}, {1, 13, 2, 80}, {1, 14, 2, 90}});
    school.points(2, 11, 30);
    school.points(2, 12, 50);
    school.points(2, 13, 20);
    school.points(2, 14, 20);
    school.points(2, 15, 0);
    LevelFigures f = school.figures(13, 2);
    EXPECT_EQ(f.timeRank, 2);
    EXPECT_EQ(f.pointsRank, 3); // 50, 30, then 20 shared with 14
    EXPECT_EQ(f.points, 20);
    EXPECT_EQ(f.schoolPointsSum, 120);
    EXPECT_EQ(f.studentsWithPoints, 4);
    EXPECT_EQ(school.figures(14, 2).timeRank, 4);
    EXPECT_EQ(school.figures(14, 2).pointsRank, 3);
    EXPECT_EQ(texts(statisticsLines(f))[2], QStringLiteral("　　順位　　　　    2位"));
    EXPECT_EQ(texts(statisticsLines(f))[8], QStringLiteral("　　　　　　　　　　　　/   30点"));

    // Under the junior-high filter the student's own rows are not shown: no ranks, no chart; the
    // school's points are those of the students shown.
    f = school.figures(13, 2, QStringLiteral("中学生全体"));
    EXPECT_EQ(f.timeRank, 0);
    EXPECT_EQ(f.pointsRank, 0);
    EXPECT_TRUE(f.chart.empty());
    EXPECT_EQ(f.runCount, 1); // the first pass has no filter
    EXPECT_EQ(f.schoolPointsSum, 20);
    EXPECT_EQ(f.studentsWithPoints, 1);
    // The shown students keep their school-wide ranks.
    EXPECT_EQ(school.figures(14, 2, QStringLiteral("中学生全体")).timeRank, 4);
}

TEST(SheetNumbers, DigitsOnlyRightAlignedAndNothingForZero)
{
    EXPECT_EQ(sheetNumber(0, 5), QStringLiteral("     "));
    EXPECT_EQ(sheetNumber(7, 3), QStringLiteral("  7"));
    EXPECT_EQ(sheetNumber(84.17, 5), QStringLiteral("   84"));
    EXPECT_EQ(sheetNumber(12.5, 5), QStringLiteral("   13"));
    EXPECT_EQ(sheetNumber(0.4, 5), QStringLiteral("     "));
    EXPECT_EQ(sheetNumber(1234567, 5), QStringLiteral("34567"));
}

TEST(SheetChart, ScaleTopIsTheNextTenAboveTheLongestRunUpToAThousand)
{
    EXPECT_EQ(chartScaleTop(0), 10);
    EXPECT_EQ(chartScaleTop(9), 10);
    EXPECT_EQ(chartScaleTop(10), 20);
    EXPECT_EQ(chartScaleTop(120), 130);
    EXPECT_EQ(chartScaleTop(989), 990);
    EXPECT_EQ(chartScaleTop(990), 1000);
    EXPECT_EQ(chartScaleTop(1799), 1000);
}

TEST(SheetChart, PointsOfASmallSetStandWhereTheFormulaPutsThem)
{
    School school;
    school.write({{3, 13, 2, 40}, {2, 13, 2, 30}, {1, 13, 2, 35}});
    const LevelFigures f = school.figures(13, 2);
    const double top = 0.35; // the second block of a page
    const ChartLayout chart = chartLayout(f, top);
    EXPECT_EQ(chart.scaleTop, 50);
    ASSERT_EQ(chart.points.size(), 3u);
    // x = 0.5 × (0.2 + 0.7 × k ÷ 3); y = top + (0.8 − 0.7 × t ÷ 50) ÷ 3.
    const double xs[] = {0.5 * (0.2 + 0.7 / 3), 0.5 * (0.2 + 1.4 / 3), 0.45};
    const double ys[] = {top + 0.24 / 3, top + 0.38 / 3, top + 0.31 / 3};
    const bool bests[] = {true, true, false};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(chart.points[i].x, xs[i], 1e-12) << i;
        EXPECT_NEAR(chart.points[i].y, ys[i], 1e-12) << i;
        EXPECT_EQ(chart.points[i].newBest, bests[i]) << i;
    }
    EXPECT_NEAR(chart.top, top + 0.1 / 3, 1e-12);
    EXPECT_NEAR(chart.bottom, top + 0.8 / 3, 1e-12);
    ASSERT_EQ(chart.ticks.size(), 3u);
    EXPECT_EQ(chart.ticks[0].label, QStringLiteral("50秒"));
    EXPECT_EQ(chart.ticks[1].label, QStringLiteral("25秒"));
    EXPECT_EQ(chart.ticks[2].label, QStringLiteral("0秒"));
    EXPECT_NEAR(chart.ticks[0].y, chart.top, 1e-12);
}

TEST(SheetChart, RunsSlowerThanTheCappedScaleStandAboveTheFrameWhereTheFormulaPutsThem)
{
    School slow;
    slow.write({{4, 13, 2, 1000}, {3, 13, 2, 1500}, {2, 13, 2, 1799}, {1, 13, 2, 200}});
    const double top = 0.35;
    const ChartLayout chart = chartLayout(slow.figures(13, 2), top);
    EXPECT_EQ(chart.scaleTop, 1000);
    ASSERT_EQ(chart.points.size(), 4u);
    // y = top + (0.8 − 0.7 × t ÷ 1000) ÷ 3: 1000 s on the frame's top, 1500 s and 1799 s above it.
    EXPECT_NEAR(chart.points[0].y, chart.top, 1e-12);
    EXPECT_NEAR(chart.points[1].y, top + (0.8 - 1.05) / 3, 1e-12);
    EXPECT_NEAR(chart.points[2].y, top + (0.8 - 0.7 * 1.799) / 3, 1e-12);
    EXPECT_LT(chart.points[1].y, chart.top);
    EXPECT_LT(chart.points[2].y, chart.points[1].y);
    EXPECT_GT(chart.points[3].y, chart.top);
}

TEST(SheetPages, ThreeBlocksAPageAndTheNameAboveEach)
{
    School school;
    school.write({{1, 13, 2, 60}});
    const RowStudents rows =
        rowStudentsFor(school.state->roster, school.state->run.studentNumber, QStringLiteral("全学年"));
    const AppState &s = *school.state;
    const SheetSources sources{s.catalogue, s.roster, s.results, s.statistics};
    PersonalSheet sheet = personalSheet(sources, rows, school.runs, kToday, 13, {2, 4, 6, 8});
    EXPECT_EQ(sheet.name, QStringLiteral("上田はると"));
    ASSERT_EQ(sheet.pages.size(), 2u);
    ASSERT_EQ(sheet.pages[0].blocks.size(), 3u);
    ASSERT_EQ(sheet.pages[1].blocks.size(), 1u);
    EXPECT_DOUBLE_EQ(sheet.pages[0].blocks[0].top, 0.05);
    EXPECT_DOUBLE_EQ(sheet.pages[0].blocks[1].top, 0.35);
    EXPECT_DOUBLE_EQ(sheet.pages[0].blocks[2].top, 0.65);
    EXPECT_DOUBLE_EQ(sheet.pages[1].blocks[0].top, 0.05);
    EXPECT_EQ(sheet.pages[1].blocks[0].level, 8);
    EXPECT_EQ(sheet.pages[0].blocks[0].title, QStringLiteral("四字熟語 範囲１"));
    EXPECT_EQ(sheet.pages[0].blocks[0].figures.runCount, 1);

    // Three levels fill one page and no more; levels outside the catalogue are left out.
    sheet = personalSheet(sources, rows, school.runs, kToday, 13, {0, 1, 2, 3, 21});
    ASSERT_EQ(sheet.pages.size(), 1u);
    EXPECT_EQ(sheet.pages[0].blocks.size(), 3u);
    EXPECT_TRUE(personalSheet(sources, rows, school.runs, kToday, 13, {}).pages.empty());
}

TEST(SheetPanelLists, StudentRowsLevelRowsAndDefaultLevels)
{
    School school;
    // A name may hold the "/" that stands before the number: the row's number is its own, not read
    // back from its text.
    school.state->roster.rosterRecords[5].name =
        (QStringLiteral("名前/に/斜線") + QString(20, u' ')).left(20);
    const std::vector<SheetListRow> rows = sheetStudentRows(school.state->roster, 4, kToday);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[2].text, QStringLiteral("小５ /  上田はると") + QString(15, u' ') + QStringLiteral("/13"));
    EXPECT_EQ(rows[2].number, 13);
    EXPECT_EQ(rows[3].text, QStringLiteral("中２ /  遠藤") + QString(18, u' ') + QStringLiteral("/14"));
    EXPECT_EQ(rows[4].text,
              QStringLiteral("小４ /  名前/に/斜線") + QString(13, u' ') + QStringLiteral("/15"));
    EXPECT_EQ(rows[4].number, 15);
    // In February, before the school year's start month, the hub counts one grade lower.
    EXPECT_TRUE(sheetStudentRows(school.state->roster, 4, QDate(2027, 2, 1))[2].text.startsWith(
        QStringLiteral("小４ /")));

    const std::vector<SheetListRow> levels = sheetLevelRows(school.state->catalogue);
    ASSERT_EQ(levels.size(), 20u);
    EXPECT_EQ(levels[1].text, QStringLiteral("2  範囲１"));
    EXPECT_EQ(levels[1].number, 2);

    // This drill's odd levels are practice: the graph starts with the first three tests.
    EXPECT_EQ(defaultSheetLevels(school.state->catalogue), (std::vector<int>{2, 4, 6}));
    drill::Catalogue practiceOnly;
    practiceOnly.levelCount = 2;
    practiceOnly.levelNames[1] = QStringLiteral("範囲１練");
    practiceOnly.levelNames[2] = QStringLiteral("範囲２練");
    EXPECT_EQ(defaultSheetLevels(practiceOnly), (std::vector<int>{1, 2}));
}

TEST(SheetRuns, ReadFromTheResultsFileOrAMessageNamingIt)
{
    QTemporaryDir dir;
    const QString path = records::resultsFilePath(dir.path() + u'/');
    class NoWait : public records::RetryWait
    {
    public:
        bool wait(int, const std::function<bool()> &) override { return true; }
    } wait;
    std::vector<SheetRun> runs{{1, 1, 1, 1}};
    QString error;
    EXPECT_TRUE(testing_support::succeeded(readSheetRuns(path, wait, false), &runs,
                                           &error)); // no file yet: nothing recorded
    EXPECT_TRUE(runs.empty());
    // A file gone while the screen shows runs read from it earlier is told, not read as no runs.
    EXPECT_FALSE(testing_support::succeeded(readSheetRuns(path, wait, true), &runs, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("成績ファイルを読めません"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("見つかりません"))) << error.toStdString();

    QByteArray bytes = records::encodeRecord(records::newRecord(46000, 0.5, 13, 2, 95, QString()));
    bytes += records::encodeRecord(records::newRecord(46001, 0.5, 14, 4, 99999, QString()));
    bytes += "partial";
    testing_support::writeBytes(path, bytes);
    ASSERT_TRUE(testing_support::succeeded(readSheetRuns(path, wait, true), &runs, &error));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].date, 46001);
    EXPECT_EQ(runs[1].student, 14);
    EXPECT_EQ(runs[1].level, 4);
    EXPECT_EQ(runs[1].time, 99999);

    const QString missing =
        dir.path() + QStringLiteral("/なし/") + QString::fromUtf16(records::kResultsFileName);
    EXPECT_FALSE(testing_support::succeeded(readSheetRuns(missing, wait, false), &runs, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("成績ファイルを読めません"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("なし"))) << error.toStdString();
}

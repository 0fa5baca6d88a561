#include "hub/HubViews.h"
#include "drill/LevelCatalogue.h"
#include "hub/LevelAvailability.h"
#include "platform/DateSerial.h"
#include "records/ResultRecord.h"
#include "startup/AppState.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace hub;

namespace {
const QString S = QStringLiteral("　");
const QDate kToday(2026, 12, 8); // a Tuesday

// A school of four listed students in school year 2026 (birth year 2017: grade 3, 2013: grade 7,
// 2012: grade 8, 2005: senior high); student 22 is the student of the run. Level 2 aims at 100 s with a
// minimum of 200 s.
struct HubSchool
{
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    HubSchool()
    {
        AppState &s = *state;
        catalogue::applyStartupSettings(s.catalogue);
        catalogue::setUpLevels(s.catalogue);
        s.roster.currentSchoolYear = 2026;
        const int numbers[] = {21, 22, 23, 24};
        const char16_t *names[] = {u"青木", u"石田", u"上田", u"遠藤"};
        const int years[] = {2017, 2013, 2012, 2005};
        s.roster.rosterCount = 4;
        for (int i = 0; i < 4; ++i) {
            s.roster.rosterNumbers[std::size_t(i + 1)] = qint16(numbers[i]);
            s.roster.studentNames[std::size_t(numbers[i])] =
                (QString::fromUtf16(names[i]) + QString(20, u' ')).left(20);
            s.roster.studentBirthYears[std::size_t(numbers[i])] = qint16(years[i]);
        }
        s.run.studentNumber = 22;
        s.run.studentName = s.roster.studentNames[22];
        for (int level = 1; level <= 20; ++level) {
            s.standards.targetTime[std::size_t(level)] = 100;
            s.standards.minimumTime[std::size_t(level)] = 200;
            s.standards.clearCount[std::size_t(level)] = 3;
            s.standards.clearPoints[std::size_t(level)] = 30;
            s.standards.pointMultiplier[std::size_t(level)] = 2;
            s.standards.overPracticeCountLimit[std::size_t(level)] = 5;
            s.standards.overPracticePointsLimit[std::size_t(level)] = 0;
            s.standards.passPeriodDays[std::size_t(level)] = 30;
        }
        s.results.personalBest.fill(99999);
    }
    RowStudents rows(const QString &filter = QStringLiteral("全学年")) const
    {
        return rowStudentsFor(state->roster, state->run.studentNumber, filter);
    }
};

Availability availabilityOf(const AppState &s)
{
    return levelAvailability(s.catalogue, s.standards, s.statistics, s.run);
}

records::ResultRecord run(QDate date, QTime clock, int student, int level, qint32 time)
{
    return records::newRecord(platform::dateSerial(date), platform::timeFraction(clock), qint16(student),
                              qint16(level), time, QStringLiteral("12345"));
}
} // namespace

TEST(HubRowStudents, GradeFilterAndMarksFollowTheSchoolYear)
{
    HubSchool school;
    const RowStudents all = school.rows();
    EXPECT_EQ(all.listed, (std::vector<qint16>{21, 22, 23, 24}));
    EXPECT_EQ(all.mark(21), QStringLiteral("③"));
    EXPECT_EQ(all.mark(22), QStringLiteral("●"));
    EXPECT_EQ(all.mark(23), QStringLiteral("Ⅱ"));
    EXPECT_EQ(all.mark(24), S);
    EXPECT_EQ(all.rankingName(21), QStringLiteral("青木") + S.repeated(3));

    struct Case
    {
        QString filter;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {QStringLiteral("全学年"), {21, 22, 23, 24}},
        {QStringLiteral("家族"), {21, 22, 23, 24}},
        {QStringLiteral("小学生全体"), {21}},
        {QStringLiteral("中学生全体"), {22, 23}},
        {QStringLiteral("中２"), {23}},
        {QStringLiteral("小３"), {21}},
        {QStringLiteral("なにか"), {}},
    };
    for (const Case &c : cases) {
        const RowStudents rows = school.rows(c.filter);
        std::vector<int> shown;
        for (int s : {21, 22, 23, 24})
            if (rows.isShown(s))
                shown.push_back(s);
        EXPECT_EQ(shown, c.shown) << c.filter.toStdString();
    }
}

TEST(HubViews, RankingsLeavePracticeLevelsEmptyAndScrollToTheOwnRow)
{
    HubSchool school;
    school.state->results.personalBest(2, 21) = 80;
    school.state->results.personalBest(2, 22) = 90;
    const View best = bestTimeView(school.state->catalogue, school.state->results, school.rows());
    EXPECT_EQ(best.heading, QStringLiteral("ベスト成績"));
    EXPECT_TRUE(best.scrollToOwnRow);
    ASSERT_EQ(best.lists.size(), 21u);
    EXPECT_TRUE(best.lists[1].rows.isEmpty());
    ASSERT_EQ(best.lists[2].rows.size(), 4);
    EXPECT_EQ(best.lists[2].ownRow, 1);
    EXPECT_EQ(best.lists[4].rows.size(), 4);

    school.state->statistics.todayPoints(4, 23) = 7;
    school.state->statistics.allTimePoints(4, 23) = 7;
    const View today =
        pointsView(school.state->catalogue, school.state->statistics, school.rows(), PointsOrder::Today);
    EXPECT_EQ(today.heading, QStringLiteral("獲得ポイント（今日の順位）"));
    EXPECT_EQ(today.lists[4].rows.size(), 1);
    EXPECT_EQ(
        pointsView(school.state->catalogue, school.state->statistics, school.rows(), PointsOrder::Accumulated)
            .heading,
        QStringLiteral("獲得ポイント（今まで順位）"));
}

TEST(HubViews, TodaysRunsListTodayOnlyWithPointsAndTheFailedPrefix)
{
    HubSchool school;
    const QList<records::ResultRecord> records{
        run(kToday.addDays(-1), QTime(16, 0), 21, 2, 50),
        run(kToday, QTime(15, 2, 30), 21, 2, 50), // 0.5³ × 50 + 5 = 11 points
        run(kToday, QTime(15, 10), 22, 2, 99999), // a time-out
        run(kToday, QTime(15, 20), 23, 2, 150),   // 4 points
        run(kToday, QTime(15, 30), 22, 4, 1234),  // over ten targets: 0 points
        run(kToday, QTime(15, 40), 24, 25, 60),   // no such level in this drill
        run(kToday, QTime(15, 50), 999, 2, 60),   // a student no longer in the roster
    };
    const View view =
        todayRunsView(school.state->catalogue, school.state->standards, records, school.rows(), kToday);
    EXPECT_EQ(view.heading, QStringLiteral("本日の成績"));
    EXPECT_FALSE(view.scrollToOwnRow);
    const QString blank = S.repeated(4);
    EXPECT_EQ(view.lists[2].rows,
              (QStringList{QStringLiteral("  50秒 15:02③青木") + S.repeated(3) + QStringLiteral("③11"),
                           QStringLiteral("　　× 15:10●石田") + S.repeated(3) + QStringLiteral("●"),
                           QStringLiteral(" 150秒 15:20Ⅱ上田") + S.repeated(3) + QStringLiteral("Ⅱ4"),
                           // An unknown student has an empty name: four spaces, no grade mark, 8 points.
                           QStringLiteral("  60秒 15:50") + S + blank + S + QStringLiteral("8")}));
    EXPECT_EQ(view.lists[4].rows,
              QStringList{QStringLiteral("1234秒 15:30●石田") + S.repeated(3) + QStringLiteral("●0")});
    // The last run of level 2 that did not fail took 60 s against a target of 100 s.
    EXPECT_EQ(view.colours[2], ListColour::WithinTarget);
    EXPECT_EQ(view.colours[4], ListColour::Over);
    EXPECT_EQ(view.colours[6], ListColour::None);

    const View juniorHigh = todayRunsView(school.state->catalogue, school.state->standards, records,
                                          school.rows(QStringLiteral("中学生全体")), kToday);
    EXPECT_EQ(juniorHigh.lists[2].rows.size(), 2);
}

TEST(HubViews, PeriodRunsFollowTheWeekAndTheDisplay)
{
    HubSchool school;
    const QDate monday(2026, 12, 7);
    const QDate sunday(2026, 12, 13);
    const QList<records::ResultRecord> records{
        run(QDate(2026, 12, 6), QTime(10, 0), 21, 2, 90), // the Sunday before
        run(monday, QTime(10, 0), 22, 2, 120),
        run(QDate(2026, 12, 10), QTime(10, 0), 23, 2, 99999),
        run(sunday, QTime(10, 0), 21, 2, 300),
    };
    // The results file as it stood on that day.
    auto rowsOn = [&](QDate today, int period, RunDisplay display) {
        QList<records::ResultRecord> upToToday;
        for (const records::ResultRecord &r : records)
            if (r.date <= platform::dateSerial(today))
                upToToday << r;
        return periodRunsView(school.state->catalogue, school.state->standards, upToToday, school.rows(),
                              today, period, display)
            .lists[2]
            .rows;
    };
    EXPECT_EQ(rowsOn(monday, 1, RunDisplay::Times),
              QStringList{QStringLiteral(" 120秒 12/07●石田") + S.repeated(3) + QStringLiteral("●4")});
    EXPECT_EQ(rowsOn(sunday, 1, RunDisplay::Times).size(), 3);
    EXPECT_EQ(rowsOn(sunday, 2, RunDisplay::Times).size(), 4);
    EXPECT_EQ(rowsOn(monday, 2, RunDisplay::Times).size(), 2);

    const QStringList points = rowsOn(sunday, 1, RunDisplay::Points);
    ASSERT_EQ(points.size(), 3);
    EXPECT_EQ(points[0], QStringLiteral("    4 12/07●石田") + S.repeated(3) + QStringLiteral("●120秒"));
    EXPECT_EQ(points[1], QStringLiteral("　　× 12/10Ⅱ上田") + S.repeated(3) + QStringLiteral("Ⅱ"));
    EXPECT_EQ(points[2], QStringLiteral("    1 12/13③青木") + S.repeated(3) + QStringLiteral("③300秒"));

    const View times = periodRunsView(school.state->catalogue, school.state->standards, records,
                                      school.rows(), sunday, 1, RunDisplay::Times);
    EXPECT_TRUE(times.heading.isEmpty());
    EXPECT_EQ(times.colours[2], ListColour::Over);
    EXPECT_EQ(periodRunsView(school.state->catalogue, school.state->standards, records, school.rows(), sunday,
                             1, RunDisplay::Points)
                  .colours[2],
              ListColour::None);
}

TEST(HubViews, PersonalTimesShowTheStudentsOwnRunsOfTenYears)
{
    HubSchool school;
    const QList<records::ResultRecord> records{
        run(kToday.addDays(-3650), QTime(9, 0), 22, 2, 70), // ten years back: outside
        run(kToday.addDays(-3649), QTime(9, 0), 22, 2, 71),
        run(kToday, QTime(17, 3, 9), 22, 4, 99999),
        run(kToday, QTime(17, 4), 21, 2, 60),
    };
    const View view = personalTimesView(school.state->catalogue, records, school.rows(), kToday);
    EXPECT_EQ(view.heading, QStringLiteral("個人別ﾀｲﾑ"));
    EXPECT_EQ(view.lists[2].rows, QStringList{kToday.addDays(-3649).toString(QStringLiteral("yyyy/MM/dd")) +
                                              QStringLiteral(" 09:00:00  71秒")});
    EXPECT_EQ(view.lists[4].rows, QStringList{QStringLiteral("2026/12/08 17:03:09*失敗*")});
    // A grade filter that leaves the student out leaves the view empty.
    EXPECT_TRUE(
        personalTimesView(school.state->catalogue, records, school.rows(QStringLiteral("小３")), kToday)
            .lists[2]
            .rows.isEmpty());
}

TEST(HubViews, ColumnTexts)
{
    HubSchool school;
    records::Statistics &st = school.state->statistics;
    st.passPeriodCount(2, 22) = 2;
    st.passPeriodPoints(2, 22) = 22;
    st.todayCount(2, 22) = 1;
    st.todayPoints(2, 22) = 11;
    st.allTimeCount(2, 22) = 4;
    st.allTimePoints(2, 22) = 40;
    const ColumnTexts two =
        columnTexts(school.state->catalogue, school.state->standards, school.state->statistics, 22, 2);
    EXPECT_FALSE(two.practice);
    EXPECT_EQ(two.title, QStringLiteral("範囲１"));
    EXPECT_EQ(two.standard, QStringLiteral("目標=100秒 3回/30点(×2)"));
    EXPECT_EQ(two.passPeriod, QStringLiteral("最近30日=2回 / 22点"));
    EXPECT_EQ(two.todayValue, QStringLiteral("1回/11点"));
    EXPECT_EQ(two.soFarValue, QStringLiteral("4回/40点"));
    const ColumnTexts four =
        columnTexts(school.state->catalogue, school.state->standards, school.state->statistics, 22, 4);
    EXPECT_EQ(four.todayValue, QStringLiteral("-----"));
    EXPECT_EQ(four.soFarValue, QStringLiteral("------"));
    EXPECT_TRUE(columnTexts(school.state->catalogue, school.state->standards, school.state->statistics, 22, 3)
                    .practice);
}

TEST(HubAvailabilityFromState, LocksClearsAndTheTeacher)
{
    HubSchool school;
    AppState &s = *school.state;
    s.catalogue.allLevelsOpen = false;
    records::Statistics &st = s.statistics;
    // Level 2 cleared and at its over-practice count; level 4 over the count but its limit is 0.
    st.passPeriodCount(2, 22) = 3;
    st.passPeriodPoints(2, 22) = 30;
    st.overPracticePeriodCount(2, 22) = 5;
    st.passPeriodCount(4, 22) = 3;
    st.passPeriodPoints(4, 22) = 30;
    st.overPracticePeriodCount(4, 22) = 50;
    s.standards.overPracticeCountLimit[4] = 0;
    Availability a = availabilityOf(s);
    EXPECT_TRUE(a.locked[2]);
    EXPECT_FALSE(a.canStart(2));
    EXPECT_FALSE(a.locked[4]);
    EXPECT_TRUE(a.canStart(4));
    EXPECT_TRUE(a.canStart(6));
    EXPECT_FALSE(a.canStart(8));
    EXPECT_FALSE(a.finalLevelCleared);

    // The points half of the rule.
    s.standards.overPracticePointsLimit[4] = 40;
    st.overPracticePeriodPoints(4, 22) = 40;
    EXPECT_TRUE(availabilityOf(s).locked[4]);

    // Clearing the final level lifts every lock.
    st.passPeriodCount(20, 22) = 3;
    st.passPeriodPoints(20, 22) = 30;
    a = availabilityOf(s);
    EXPECT_TRUE(a.finalLevelCleared);
    EXPECT_FALSE(a.locked[2]);
    EXPECT_FALSE(a.locked[4]);

    // A level that asks for 9999 points is opened by the level before it.
    HubSchool other;
    other.state->catalogue.allLevelsOpen = false;
    other.state->standards.clearPoints[8] = 9999;
    EXPECT_TRUE(availabilityOf(*other.state).canStart(8));
    EXPECT_FALSE(availabilityOf(*other.state).canStart(6));
    other.state->run.studentName = QStringLiteral("先生");
    EXPECT_TRUE(availabilityOf(*other.state).canStart(6));
    other.state->run.studentName = QStringLiteral("★先生");
    EXPECT_FALSE(availabilityOf(*other.state).canStart(6));
}

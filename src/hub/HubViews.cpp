#include "hub/HubViews.h"

#include "drill/LevelCatalogue.h"
#include "hub/HubLabels.h"
#include "platform/DateSerial.h"
#include "platform/DelimitedItems.h"
#include "records/Judgement.h"
#include "records/Statistics.h"
#include "roster/Grades.h"

#include <QtMath>

#include <algorithm>

namespace hub {

namespace {

View emptyView(const drill::Catalogue &catalogue, const QString &heading)
{
    View view;
    view.heading = heading;
    view.lists.resize(std::size_t(catalogue::levelCount(catalogue)) + 1);
    view.colours.assign(view.lists.size(), ListColour::None);
    return view;
}

bool inLevels(const drill::Catalogue &catalogue, int level)
{
    return level >= 1 && level <= catalogue::levelCount(catalogue);
}

void addRow(View &view, int level, const QString &row, bool own)
{
    RankedList &list = view.lists[std::size_t(level)];
    if (own && list.ownRow < 0)
        list.ownRow = int(list.rows.size());
    list.rows << row;
}

void colourRunLists(const drill::Catalogue &catalogue, const records::Standards &standards, View &view)
{
    for (int level = 1; level <= catalogue::levelCount(catalogue); ++level) {
        if (catalogue.recordedLevel[std::size_t(level)] != 1)
            continue;
        view.colours[std::size_t(level)] =
            runListColour(view.lists[std::size_t(level)].rows, standards.targetTime[std::size_t(level)],
                          standards.minimumTime[std::size_t(level)]);
    }
}
} // namespace

RowStudents rowStudentsFor(const roster::Roster &roster, int ownStudent, const QString &gradeFilter)
{
    const int schoolYear = roster.currentSchoolYear;
    return rowStudents(
        roster, ownStudent,
        [schoolYear](int birthYear) { return roster::gradeNumber(schoolYear, birthYear); },
        [&gradeFilter](int grade) { return roster::hubGradeFilterAdmits(gradeFilter, grade); });
}

View bestTimeView(const drill::Catalogue &catalogue, const records::Results &results,
                  const RowStudents &students, const LevelProgress &progress)
{
    View view = emptyView(catalogue, QString::fromUtf16(kHeadingBest));
    view.scrollToOwnRow = true;
    for (int level = 1; level <= catalogue::levelCount(catalogue); ++level) {
        if (!catalogue::isPracticeLevel(catalogue, level))
            view.lists[std::size_t(level)] = bestTimeRanking(students, results.personalBest, level);
        if (progress)
            progress(level);
    }
    return view;
}

View pointsView(const drill::Catalogue &catalogue, const records::Statistics &statistics,
                const RowStudents &students, PointsOrder order, const LevelProgress &progress)
{
    View view =
        emptyView(catalogue, QString::fromUtf16(order == PointsOrder::Today ? kHeadingPointsToday
                                                                            : kHeadingPointsAccumulated));
    view.scrollToOwnRow = true;
    for (int level = 1; level <= catalogue::levelCount(catalogue); ++level) {
        if (!catalogue::isPracticeLevel(catalogue, level))
            view.lists[std::size_t(level)] = pointsRanking(students, statistics, level, order);
        if (progress)
            progress(level);
    }
    return view;
}

int listedRunPoints(const records::Standards &standards, int level, qint32 time)
{
    return int(records::runPoints(time, standards.targetTime[std::size_t(level)], true));
}

namespace {

// Adds a row for each record that `inPeriod` admits, of a listed level and a shown student: the
// `runRow` of a time below the failed times, with its points, else the `failedRow`.
template <typename InPeriod, typename RunRow, typename FailedRow>
void addRunRows(View &view, const drill::Catalogue &catalogue, const records::Standards &standards,
                const QList<records::ResultRecord> &records, const RowStudents &students, InPeriod inPeriod,
                RunRow runRow, FailedRow failedRow)
{
    for (const records::ResultRecord &r : records) {
        if (!inPeriod(r) || !inLevels(catalogue, r.level) || !students.isShown(r.student))
            continue;
        const QString mark = students.mark(r.student);
        const QString &name = students.runName(r.student);
        const bool own = r.student == students.own;
        if (r.time < records::kFailedTimeFrom)
            addRow(view, r.level, runRow(r, mark, name, listedRunPoints(standards, r.level, r.time)), own);
        else
            addRow(view, r.level, failedRow(r, mark, name), own);
    }
}

} // namespace

View todayRunsView(const drill::Catalogue &catalogue, const records::Standards &standards,
                   const QList<records::ResultRecord> &records, const RowStudents &students, QDate today)
{
    View view = emptyView(catalogue, QString::fromUtf16(kHeadingToday));
    const double todaySerial = platform::dateSerial(today);
    addRunRows(
        view, catalogue, standards, records, students,
        [&](const records::ResultRecord &r) { return qFloor(r.date) == todaySerial; },
        [](const records::ResultRecord &r, const QString &mark, const QString &name, int points) {
            return todayRunRow(r.time, r.clock, mark, name, points);
        },
        [](const records::ResultRecord &r, const QString &mark, const QString &name) {
            return todayFailedRow(r.clock, mark, name);
        });
    colourRunLists(catalogue, standards, view);
    return view;
}

View periodRunsView(const drill::Catalogue &catalogue, const records::Standards &standards,
                    const QList<records::ResultRecord> &records, const RowStudents &students, QDate today,
                    int period, RunDisplay display)
{
    View view = emptyView(catalogue, QString());
    const double from = platform::dateSerial(today) - periodDays(period, today);
    addRunRows(
        view, catalogue, standards, records, students,
        [&](const records::ResultRecord &r) { return r.date > from; },
        [&](const records::ResultRecord &r, const QString &mark, const QString &name, int points) {
            return periodRunRow(display, r.time, r.date, mark, name, points);
        },
        [](const records::ResultRecord &r, const QString &mark, const QString &name) {
            return periodFailedRow(r.date, mark, name);
        });
    if (display == RunDisplay::Times)
        colourRunLists(catalogue, standards, view);
    return view;
}

View personalTimesView(const drill::Catalogue &catalogue, const QList<records::ResultRecord> &records,
                       const RowStudents &students, QDate today)
{
    View view = emptyView(catalogue, QString::fromUtf16(kHeadingPersonal));
    const double from = platform::dateSerial(today) - kAllSoFarDays;
    for (const records::ResultRecord &r : records) {
        if (r.student != students.own || !(r.date > from) || !inLevels(catalogue, r.level) ||
            !students.isShown(r.student))
            continue;
        addRow(view, r.level, personalRow(r.date, r.clock, r.time), false);
    }
    return view;
}

ColumnTexts columnTexts(const drill::Catalogue &catalogue, const records::Standards &standards,
                        const records::Statistics &statistics, int student, int level)
{
    const std::size_t l = std::size_t(level);
    const records::Standards &s = standards;
    const records::Statistics &st = statistics;
    ColumnTexts texts;
    texts.title = catalogue.levelNames[l];
    texts.practice = catalogue::isPracticeLevel(catalogue, level);
    texts.standard = standardText(s.targetTime[l], s.clearCount[l], s.clearPoints[l], s.pointMultiplier[l]);
    texts.passPeriod =
        passPeriodText(platform::valueText(s.passPeriodDays[l]), st.passPeriodCount(level, student),
                       st.passPeriodPoints(level, student));
    texts.todayValue =
        todayValueText(records::todayLevelRuns(st, level, student), st.todayPoints(level, student));
    texts.soFarValue = soFarValueText(st.allTimeCount(level, student), st.allTimePoints(level, student));
    return texts;
}

} // namespace hub

#pragma once

#include "drill/Catalogue.h"
#include "hub/Rankings.h"
#include "hub/RowPieces.h"
#include "hub/RunLists.h"
#include "records/ResultRecord.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"
#include "roster/Roster.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// What the hub's level lists show in each of its views, computed from the catalogue, the standards and
// the statistics and, for the run lists, the last records of the results file. A view holds one list per
// level (index 0 unused); practice levels get no rows, since their lists are hidden.
namespace hub {

struct View
{
    QString heading;
    std::vector<RankedList> lists;   // indexes 0 to levelCount
    std::vector<ListColour> colours; // the list colours of the times display's run lists, else None
    bool scrollToOwnRow = false;     // rankings bring the student's own row into view
};

// The rows' students for the student of the run and a grade filter text ("全学年", "小３", "家族", …).
RowStudents rowStudentsFor(const roster::Roster &roster, int ownStudent, const QString &gradeFilter);

// Best times (display mode 1) and points (display mode 2) of every listed student. progress is told
// each level as it is ranked.
using LevelProgress = std::function<void(int level)>;
View bestTimeView(const drill::Catalogue &catalogue, const records::Results &results,
                  const RowStudents &students, const LevelProgress &progress = {});
View pointsView(const drill::Catalogue &catalogue, const records::Statistics &statistics,
                const RowStudents &students, PointsOrder order, const LevelProgress &progress = {});

// How many of the last records each run list reads.
inline constexpr int kTodayRecords = 1000;
inline constexpr int kPeriodRecords = 20000;
inline constexpr int kAllSoFarDays = 3650;

// Today's runs, from the last 1000 records.
View todayRunsView(const drill::Catalogue &catalogue, const records::Standards &standards,
                   const QList<records::ResultRecord> &records, const RowStudents &students, QDate today);
// The runs of a period (1 this week … 5 all so far), from the last 20000 records.
View periodRunsView(const drill::Catalogue &catalogue, const records::Standards &standards,
                    const QList<records::ResultRecord> &records, const RowStudents &students, QDate today,
                    int period, RunDisplay display);
// The student's own runs of the last ten years, from the last 20000 records.
View personalTimesView(const drill::Catalogue &catalogue, const QList<records::ResultRecord> &records,
                       const RowStudents &students, QDate today);

// The points a run list shows for a run: the base points with the three-character time, without the
// level's multiplier.
int listedRunPoints(const records::Standards &standards, int level, qint32 time);

struct ColumnTexts
{
    bool practice = false;
    QString title;
    QString standard;
    QString passPeriod;
    QString todayValue;
    QString soFarValue;
};
// The texts of one level column for `student`.
ColumnTexts columnTexts(const drill::Catalogue &catalogue, const records::Standards &standards,
                        const records::Statistics &statistics, int student, int level);

} // namespace hub

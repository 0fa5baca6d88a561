#pragma once

#include "app/Failure.h"
#include "app/Services.h"
#include "drill/StatusPanel.h"
#include "records/ResultsFile.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"

#include <QDateTime>

// The statistics every screen shows, recomputed from the results file and never accumulated: for each
// level and student the counted drills, points and time sums of all time, of the level's pass period,
// of its over-practice period, and of today, with the average times.
namespace records {

// Clears the sums, reads the results file and fills the results arrays and bests (as readResults
// does) and the statistics in one pass over its records. "Now" is the services' clock, read after the
// file. A period of N days counts today and the N - 1 days before. A results file that cannot be read
// gives readResults' failure (the sums then come from the arrays of the last reading). The services'
// wait is waited with unless another is given.
app::Status computeStatistics(const ResultsFilePlace &place, const Standards &standards, Results &results,
                              Statistics &statistics, Services &services);
app::Status computeStatistics(const ResultsFilePlace &place, const Standards &standards, Results &results,
                              Statistics &statistics, Services &services, RetryWait &wait);

// Sets the ten sums to 0 (the averages keep their values).
void clearStatisticSums(Statistics &statistics);

// The same from the results arrays already in memory (the part after the reading), adding to sums
// that clearStatisticSums has cleared.
void fillStatistics(const Standards &standards, const Results &results, Statistics &statistics,
                    const QDateTime &now);

// The student's counted drills today over levels 1 to 35 (0 for a number outside 0 to 5000). Every
// screen that shows or keeps the day's total takes it from here.
qint64 todayTotalRuns(const Statistics &statistics, int student);

// The student's counted drills today at `level` (0 for a level or student outside the tables). Every
// screen that shows one level's count takes it from here.
qint64 todayLevelRuns(const Statistics &statistics, int level, int student);

// The day's total as the shared state keeps it (LastDrill::todayTotalCount, 16 bits): capped at 32767.
qint16 keptDayTotal(qint64 runsToday);

// The student's counted drills today at `level` and over levels 1 to drill::kDayCountLastLevel, for the
// drill's status panel (0 for a level or student outside the tables).
drill::TodayRuns todayRuns(const Statistics &statistics, int level, int student);

} // namespace records

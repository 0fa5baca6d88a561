#pragma once

#include "app/AppState.h"
#include "app/Failure.h"
#include "app/Services.h"

#include <QDateTime>

// The statistics every screen shows, recomputed from the results file and never accumulated: for each
// level and student the counted drills, points and time sums of all time, of the level's pass period,
// of its over-practice period, and of today, with the average times.
namespace records {

class RetryWait;

// Clears the sums, reads the results file and fills the results arrays and bests (as readResults
// does) and the statistics in one pass over its records. "Now" is the services' clock, read after the
// file. A period of N days counts today and the N - 1 days before. A results file that cannot be read
// gives readResults' failure (the sums then come from the arrays of the last reading).
app::Status computeStatistics(AppState &state, Services &services);
app::Status computeStatistics(AppState &state, Services &services, RetryWait &wait);

// Sets the ten sums to 0 (the averages keep their values).
void clearStatisticSums(Statistics &statistics);

// The same from the results arrays already in memory (the part after the reading), adding to sums
// that clearStatisticSums has cleared.
void fillStatistics(AppState &state, const QDateTime &now);

// The student's counted drills today over levels 1 to 35 (0 for a number outside 0 to 5000). Every
// screen that shows or keeps the day's total takes it from here.
qint64 todayTotalRuns(const Statistics &statistics, int student);

} // namespace records

#pragma once

#include "app/CurrentRun.h"
#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "app/Services.h"
#include "drill/LastDrill.h"
#include "records/Marks.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"

#include <QString>

#include <cmath>
#include <limits>

// How a drill is scored and judged: the points of one run, the clear and over-practice rules over the
// statistics, and recording a finished test with its personal and overall bests.
namespace records {

// The time a statistics sum uses for a run: the value of the first three characters of the time
// written in decimal (the time itself below 1000; 1234 counts as 123, a time-out 99999 as 999).
inline qint32 threeCharacterTime(qint32 time);

// The base points of one run with time `time` at a level whose target time is `targetTime`:
//   time <= target:               whole part of (((target - t') / target)^3 * 50 + 5)
//   target < time < 2 * target:   4
//   2 * target <= time < 10 * t.: 1
//   otherwise, and from 99998:    0
// t' is the time itself for the result screen, or its three-character value (threeCharacterTime) for
// the statistics and the hub's lists; the comparisons always use the time itself.
inline double runPoints(qint32 time, qint32 targetTime, bool threeCharacterTime);

// The points a run adds to the sums: the whole part of the level's multiplier times its base points.
inline qint32 addedPoints(double basePoints, qint32 multiplier);

// Clear rule: enough counted drills and points within the level's pass period.
bool isCleared(const Standards &standards, const Statistics &statistics, int level, int student);

// Over-practice rule: too many drills or points within the level's over-practice period; a limit of 0
// switches its half of the rule off.
bool isOverPractised(const Standards &standards, const Statistics &statistics, int level, int student);

// What judging and recording a finished test uses of the shared state.
struct JudgedRun
{
    app::PathsAndSettings &settings; // the data folder, the school code
    const app::CurrentRun &run;      // the student and the level drilled
    const Standards &standards;
    const Statistics &statistics; // as they stood before the drill
    Results &results;             // the bests
    drill::LastDrill &lastDrill;  // the result time; the judgement's flags go here
};

// Judges and records a finished test of `level` for the current student with the last drill's
// resultTime: alreadyCleared from the all-time sums as they stood before the drill, a new personal
// best, the record appended to the results file, a new overall best. The record flags stay set until
// the result screen clears them. When the record could not be written, returns "成績の記録" with a
// message that says so (the judgement in memory is still made, so the result screen can show the run).
app::Status recordAndJudge(const JudgedRun &judged, Services &services, int level);

// The statistics add these up for every record on every screen, so they are inline.
inline qint32 threeCharacterTime(qint32 time)
{
    // The same as taking the first three characters of the decimal text and their value, without
    // making the text: a minus sign takes one of the three places.
    qint64 value = time;
    const qint64 limit = value < 0 ? 100 : 1000;
    while (value >= limit || value <= -limit)
        value /= 10;
    return qint32(value);
}

inline double runPoints(qint32 time, qint32 targetTime, bool threeCharacter)
{
    const double t = time;
    const double target = targetTime;
    double points = 0.0;
    if (t <= target) {
        const double used = threeCharacter ? threeCharacterTime(time) : t;
        // A target of 0 met by a time of 0 is "at the target" rather than 0 / 0.
        const double share = target != 0.0 ? (target - used) / target : 0.0;
        points = std::floor(share * share * share * 50.0 + 5.0);
    } else if (t < 2.0 * target) {
        points = 4.0;
    } else if (t < 10.0 * target) {
        points = 1.0;
    }
    if (time >= kZeroPointLimit)
        points = 0.0;
    return points;
}

inline qint32 addedPoints(double basePoints, qint32 multiplier)
{
    // Whole part, kept within the sums' 32 bits whatever multiplier a teacher typed.
    const double points = std::floor(double(multiplier) * basePoints);
    if (points >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (points <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(points);
}

} // namespace records

#pragma once

#include "hub/RowPieces.h"
#include "records/Marks.h"
#include "records/StatisticsTables.h"

#include <QStringList>

// The rankings of one level's list: every listed student by personal best time (fastest first), or by
// points. Ranks are counted over all listed students, shown or not, so a grade filter shows the
// school-wide ranks; equal keys keep the roster order.
namespace hub {

enum class PointsOrder {
    Accumulated = 1, // by points so far, ties broken by today's points
    Today = 2,       // by today's points, ties broken by points so far; students without points today
                     // are left out
};

// A student's place in a ranking of every listed student: ranks are counted over all listed students,
// shown or not; equal keys share a rank and the next rank skips (1, 2, 2, 4).
struct RankedStudent
{
    int student = 0;
    int rank = 0;
    qint64 key = 0; // the best time, or the points the order is by
};

struct RankedList
{
    QStringList rows;
    int ownRow = -1; // the row of the student of the run, -1 when it is not shown
};

// Rows: rank + mark + name + time in six characters + " " + right mark; "*失敗*" for a failed best;
// "--" and "------" for a student without a run. The right mark is "●" on the own row.
// Every listed student, fastest best first (no run last); equal times keep the roster order.
std::vector<RankedStudent> rankByBestTime(const RowStudents &students,
                                          const LevelStudentTable<qint32> &personalBest, int level);
// Every listed student, most points first; equal points by the other points, then the roster order. The
// rank follows the points of the order alone.
std::vector<RankedStudent> rankByPoints(const RowStudents &students, const records::Statistics &statistics,
                                        int level, PointsOrder order);

QString bestTimeRow(int rank, const QString &mark, const QString &name5, qint32 best, bool own);
RankedList bestTimeRanking(const RowStudents &students, const LevelStudentTable<qint32> &personalBest,
                           int level);

// Rows: rank + mark + name + today's points in three characters + "/" + points so far in five.
QString pointsRow(int rank, const QString &mark, const QString &name5, qint64 todayPoints,
                  qint64 allTimePoints);
RankedList pointsRanking(const RowStudents &students, const records::Statistics &statistics, int level,
                         PointsOrder order);

// The first row to show at the top of a list so that the own row is in view, the one before it.
inline int scrollTopForOwnRow(int ownRow)
{
    return ownRow < 0 ? -1 : std::max(0, ownRow - 1);
}

} // namespace hub

#pragma once

#include "hub/RowPieces.h"
#include "records/Marks.h"

#include <QString>

// The rows of the run lists: today's runs, the runs of a period and the student's own runs. A run
// recorded with a time of records::kFailedTimeFrom or more failed; it is shown with the failed prefix and no
// points.
namespace hub {

// Today's runs: time + " " + hh:mm + mark + name + mark + points.
QString todayRunRow(qint32 time, double clock, const QString &mark, const QString &name5, int points);
QString todayFailedRow(double clock, const QString &mark, const QString &name5);

// Period runs. Times display: time + " " + MM/dd + mark + name + mark + points; points display:
// points in five characters + " " + MM/dd + mark + name + mark + time text.
enum class RunDisplay { Times = 1, Points = 2 };
QString periodRunRow(RunDisplay display, qint32 time, double date, const QString &mark, const QString &name5,
                     int points);
QString periodFailedRow(double date, const QString &mark, const QString &name5);

// The student's own runs: yyyy/MM/dd + " " + hh:mm:ss + time; a failed run shows "*失敗*" in place of
// the time.
QString personalRow(double date, double clock, qint32 time);

// The colour of a run list in the times display: the last run that did not fail decides whether it
// was within the level's target time, within its minimum time, or over both. A list without such a
// row has no colour.
enum class ListColour { None, WithinTarget, WithinMinimum, Over };
ListColour runListColour(const QStringList &rows, qint32 targetTime, qint32 minimumTime);
// 0xRRGGBB of a list colour (white for none).
quint32 listColourRgb(ListColour colour);

} // namespace hub

#pragma once

#include "drill/LastDrill.h"

#include <QtGlobal>

// The numbers that stand for something other than themselves in the results file, the statistics and
// the standards table. Every part of the program reads them by these names.
namespace records {

// The recorded time of a timed-out drill, and the personal or overall best of a level nobody has run.
inline constexpr qint32 kTimeOut = drill::kTimedOutTime;
inline constexpr qint32 kNoBest = kTimeOut;

// A time of this or more earns no points (a time-out, or a best that a ranking shows as failed).
inline constexpr qint32 kZeroPointLimit = 99998;
// The best a ranking shows as failed ("*失敗*").
inline constexpr qint32 kFailedBest = kZeroPointLimit;

// A run list shows a recorded time of this or more as failed, with no points.
inline constexpr qint32 kFailedTimeFrom = 90000;

// A run counts as a drill only below this time.
inline constexpr qint32 kCountedDrillLimit = 6000;

// A level's clear points or clear count of 9999 in the standards table: the level asks nothing to be
// opened after it, and it is never counted as cleared for the final level's congratulation.
inline constexpr qint32 kNoRequirement = 9999;

} // namespace records

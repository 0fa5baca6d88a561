#pragma once

#include "app/CurrentRun.h"
#include "app/SignInTime.h" // the minutes since sign-in that the panel shows
#include "drill/Catalogue.h"

#include <QString>

// What the drill's status panel shows.
namespace drill {

struct StatusTexts
{
    QString title;
    qreal titlePointSize = 16.8;
    QString name;
    QString school;
    QString level;
    QString runAtLevel; // "－" at a practice level
    QString runToday;   // "－" at a practice level
};

// The student's counted runs today, from the statistics: at the current level, and over the levels
// that the drill's day count takes in (levels 1 to kDayCountLastLevel).
struct TodayRuns
{
    qint64 atLevel = 0;
    qint64 ofTheDay = 0;
};

// The drill's "本日 N回目" adds up the day's runs of levels 1 to 15 only; the result screen's and the
// levels screen's day totals count every level.
inline constexpr int kDayCountLastLevel = 15;

// The texts for the current run; a run number is the count of today's runs so far plus this one.
StatusTexts statusTexts(const Catalogue &catalogue, const app::CurrentRun &run, const QString &schoolName,
                        const TodayRuns &today);

} // namespace drill

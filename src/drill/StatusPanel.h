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

// The student's counted runs today, from the statistics: at the current level, and over every level.
struct TodayRuns
{
    qint64 atLevel = 0;
    qint64 total = 0;
};

// The texts for the current run; a run number is the count of today's runs so far plus this one.
StatusTexts statusTexts(const Catalogue &catalogue, const CurrentRun &run, const QString &schoolName,
                        const TodayRuns &today);

} // namespace drill

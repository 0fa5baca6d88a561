#pragma once

#include "startup/AppState.h"

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

StatusTexts statusTexts(const AppState &state);

// Whole minutes since the student confirmed the name (seconds since midnight). A drill that goes on
// past midnight keeps counting instead of going negative.
int minutesSinceSignIn(double secondsSinceMidnight, qint32 nameConfirmedTime);

} // namespace drill

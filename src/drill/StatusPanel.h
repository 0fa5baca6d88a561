#pragma once

#include "app/AppState.h"
#include "app/SignInTime.h" // the minutes since sign-in that the panel shows

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

} // namespace drill

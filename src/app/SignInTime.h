#pragma once

#include <QtGlobal>

// The time a student signed in (confirmed the name) and the minutes since then, the same for every
// screen that shows them. Both ends are taken from the wall clock's seconds since midnight and rounded
// the same way, so that "now" is never read as earlier than the sign-in.
namespace app {

// The sign-in time kept in the shared state: whole seconds since midnight, rounded to the nearest.
qint32 signInTime(double secondsSinceMidnight);

// Whole minutes from the sign-in to now. A day that has turned over since the sign-in still counts
// forward (23:59 to 00:01 is two minutes).
int minutesSinceSignIn(double secondsSinceMidnight, qint32 nameConfirmedTime);

} // namespace app

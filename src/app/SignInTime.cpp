#include "app/SignInTime.h"

#include <cmath>

namespace app {

namespace {
constexpr qint64 kSecondsPerDay = 86400;
}

qint32 signInTime(double secondsSinceMidnight)
{
    return qint32(std::llround(secondsSinceMidnight));
}

int minutesSinceSignIn(double secondsSinceMidnight, qint32 nameConfirmedTime)
{
    // Now is rounded as the sign-in was: a truncated now would lie up to a second before a sign-in
    // that was rounded up, and that second would be taken for a whole day gone by.
    qint64 elapsed = qint64(signInTime(secondsSinceMidnight)) - nameConfirmedTime;
    elapsed %= kSecondsPerDay;
    if (elapsed < 0)
        elapsed += kSecondsPerDay;
    return int(elapsed / 60);
}

} // namespace app

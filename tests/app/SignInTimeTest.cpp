#include "app/SignInTime.h"

#include <gtest/gtest.h>

using app::minutesSinceSignIn;
using app::signInTime;

// The clock gives fractions of a second. A sign-in in the second half of a second is kept rounded up,
// so a "now" in the same second must not read as a second before it (a day gone by).
TEST(SignInTime, MinutesSinceSignInAtFractionalSeconds)
{
    const struct
    {
        double signIn;
        double now;
        int minutes;
    } cases[] = {
        {36000.6, 36000.6, 0},
        {36000.6, 36000.7, 0},
        {36000.4, 36000.45, 0},
        {36000.5, 36000.5, 0},
        {36000.6, 36059.9, 0},
        {36000.6, 36060.4, 0},
        {36000.6, 36060.5, 1},
        {36000.0, 36600.0, 10},
        {36000.2, 36599.6, 10},
        {36000.9, 36599.6, 9},
        // Past midnight the minutes go on counting, also from a sign-in rounded up to midnight itself.
        {86400 - 180, 120, 5},
        {86399.6, 0.1, 0},
        {86399.6, 59.6, 1},
        {86399.4, 0.2, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(minutesSinceSignIn(c.now, signInTime(c.signIn)), c.minutes) << c.signIn << " → " << c.now;
    }
    EXPECT_EQ(signInTime(36000.5), 36001);
    EXPECT_EQ(signInTime(36000.49), 36000);
}

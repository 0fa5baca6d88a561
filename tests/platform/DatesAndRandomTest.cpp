#include "platform/DateSerial.h"
#include "platform/JapaneseDate.h"
#include "platform/RandomSource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(DateSerial, CountsWholeDaysFromTheThirtiethOfDecember1899)
{
    EXPECT_EQ(platform::dateSerial(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(platform::dateSerial(QDate(1900, 1, 1)), 2.0);
    EXPECT_EQ(platform::dateSerial(QDate(2000, 1, 1)), 36526.0);
    EXPECT_EQ(platform::dateSerial(QDate(2026, 12, 8)), 46364.0);
    EXPECT_EQ(platform::dateFromSerial(46364.0), QDate(2026, 12, 8));
    EXPECT_EQ(platform::dateFromSerial(46364.99), QDate(2026, 12, 8));
    EXPECT_FALSE(platform::dateFromSerial(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(platform::dateFromSerial(1e300).isValid());
}

TEST(DateSerial, TimeOfDayIsAFractionOfADay)
{
    EXPECT_EQ(platform::timeFraction(QTime(12, 0)), 0.5);
    EXPECT_EQ(platform::timeFraction(QTime(6, 0)), 0.25);
    EXPECT_EQ(platform::timeFromFraction(0.75), QTime(18, 0));
    EXPECT_EQ(platform::timeFromFraction(platform::timeFraction(QTime(23, 59, 59))), QTime(23, 59, 59));
    // A fraction just short of a whole day stays on the same day instead of wrapping to midnight.
    EXPECT_EQ(platform::timeFromFraction(0.9999999999), QTime(23, 59, 59, 999));
    EXPECT_EQ(platform::dateTimeSerial(QDateTime(QDate(2026, 12, 8), QTime(18, 0))), 46364.75);
}

TEST(JapaneseDate, SplashDateCarriesEraMonthTwoDigitDayAndWeekday)
{
    EXPECT_EQ(platform::japaneseEraDateText(QDate(2026, 12, 8)), QStringLiteral("令和8年 12月 08日（火）"));
    EXPECT_EQ(platform::japaneseEraDateText(QDate(2019, 4, 30)), QStringLiteral("平成31年 4月 30日（火）"));
    EXPECT_EQ(platform::japaneseEraDateText(QDate(1989, 1, 7)), QStringLiteral("昭和64年 1月 07日（土）"));
    EXPECT_TRUE(platform::japaneseEraDateText(QDate()).isEmpty());
}

TEST(Random, DrawOfOneToNStaysInRange)
{
    testing_support::ScriptedRandom random;
    random.push(0.0);
    random.push(0.999999999);
    random.push(0.5);
    EXPECT_EQ(platform::drawOneTo(random, 12), 1);
    EXPECT_EQ(platform::drawOneTo(random, 12), 12);
    EXPECT_EQ(platform::drawOneTo(random, 6), 4);
}

TEST(Random, SeededSourceIsUniformInTheHalfOpenUnitInterval)
{
    platform::SeededRandom a(7), b(7);
    int buckets[10] = {};
    for (int i = 0; i < 100000; ++i) {
        const double x = a.next();
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
        ASSERT_EQ(x, b.next());
        ++buckets[int(x * 10)];
    }
    for (int count : buckets) {
        EXPECT_GT(count, 9500);
        EXPECT_LT(count, 10500);
    }
}

TEST(Random, SeedingFromTheClockRepeatsTheDrawOfTheSameMillisecond)
{
    testing_support::FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0, 250)));
    platform::SeededRandom a(1);
    platform::SeededRandom b(2);
    platform::seedFromClock(a, clock);
    b.seed(quint64(36000250));
    EXPECT_EQ(a.next(), b.next());
    clock.advanceMs(1);
    platform::seedFromClock(a, clock);
    b.seed(quint64(36000250));
    EXPECT_NE(a.next(), b.next());
}

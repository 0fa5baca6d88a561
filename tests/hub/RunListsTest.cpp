#include "hub/RunLists.h"

#include "platform/DateSerial.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace hub;

namespace {
const QString S = QStringLiteral("　");
const QString kName = QStringLiteral("青木") + S.repeated(3);
double at(int h, int m, int s = 0)
{
    return platform::timeFraction(QTime(h, m, s));
}
double on(int y, int mo, int d)
{
    return platform::dateSerial(QDate(y, mo, d));
}
} // namespace

TEST(RunListRows, TodaysRuns)
{
    EXPECT_EQ(todayRunRow(95, at(15, 30, 59), QStringLiteral("③"), kName, 11),
              QStringLiteral("  95秒 15:30③") + kName + QStringLiteral("③11"));
    EXPECT_EQ(todayRunRow(1234, at(9, 5), QStringLiteral("●"), kName, 0),
              QStringLiteral("1234秒 09:05●") + kName + QStringLiteral("●0"));
    // Five characters: a time of five digits loses its first one.
    EXPECT_EQ(todayRunRow(12345, at(9, 5), QStringLiteral("●"), kName, 0).left(5), QStringLiteral("2345秒"));
    EXPECT_EQ(todayFailedRow(at(18, 0), QStringLiteral("Ⅰ"), kName),
              QStringLiteral("　　× 18:00Ⅰ") + kName + QStringLiteral("Ⅰ"));
}

TEST(RunListRows, PeriodRunsInBothDisplays)
{
    const double date = on(2026, 3, 4);
    EXPECT_EQ(periodRunRow(RunDisplay::Times, 87, date, QStringLiteral("⑤"), kName, 12),
              QStringLiteral("  87秒 03/04⑤") + kName + QStringLiteral("⑤12"));
    EXPECT_EQ(periodRunRow(RunDisplay::Points, 87, date, QStringLiteral("⑤"), kName, 12),
              QStringLiteral("   12 03/04⑤") + kName + QStringLiteral("⑤87秒"));
    EXPECT_EQ(periodFailedRow(date, QStringLiteral("●"), kName),
              QStringLiteral("　　× 03/04●") + kName + QStringLiteral("●"));
}

TEST(RunListRows, PersonalTimes)
{
    EXPECT_EQ(personalRow(on(2026, 12, 8), at(7, 3, 9), 95), QStringLiteral("2026/12/08 07:03:09  95秒"));
    EXPECT_EQ(personalRow(on(2026, 12, 8), at(17, 3, 9), 99999), QStringLiteral("2026/12/08 17:03:09*失敗*"));
}

TEST(RunListColour, TheLastRunThatDidNotFailDecides)
{
    const QString fail = todayFailedRow(at(9, 0), S, kName);
    auto run = [](qint32 time) { return todayRunRow(time, at(9, 0), S, kName, 5); };
    struct Case
    {
        const char *what;
        QStringList rows;
        ListColour expected;
    };
    const Case cases[] = {
        {"empty", {}, ListColour::None},
        {"only failed", {fail, fail}, ListColour::None},
        {"at the target", {run(120)}, ListColour::WithinTarget},
        {"within the minimum", {run(121)}, ListColour::WithinMinimum},
        {"at the minimum", {run(240)}, ListColour::WithinMinimum},
        {"over", {run(241)}, ListColour::Over},
        {"the last, not the best", {run(50), run(300)}, ListColour::Over},
        {"failed rows are skipped", {run(300), run(60), fail}, ListColour::WithinTarget},
        {"four digits", {run(1100)}, ListColour::Over},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runListColour(c.rows, 120, 240), c.expected) << c.what;
    EXPECT_EQ(listColourRgb(ListColour::WithinTarget), 0x00C000u);
    EXPECT_EQ(listColourRgb(ListColour::WithinMinimum), 0xC0FFC0u);
    EXPECT_EQ(listColourRgb(ListColour::Over), 0xC0C0C0u);
}

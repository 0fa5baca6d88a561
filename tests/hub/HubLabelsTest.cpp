#include "hub/HubLabels.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace hub;

TEST(HubLabels, LevelColumnTexts)
{
    EXPECT_EQ(startCaption(7), QStringLiteral("ｽﾀｰﾄ(&7)"));
    EXPECT_EQ(startCaption(20), QStringLiteral("ｽﾀｰﾄ(&20)"));
    EXPECT_EQ(startToolTip(), QStringLiteral("クリックしてスタートします。番号を押してもよろしい"));
    EXPECT_EQ(standardText(120, 3, 30, 2), QStringLiteral("目標=120秒 3回/30点(×2)"));
    EXPECT_EQ(standardText(120, 3, 9999, 2), QStringLiteral("目標=120秒 --------"));
    EXPECT_EQ(passPeriodText(QStringLiteral("30"), 4, 27), QStringLiteral("最近30日=4回 / 27点"));
    EXPECT_EQ(todayValueText(0, 0), QStringLiteral("-----"));
    EXPECT_EQ(todayValueText(2, 15), QStringLiteral("2回/15点"));
    EXPECT_EQ(soFarValueText(0, 0), QStringLiteral("------"));
    EXPECT_EQ(soFarValueText(12, 130), QStringLiteral("12回/130点"));
}

TEST(HubLabels, HeaderTexts)
{
    EXPECT_EQ(titlePointSize(QStringLiteral("四字熟語")), 24);
    EXPECT_EQ(titlePointSize(QStringLiteral("四字熟語四字熟語四字")), 20);
    EXPECT_EQ(titlePointSize(QStringLiteral("四字熟語四字熟語四")), 24);
    EXPECT_EQ(studentLine(QStringLiteral("加藤あおい          "), QStringLiteral("小３")),
              QStringLiteral("加藤あおい 小３"));
    EXPECT_EQ(numberLine(132, QStringLiteral("テスト塾")), QStringLiteral("132:テスト塾"));
    EXPECT_EQ(elapsedText(0), QStringLiteral("起動後0分"));
    EXPECT_EQ(elapsedText(10), QStringLiteral("起動後10分"));
    EXPECT_EQ(dayTotalText(7), QStringLiteral("本日総回数＝7回"));
    EXPECT_EQ(hintText(), QStringLiteral("GRPH+A,B,C,D..でも選択できます。"));
}

TEST(HubLabels, ViewControlTexts)
{
    EXPECT_EQ(gradeFilterItems().size(), 12);
    EXPECT_EQ(gradeFilterItems().first(), QStringLiteral("全学年"));
    EXPECT_EQ(gradeFilterItems().last(), QStringLiteral("小１"));
    EXPECT_EQ(periodItems().size(), 5);
    EXPECT_EQ(periodItems()[2], QStringLiteral("　　１ヶ月間の全成績"));
    EXPECT_EQ(periodItems()[4], QStringLiteral("　　今までの全成績\""));
    EXPECT_EQ(listChoiceCaptionsForTimes()[0], QStringLiteral("BEST表示"));
    EXPECT_EQ(listChoiceCaptionsForPoints()[2], QStringLiteral("すべて"));
    EXPECT_EQ(listChoiceCaptionsOnActivation()[1], QStringLiteral("本日順"));
}

TEST(PeriodDays, TheWeekRunsMondayToSunday)
{
    struct Case
    {
        QDate today;
        int thisWeek, sinceLastWeek;
    };
    const Case cases[] = {
        {QDate(2026, 12, 7), 1, 8},   // Monday: today only
        {QDate(2026, 12, 8), 2, 9},   // Tuesday
        {QDate(2026, 12, 12), 6, 13}, // Saturday
        {QDate(2026, 12, 13), 7, 14}, // Sunday: Monday to Sunday
    };
    for (const Case &c : cases) {
        EXPECT_EQ(periodDays(1, c.today), c.thisWeek) << c.today.toString().toStdString();
        EXPECT_EQ(periodDays(2, c.today), c.sinceLastWeek) << c.today.toString().toStdString();
    }
    EXPECT_EQ(periodDays(3, QDate(2026, 12, 8)), 30);
    EXPECT_EQ(periodDays(4, QDate(2026, 12, 8)), 365);
    EXPECT_EQ(periodDays(5, QDate(2026, 12, 8)), 3650);
}

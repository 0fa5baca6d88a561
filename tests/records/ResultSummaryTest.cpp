#include "records/ResultSummary.h"
#include "app/AppState.h"

#include <gtest/gtest.h>

using namespace result_screen;

TEST(ResultScreenTexts, CountsCarryABlankInTheSignPosition)
{
    EXPECT_EQ(levelCountText(3), QStringLiteral(" (このレベル　 3回目)"));
    EXPECT_EQ(dayCountText(12), QStringLiteral("（ 12回目)"));
    EXPECT_EQ(signedNumber(-1), QStringLiteral("-1"));
}

TEST(ResultScreenTexts, TimeAndPointsLines)
{
    EXPECT_EQ(timeText(85), QStringLiteral("今の成績：85秒"));
    EXPECT_EQ(timeText(99999), QStringLiteral("記録なし"));
    EXPECT_EQ(timeText(99998), QStringLiteral("記録なし"));
    EXPECT_EQ(timeText(99997), QStringLiteral("今の成績：99997秒"));
    EXPECT_EQ(pointsText(50, 100, 3), QStringLiteral("獲得ポイント：11点×3→33点"));
    EXPECT_EQ(pointsText(99999, 100, 3), QStringLiteral("獲得ポイント：0点×3→0点"));
    // The result screen uses the exact time: 1234 s against a target of 2000 s.
    EXPECT_EQ(pointsText(1234, 2000, 1), QStringLiteral("獲得ポイント：7点×1→7点"));
}

TEST(ResultScreenMessages, OverallBestWinsAndATimeOutNeverHasARecord)
{
    LastDrill d;
    d.resultTime = 80;
    EXPECT_EQ(message(d), Message::None);
    d.newPersonalBest = true;
    EXPECT_EQ(message(d), Message::PersonalBest);
    EXPECT_EQ(messageText(Message::PersonalBest), QStringLiteral("新記録おめでとう"));
    EXPECT_EQ(sound(d, 300).kind, 8);
    d.newOverallBest = true;
    EXPECT_EQ(message(d), Message::OverallBest);
    EXPECT_EQ(messageText(Message::OverallBest), QStringLiteral("！！！最高新記録！！！"));
    EXPECT_EQ(sound(d, 300).fixedFile, QStringLiteral("最高1.wav"));
    LastDrill timeOut;
    timeOut.drillEndReason = 1;
    timeOut.resultTime = 99999;
    EXPECT_EQ(message(timeOut), Message::TimeUp);
    EXPECT_EQ(messageText(Message::TimeUp), QStringLiteral("時間切れ"));
    EXPECT_EQ(sound(timeOut, 300).kind, 0);
    EXPECT_TRUE(sound(timeOut, 300).fixedFile.isEmpty());
}

TEST(ResultScreenMessages, MinimumLineSoundOnlyWithinTheMinimumTime)
{
    LastDrill d;
    d.resultTime = 300;
    EXPECT_EQ(sound(d, 300).kind, 10);
    d.resultTime = 301;
    EXPECT_EQ(sound(d, 300).kind, 0);
}

TEST(ResultScreenAgain, WithheldWhileOverPractisedAndClearedBeforeTheFinalLevel)
{
    struct Case
    {
        bool overPractised, cleared, finalLevel, finalCleared;
        bool showAgain;
        AgainDecision::Label label;
    };
    const Case cases[] = {
        {false, false, false, false, true, AgainDecision::Label::Keep},
        {false, true, false, false, true, AgainDecision::Label::Keep},
        {true, false, false, false, true, AgainDecision::Label::Keep},
        {true, true, false, false, false, AgainDecision::Label::GoOn},
        {true, true, false, true, true, AgainDecision::Label::Keep},
        {true, true, true, false, true, AgainDecision::Label::Hide},
    };
    for (const Case &c : cases) {
        const AgainDecision d = againDecision(c.overPractised, c.cleared, c.finalLevel, c.finalCleared);
        EXPECT_EQ(d.showAgain, c.showAgain);
        EXPECT_EQ(d.label, c.label);
    }
}

TEST(ResultScreenCongratulation, OnlyAtTheFinalLevelAndWhenEveryLevelCanBeCleared)
{
    auto state = std::make_unique<AppState>();
    state->catalogue.finalLevel = 20;
    EXPECT_TRUE(congratulationApplies(state->catalogue, state->standards, 20));
    EXPECT_FALSE(congratulationApplies(state->catalogue, state->standards, 18));
    state->standards.clearCount[7] = 9999;
    EXPECT_FALSE(congratulationApplies(state->catalogue, state->standards, 20));
}

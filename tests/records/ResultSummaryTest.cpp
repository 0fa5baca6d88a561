#include "records/ResultSummary.h"
#include "records/Marks.h"
#include "startup/AppState.h"

#include <gtest/gtest.h>

using namespace records::result_screen;

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
    drill::LastDrill d;
    d.resultTime = 80;
    EXPECT_EQ(message(d), Message::None);
    d.newPersonalBest = true;
    EXPECT_EQ(message(d), Message::PersonalBest);
    EXPECT_EQ(messageText(Message::PersonalBest), QStringLiteral("新記録おめでとう"));
    EXPECT_EQ(records::result_screen::sound(d, 300).kind, 8);
    d.newOverallBest = true;
    EXPECT_EQ(message(d), Message::OverallBest);
    EXPECT_EQ(messageText(Message::OverallBest), QStringLiteral("！！！最高新記録！！！"));
    EXPECT_EQ(records::result_screen::sound(d, 300).fixedFile, QStringLiteral("最高1.wav"));
    drill::LastDrill timeOut;
    timeOut.drillEndReason = 1;
    timeOut.resultTime = 99999;
    EXPECT_EQ(message(timeOut), Message::TimeUp);
    EXPECT_EQ(messageText(Message::TimeUp), QStringLiteral("時間切れ"));
    EXPECT_EQ(records::result_screen::sound(timeOut, 300).kind, 0);
    EXPECT_TRUE(records::result_screen::sound(timeOut, 300).fixedFile.isEmpty());
}

TEST(ResultScreenMessages, MinimumLineSoundOnlyWithinTheMinimumTime)
{
    drill::LastDrill d;
    d.resultTime = 300;
    EXPECT_EQ(records::result_screen::sound(d, 300).kind, 10);
    d.resultTime = 301;
    EXPECT_EQ(records::result_screen::sound(d, 300).kind, 0);
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

TEST(ResultScreenTexts, PointsAreTheBaseTimesTheMultiplierKeptWithinTheSums)
{
    EXPECT_EQ(pointsText(50, 100, -2), QStringLiteral("獲得ポイント：11点×-2→-22点"));
    // A multiplier a teacher typed far too large gives the most the sums can hold, as the statistics do.
    EXPECT_EQ(pointsText(0, 100, 2000000000), QStringLiteral("獲得ポイント：55点×2000000000→2147483647点"));
    EXPECT_EQ(pointsText(records::kZeroPointLimit, 200000, 3), QStringLiteral("獲得ポイント：0点×3→0点"));
}

TEST(ResultScreenSounds, TheResultSoundComesFirstAndThePassFanfareOnlyForAFirstFinalClear)
{
    struct Case
    {
        const char *name;
        bool personalBest, overallBest, timeOut, alreadyCleared, cleared, finalLevel;
        qint32 time;
        QList<int> kinds;       // in order; 0 for a fixed file
        QStringList fixedFiles; // the fixed files in order
    };
    const QList<Case> cases = {
        {"slow run, nothing", false, false, false, false, false, false, 400, {}, {}},
        {"within the minimum line", false, false, false, false, false, false, 300, {10}, {}},
        {"personal best", true, false, false, false, false, false, 200, {8}, {}},
        {"overall best", true, true, false, false, false, false, 200, {0}, {QStringLiteral("最高1.wav")}},
        {"time-out", false, false, true, false, false, false, records::kTimeOut, {}, {}},
        {"final level first cleared",
         false,
         false,
         false,
         false,
         true,
         true,
         400,
         {0},
         {QStringLiteral("合格.wav")}},
        {"final level, best and first clear",
         true,
         true,
         false,
         false,
         true,
         true,
         100,
         {0, 0},
         {QStringLiteral("最高1.wav"), QStringLiteral("合格.wav")}},
        {"final level cleared before", false, false, false, true, true, true, 250, {10}, {}},
        {"final level not cleared", false, false, false, false, false, true, 400, {}, {}},
        {"another level cleared", false, false, false, false, true, false, 400, {}, {}},
    };
    for (const Case &c : cases) {
        drill::LastDrill d;
        d.resultTime = c.time;
        d.newPersonalBest = c.personalBest;
        d.newOverallBest = c.overallBest;
        d.drillEndReason = c.timeOut ? 1 : 0;
        d.alreadyCleared = c.alreadyCleared;
        const QList<Sound> list = sounds(d, 300, c.cleared, c.finalLevel);
        QList<int> kinds;
        QStringList files;
        for (const Sound &s : list) {
            kinds << s.kind;
            if (!s.fixedFile.isEmpty())
                files << s.fixedFile;
        }
        EXPECT_EQ(kinds, c.kinds) << c.name;
        EXPECT_EQ(files, c.fixedFiles) << c.name;
    }
}

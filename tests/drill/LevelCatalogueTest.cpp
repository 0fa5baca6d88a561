#include "drill/LevelCatalogue.h"
#include "startup/AppState.h"

#include <gtest/gtest.h>

TEST(LevelCatalogue, TwentyLevelsAlternatePracticeAndTest)
{
    auto state = std::make_unique<AppState>();
    catalogue::setUpLevels(state->catalogue);
    const drill::Catalogue &c = state->catalogue;
    EXPECT_EQ(c.levelCount, 20);
    EXPECT_EQ(c.finalLevel.toInt(), 20);
    EXPECT_EQ(c.levelNames[1], QStringLiteral("範囲１練"));
    EXPECT_EQ(c.levelNames[2], QStringLiteral("範囲１"));
    EXPECT_EQ(c.levelNames[19], QStringLiteral("範囲１０練"));
    EXPECT_EQ(c.levelNames[20], QStringLiteral("範囲１０"));
    EXPECT_TRUE(c.levelNames[21].isEmpty());
    EXPECT_TRUE(c.levelNames[0].isEmpty());
    for (int level = 1; level <= 20; ++level) {
        EXPECT_EQ(catalogue::isPracticeLevel(c.levelNames[level]), level % 2 == 1) << level;
        EXPECT_EQ(c.recordedLevel[level], 1);
    }
    EXPECT_EQ(c.recordedLevel[21], 0);
}

TEST(LevelCatalogue, RangeNumberIsHalfTheLevelRoundedUp)
{
    EXPECT_EQ(catalogue::rangeNumber(1), 1);
    EXPECT_EQ(catalogue::rangeNumber(2), 1);
    EXPECT_EQ(catalogue::rangeNumber(19), 10);
    EXPECT_EQ(catalogue::rangeNumber(20), 10);
}

TEST(LevelCatalogue, StartupSettings)
{
    drill::Catalogue c;
    catalogue::applyStartupSettings(c);
    EXPECT_EQ(c.programTitle, QStringLiteral("四字熟語"));
    EXPECT_EQ(c.printMode, 2);
    EXPECT_TRUE(c.allLevelsOpen);
}

TEST(LevelCatalogue, ADrillAfterATimeOutStartsCleanAtTheLevelAskedFor)
{
    auto state = std::make_unique<AppState>();
    state->lastDrill.drillEndReason = 1;
    state->lastDrill.endingInProgress = true;
    state->lastDrill.elapsedTime = 1500;
    state->drill.timeLimit = 1500;
    state->lastDrill.resultTime = 99999;
    state->run.currentLevel = 4;
    catalogue::prepareDrill(state->run, state->lastDrill, state->drill, 7);
    EXPECT_EQ(state->run.currentLevel, 7);
    EXPECT_EQ(state->lastDrill.drillEndReason, 0);
    EXPECT_FALSE(state->lastDrill.endingInProgress);
    EXPECT_EQ(state->drill.timeLimit, 0);
    // The result of the last drill stays for the screens that show it.
    EXPECT_EQ(state->lastDrill.resultTime, 99999);
}

// The screens and tables show the catalogue's levels up to the tables' last slot, and none below zero.
TEST(LevelCatalogue, TheLevelCountStaysWithinTheTables)
{
    drill::Catalogue c;
    for (const auto &[count, shown] :
         std::initializer_list<std::pair<int, int>>{{20, 20}, {35, 35}, {36, 35}, {0, 0}, {-1, 0}}) {
        c.levelCount = count;
        EXPECT_EQ(catalogue::levelCount(c), shown) << count;
    }
}

// What the drill screen and the hub ask of a level by its number.
TEST(LevelCatalogue, PracticeAndRecordingByLevelNumber)
{
    auto state = std::make_unique<AppState>();
    drill::Catalogue &c = state->catalogue;
    catalogue::setUpLevels(c);
    for (int level = 1; level <= 20; ++level) {
        EXPECT_EQ(catalogue::isPracticeLevel(c, level), level % 2 == 1) << level;
        EXPECT_EQ(catalogue::runsAsPractice(c, level), level % 2 == 1) << level;
        EXPECT_TRUE(catalogue::isRecordedLevel(c, level)) << level;
    }
    // An even level whose caption holds "練" runs as practice too; an odd one always does.
    c.levelNames[4] = QStringLiteral("範囲２練");
    EXPECT_TRUE(catalogue::runsAsPractice(c, 4));
    EXPECT_TRUE(catalogue::isPracticeLevel(c, 4));
    c.levelNames[3] = QStringLiteral("範囲２");
    EXPECT_TRUE(catalogue::runsAsPractice(c, 3));
    EXPECT_FALSE(catalogue::isPracticeLevel(c, 3));
    // Numbers outside the catalogue's slots are neither practice nor recorded, and nothing is read there.
    for (int level : {-1, kMaxLevel + 1, 1000}) {
        EXPECT_FALSE(catalogue::isPracticeLevel(c, level)) << level;
        EXPECT_FALSE(catalogue::isRecordedLevel(c, level)) << level;
    }
    EXPECT_FALSE(catalogue::isRecordedLevel(c, 21));
}

TEST(LevelCatalogue, PracticeAndFinalLevelsByNumber)
{
    drill::Catalogue c;
    EXPECT_FALSE(catalogue::isPracticeLevel(c, 1)); // before the levels are set up
    EXPECT_EQ(catalogue::finalLevel(c), 0);
    catalogue::setUpLevels(c);
    EXPECT_TRUE(catalogue::isPracticeLevel(c, 1));
    EXPECT_FALSE(catalogue::isPracticeLevel(c, 2));
    EXPECT_TRUE(catalogue::isPracticeLevel(c, 19));
    EXPECT_FALSE(catalogue::isPracticeLevel(c, 21));
    EXPECT_FALSE(catalogue::isPracticeLevel(c, -1));
    EXPECT_FALSE(catalogue::isPracticeLevel(c, 36));
    EXPECT_TRUE(catalogue::isFinalLevel(c, 20));
    EXPECT_FALSE(catalogue::isFinalLevel(c, 19));
    EXPECT_FALSE(catalogue::isFinalLevel(c, 0));

    // The final level as a settings item: a text is read for its number, and a number outside the level
    // slots stands for the nearest slot.
    c.finalLevel = QStringLiteral("18");
    EXPECT_TRUE(catalogue::isFinalLevel(c, 18));
    c.finalLevel = 99;
    EXPECT_EQ(catalogue::finalLevel(c), kMaxLevel);
}

#include "drill/LevelStart.h"
#include "drill/LevelCatalogue.h"

#include <gtest/gtest.h>

using namespace drill;

namespace {

class LevelStartOf : public ::testing::Test
{
protected:
    void SetUp() override { catalogue::setUpLevels(levels); }

    LevelStart start(int level, LevelTimes times, int frameWidth = 500)
    {
        return startLevel(drillState, lastDrill, levels, level, times, frameWidth);
    }

    Catalogue levels;
    DrillRunState drillState;
    LastDrill lastDrill;
};

} // namespace

// Target 100 s and minimum 200 s: the drill times out at 1000 s, and a frame of 500 stands for it.
TEST_F(LevelStartOf, ARecordedLevelTimesOutAtFiveMinimumTimesOnAFrameThatStandsForTheLimit)
{
    lastDrill.endingInProgress = true; // as the last drill left it
    const LevelStart s = start(2, {100, 200});
    EXPECT_FALSE(lastDrill.endingInProgress);
    EXPECT_FALSE(s.practice);
    EXPECT_TRUE(s.recorded);
    EXPECT_EQ(drillState.timeLimit, 1000);
    EXPECT_DOUBLE_EQ(drillState.timeBarScale, 0.5);
    EXPECT_EQ(s.rules.timeLimit, 1000);
    EXPECT_EQ(s.rules.targetTime, 100);
    EXPECT_EQ(s.rules.minimumTime, 200);
    EXPECT_TRUE(s.rules.recordedLevel);
    EXPECT_FALSE(s.rules.practiceLevel);
    EXPECT_EQ(s.timeBar.targetMarker, 50);
    EXPECT_EQ(s.timeBar.minimumMarker, 100);
}

TEST_F(LevelStartOf, APracticeLevelRunsAsFlashCardsAgainstTheSameClock)
{
    const LevelStart s = start(1, {100, 200});
    EXPECT_TRUE(s.practice);
    EXPECT_TRUE(s.rules.practiceLevel);
    EXPECT_EQ(s.rules.timeLimit, 1000);
}

// A level that is not recorded sets up no time bar: the limit and scale stay as the start of the
// drill left them, and so do the markers.
TEST_F(LevelStartOf, ALevelThatIsNotRecordedKeepsTheClockItWasGiven)
{
    levels.recordedLevel[4] = 0;
    drillState.timeLimit = 0;
    const LevelStart s = start(4, {100, 200});
    EXPECT_FALSE(s.recorded);
    EXPECT_EQ(drillState.timeLimit, 0);
    EXPECT_EQ(s.rules.timeLimit, 0);
    EXPECT_EQ(s.timeBar.targetMarker, 0);
    EXPECT_FALSE(lastDrill.endingInProgress);
}

TEST_F(LevelStartOf, MarkersAndTheElapsedBarStayWithinTheFrame)
{
    // A target beyond the limit (a table with a target longer than five minimum times).
    LevelStart s = start(2, {3000, 200});
    EXPECT_EQ(s.timeBar.targetMarker, 500);
    DrillSession::Tick tick;
    tick.elapsed = 100;
    EXPECT_EQ(s.timeBar.elapsedWidth(tick), 50);
    tick.elapsed = -30; // a drill across midnight
    EXPECT_EQ(s.timeBar.elapsedWidth(tick), 0);
    tick.elapsed = 1000;
    tick.pastLimit = true;
    EXPECT_EQ(s.timeBar.elapsedWidth(tick), 500 - 2 * TimeBar::kBorder);
    // A minimum time of 0: no limit to scale by.
    s = start(2, {0, 0});
    EXPECT_EQ(drillState.timeBarScale, 0.0);
    EXPECT_EQ(s.timeBar.minimumMarker, 0);
}

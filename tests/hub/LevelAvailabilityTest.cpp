#include "hub/LevelAvailability.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace hub;

namespace {
// Twenty levels, odd ones practice, nothing cleared, nothing over-practised, every level closed
// until the one before is cleared (the catalogue's open-all setting off).
AvailabilityInput closedSchool()
{
    AvailabilityInput in;
    in.levelCount = 20;
    in.levels.resize(22);
    for (int level = 1; level <= 20; ++level)
        in.levels[std::size_t(level)].practice = level % 2 == 1;
    return in;
}

std::vector<int> startable(const Availability &a)
{
    std::vector<int> levels;
    for (int level = 1; level <= 20; ++level)
        if (a.canStart(level))
            levels.push_back(level);
    return levels;
}

std::vector<int> lockedLevels(const Availability &a)
{
    std::vector<int> levels;
    for (int level = 1; level <= 20; ++level)
        if (a.locked[std::size_t(level)])
            levels.push_back(level);
    return levels;
}
} // namespace

TEST(LevelAvailability, WithoutClearingOnlyTheWayUpToTheFirstTestIsOpenAndPracticeLevelsStayOpen)
{
    const Availability a = decideAvailability(closedSchool());
    // Level 1 (practice) opens 2; level 2 (a test) is not cleared and blocks the way; from then on
    // only practice levels open.
    EXPECT_EQ(startable(a), (std::vector<int>{1, 2, 3, 5, 7, 9, 11, 13, 15, 17, 19}));
    EXPECT_TRUE(lockedLevels(a).empty());
}

TEST(LevelAvailability, ClearingALevelOpensTheNext)
{
    AvailabilityInput in = closedSchool();
    in.levels[2].cleared = true;
    in.levels[4].cleared = true;
    const Availability a = decideAvailability(in);
    // Levels 2 and 4 are cleared, so the way is first blocked by level 6.
    EXPECT_EQ(startable(a), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 15, 17, 19}));
}

TEST(LevelAvailability, ALevelThatAsksNothingIsOpenedByTheOneBefore)
{
    AvailabilityInput in = closedSchool();
    in.levels[10].asksNothing = true;
    const Availability a = decideAvailability(in);
    EXPECT_TRUE(a.canStart(10));
    EXPECT_FALSE(a.canStart(8));
    EXPECT_FALSE(a.canStart(12));
}

TEST(LevelAvailability, OverPractisedTestLevelIsLockedWhileTheNextStaysOpen)
{
    AvailabilityInput in = closedSchool();
    in.allLevelsOpen = true;
    in.levels[4].overPractised = true;
    in.levels[3].overPractised = true;  // practice levels are never locked
    in.levels[20].overPractised = true; // nor is the last level
    const Availability a = decideAvailability(in);
    EXPECT_EQ(lockedLevels(a), std::vector<int>{4});
    EXPECT_FALSE(a.canStart(4));
    EXPECT_TRUE(a.canStart(3));
    EXPECT_TRUE(a.canStart(5));
    EXPECT_TRUE(a.canStart(20));
    EXPECT_EQ(startable(a).size(), 19u);
}

TEST(LevelAvailability, ClearingTheFinalLevelLiftsEveryLock)
{
    AvailabilityInput in = closedSchool();
    in.allLevelsOpen = true;
    for (int level = 2; level <= 20; level += 2)
        in.levels[std::size_t(level)].overPractised = true;
    EXPECT_EQ(lockedLevels(decideAvailability(in)), (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 18}));

    in.finalLevelCleared = true;
    const Availability a = decideAvailability(in);
    EXPECT_TRUE(a.finalLevelCleared);
    EXPECT_TRUE(lockedLevels(a).empty());
    EXPECT_EQ(startable(a).size(), 20u);
}

TEST(LevelAvailability, ALockedLevelThatIsNotOpenedStaysClosedWithoutTheLockBox)
{
    AvailabilityInput in = closedSchool();
    in.levels[6].overPractised = true; // level 6 is never reached: level 4 blocks
    in.levels[2].cleared = true;
    in.levels[2].overPractised = true; // cleared but over-practised: opens 3, itself locked
    const Availability a = decideAvailability(in);
    EXPECT_EQ(lockedLevels(a), std::vector<int>{2});
    EXPECT_FALSE(a.canStart(2));
    EXPECT_TRUE(a.canStart(3));
    EXPECT_TRUE(a.canStart(4));
    EXPECT_FALSE(a.canStart(6));
}

TEST(LevelAvailability, TheTeacherAccountOpensEverything)
{
    AvailabilityInput in = closedSchool();
    in.teacherOpensAll = opensEveryLevel(QStringLiteral("先生                "));
    EXPECT_TRUE(in.teacherOpensAll);
    EXPECT_EQ(startable(decideAvailability(in)).size(), 20u);

    // Names that merely contain it open nothing more.
    EXPECT_FALSE(opensEveryLevel(QStringLiteral("★山本先生")));
    EXPECT_FALSE(opensEveryLevel(QStringLiteral("先生2")));
    EXPECT_FALSE(opensEveryLevel(QStringLiteral("先生　")));
}

TEST(LevelAvailability, FewerLevelsAndNoLevels)
{
    AvailabilityInput in;
    in.levelCount = 1;
    in.levels.resize(3);
    in.levels[1].overPractised = true;
    Availability a = decideAvailability(in);
    EXPECT_TRUE(a.canStart(1));
    EXPECT_FALSE(a.locked[1]);
    EXPECT_FALSE(a.canStart(2));

    in.levelCount = 0;
    a = decideAvailability(in);
    EXPECT_FALSE(a.canStart(1));
}

#include "hub/HubRules.h"

#include <Qt>

#include <gtest/gtest.h>

using namespace hub;

TEST(HubKeys, DigitsAndLettersStartTheirLevelsAndZeroGoesBack)
{
    using Action = HubKey::Action;
    struct Case
    {
        const char *name;
        int key;
        bool control, alt;
        Action action;
        int level;
    };
    const Case cases[] = {
        {"1", Qt::Key_1, false, false, Action::StartLevel, 1},
        {"9", Qt::Key_9, false, false, Action::StartLevel, 9},
        {"A", Qt::Key_A, false, false, Action::StartLevel, 10},
        {"D", Qt::Key_D, false, false, Action::StartLevel, 13},
        {"Alt+A (the start buttons' access keys)", Qt::Key_A, false, true, Action::StartLevel, 10},
        {"E", Qt::Key_E, false, false, Action::None, 0},
        {"0", Qt::Key_0, false, false, Action::Back, 0},
        {"Alt+0", Qt::Key_0, false, true, Action::None, 0},
        {"Alt+5", Qt::Key_5, false, true, Action::None, 0},
        {"Ctrl+5", Qt::Key_5, true, false, Action::None, 0},
        {"Ctrl+B", Qt::Key_B, true, false, Action::None, 0},
        {"Ctrl+0", Qt::Key_0, true, false, Action::None, 0},
        {"Return", Qt::Key_Return, false, false, Action::None, 0},
    };
    for (const Case &c : cases) {
        const HubKey k = hubKey(c.key, c.control, c.alt);
        EXPECT_EQ(k.action, c.action) << c.name;
        EXPECT_EQ(k.level, c.level) << c.name;
    }
}

TEST(HubPrintButton, ShownByPrintModeAndForTeachersInModeOne)
{
    EXPECT_TRUE(printButtonShown(2, false));
    EXPECT_TRUE(printButtonShown(2, true));
    EXPECT_TRUE(printButtonShown(1, true));
    EXPECT_FALSE(printButtonShown(1, false));
    EXPECT_FALSE(printButtonShown(0, true));
    EXPECT_FALSE(printButtonShown(3, true));
}

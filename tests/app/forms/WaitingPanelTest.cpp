#include "app/forms/WaitingPanel.h"

#include <QProgressBar>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(WaitingPanel, AQuickStepShowsNothingAndASlowOneShowsItsProgress)
{
    QWidget screen;
    screen.resize(400, 300);
    screen.show();
    WaitingPanel panel(QStringLiteral("Just a moment, please."), true, &screen);
    panel.begin(10);
    panel.step(1);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(panel.isRunning());

    QTest::qSleep(int(WaitingPanel::kShowAfterMs) + 20);
    panel.step(4);
    EXPECT_TRUE(panel.isVisible());
    ASSERT_NE(panel.progressBar(), nullptr);
    EXPECT_EQ(panel.progressBar()->maximum(), 10);
    EXPECT_EQ(panel.progressBar()->value(), 4);
    panel.step(40); // beyond the end: the bar stays full
    EXPECT_EQ(panel.progressBar()->value(), 10);

    panel.end();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(panel.isRunning());

    // Before the screen is left the panel shows at once.
    panel.showNow();
    EXPECT_TRUE(panel.isVisible());
}

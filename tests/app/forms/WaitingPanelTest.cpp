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

// A wait notice goes in the middle of its window unless that would cover a notice the screen keeps in
// sight; then just below it, or above it when there is no room below.
TEST(WaitingPanel, IsPlacedClearOfTheNoticesKeptInSight)
{
    const QRect window(0, 0, 1024, 768);
    const QSize panel(400, 110);
    EXPECT_EQ(app::waiting::placeClearOf(window, panel, {}), QRect(312, 329, 400, 110));

    const QRect middle(262, 300, 500, 170);
    const QRect below = app::waiting::placeClearOf(window, panel, {middle});
    EXPECT_FALSE(below.intersects(middle));
    EXPECT_TRUE(window.contains(below));
    EXPECT_GT(below.top(), middle.bottom());
    EXPECT_EQ(below.left(), 312);

    const QRect low(262, 560, 500, 170);
    const QRect above = app::waiting::placeClearOf(window, panel, {low});
    EXPECT_TRUE(window.contains(above));
    EXPECT_FALSE(above.intersects(low));

    // Only a notice that is shown counts.
    QWidget screen;
    screen.resize(1024, 768);
    auto *notice = new QWidget(&screen);
    notice->setGeometry(middle.translated(0, -100));
    app::waiting::keepInSight(notice);
    screen.show();
    EXPECT_EQ(app::waiting::noticesInSight(&screen), QList<QRect>{middle.translated(0, -100)});
    notice->hide();
    EXPECT_TRUE(app::waiting::noticesInSight(&screen).isEmpty());
}

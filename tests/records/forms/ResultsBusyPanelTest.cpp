#include "records/forms/ResultsBusyPanel.h"
#include "platform/FileLock.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"
#include "startup/forms/MainWindow.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using records::ResultsBusyPanel;

using namespace testing_support;

// The window's panel is the program's wait notice: an append that waits more than a second for another
// PC's lock shows it, with the reason, over the screen, and it goes once the record is written.
TEST(ResultsBusyPanel, ShowsOverTheWindowWhileAnAppendWaitsForAnotherPcAndGoesAfterwards)
{
    QTemporaryDir dir;
    FakeServices fakes;
    auto state = std::make_unique<AppState>();
    state->settings.dataFolder = dir.path() + u'/';
    state->run.studentNumber = 3;
    state->run.currentLevel = 2;
    MainWindow window(*state, fakes.services, dir.path());
    window.show();
    auto *panel = window.findChild<ResultsBusyPanel *>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(fakes.wait.notice(), panel);
    EXPECT_FALSE(panel->isVisible());

    const QString path = records::resultsFilePath(state->settings.dataFolder);
    platform::LockedFile otherPc;
    ASSERT_TRUE(otherPc.open(path, platform::LockedFile::Access::ReadWriteCreate));
    ASSERT_EQ(otherPc.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    bool shownAtHalfASecond = true;
    bool shownAtOneAndAHalf = false;
    QString line;
    QRect where;
    QTimer::singleShot(500, [&] { shownAtHalfASecond = panel->isVisible(); });
    QTimer::singleShot(1500, [&] {
        shownAtOneAndAHalf = panel->isVisible();
        line = panel->line();
        where = panel->geometry();
        otherPc.close();
    });
    QString error;
    ASSERT_TRUE(succeeded(
        records::appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime),
        &error))
        << error.toStdString();
    EXPECT_FALSE(shownAtHalfASecond);
    EXPECT_TRUE(shownAtOneAndAHalf);
    EXPECT_EQ(line, QStringLiteral("ほかのパソコンが成績ファイルを使っています。"));
    EXPECT_TRUE(window.rect().contains(where));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(readBytes(path).size(), records::kRecordSize);
}

TEST(ResultsBusyPanel, IsNoLongerTheNoticeOnceItIsGone)
{
    platform::ResponsiveWait programWait;
    {
        QWidget window;
        ResultsBusyPanel panel(&window, programWait);
        EXPECT_EQ(programWait.notice(), &panel);
    }
    EXPECT_EQ(programWait.notice(), nullptr);
}

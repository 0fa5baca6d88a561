#include "app/ProgramVersion.h"
#include "platform/TextFile.h"
#include "startup/AppState.h"
#include "startup/forms/MainWindow.h"
#include "startup/forms/SplashScreen.h"
#include "startup/forms/VersionBox.h"
#include "support/TestSupport.h"
#include "support/gui/GuiTestSupport.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {
bool waitFor(const std::function<bool()> &done, int ms = 3000)
{
    for (int waited = 0; waited < ms && !done(); waited += 10)
        QTest::qWait(10);
    return done();
}
} // namespace

TEST(Startup, SplashShowsTheDateAndSeasonThenHandsOverToTheNameScreen)
{
    Installation inst;
    writeFile932(inst.baseFolder + QStringLiteral("新名簿.txt"),
                 {QStringLiteral("131,2017,0,0,\"加藤あおい\",0,\"\",\"\"")});
    FakeServices fakes;
    auto state = std::make_unique<AppState>();
    MainWindow window(*state, fakes.services, inst.applicationFolder);
    window.start();

    auto *splash = qobject_cast<SplashScreen *>(window.currentScreen());
    ASSERT_NE(splash, nullptr);
    auto *date = control<QLabel>(splash, QStringLiteral("Label1"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->text(), QStringLiteral("令和8年 12月 08日（火）"));
    EXPECT_EQ(state->settings.seasonColour, 0xC0FFC0u);
    EXPECT_FALSE(state->settings.developmentLayout);
    EXPECT_EQ(fakes.random.seeds().size(), 1u);
    auto *timer = control<QTimer>(splash, QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_TRUE(timer->isActive());
    saveScreenshot(&window, QStringLiteral("startup-splash"));

    QPointer<SplashScreen> watched(splash);
    ASSERT_TRUE(waitFor([&] { return watched.isNull(); }));
    EXPECT_EQ(state->settings.dataFolder, inst.dataFolder);
    EXPECT_EQ(state->standards.targetTime[2], 120);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_FALSE(fakes.programEnd.ended);
    ASSERT_NE(window.currentScreen(), nullptr);
    EXPECT_EQ(window.currentScreen()->objectName(), QStringLiteral("namesel"));
}

TEST(Startup, MissingSettingsFileStopsWithAMessageAndAnExitStatus)
{
    Installation inst;
    ASSERT_TRUE(QFile::remove(inst.commonDataFile()));
    FakeServices fakes;
    auto state = std::make_unique<AppState>();
    MainWindow window(*state, fakes.services, inst.applicationFolder);
    window.start();
    ASSERT_TRUE(waitFor([&] { return fakes.programEnd.ended; }));
    EXPECT_EQ(fakes.programEnd.status, 1);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(platform::displayPath(inst.commonDataFile())));
    EXPECT_EQ(fakes.messages.shown[0].icon, platform::MessageBoxes::Icon::Critical);
}

TEST(Startup, VersionBoxShowsTitleVersionAndFamily)
{
    VersionBox box(QStringLiteral("四字熟語"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_TRUE(app::versionLine().startsWith(QStringLiteral("Version1.")));
    const QList<QLabel *> labels = box.findChildren<QLabel *>();
    QStringList texts;
    for (QLabel *label : labels)
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("四字熟語")));
    EXPECT_TRUE(texts.contains(app::versionLine()));
    EXPECT_TRUE(texts.contains(QStringLiteral("Kamirato")));
    auto *ok = control<QPushButton>(&box, QStringLiteral("cmdOK"));
    ASSERT_NE(ok, nullptr);
    box.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

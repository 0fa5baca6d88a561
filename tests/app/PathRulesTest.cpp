#include "app/PathRules.h"
#include "startup/StartupRules.h"

#include <gtest/gtest.h>

namespace {
const QChar kBackslash(u'\\');
const QChar kSlash(u'/');
} // namespace

TEST(PathRules, WindowsInstallationFindsItsDataAndSoundFolders)
{
    const QString app = QStringLiteral("D:\\juku\\四字熟語");
    const QString base = app::baseFolder(QStringLiteral("D:\\juku\\data\\"), kBackslash);
    const QString name = app::appFolderName(app, kBackslash);
    EXPECT_EQ(app::appFolder(app, kBackslash), QStringLiteral("D:\\juku\\四字熟語\\"));
    EXPECT_EQ(name, QStringLiteral("四字熟語"));
    EXPECT_EQ(app::dataFolder(base, name, app, false, kBackslash),
              QStringLiteral("D:\\juku\\data\\四字熟語\\"));
    EXPECT_EQ(app::soundFolder(base, kBackslash), QStringLiteral("D:\\juku\\data\\音フォルダ\\"));
    EXPECT_EQ(app::pathDataFile(app, kBackslash), QStringLiteral("D:\\juku\\四字熟語\\..\\パスデータ.txt"));
}

TEST(PathRules, LinuxInstallationUsesTheSameRulesWithItsSeparator)
{
    const QString app = QStringLiteral("/srv/juku/四字熟語");
    const QString base = app::baseFolder(QStringLiteral("/srv/juku/data/"), kSlash);
    const QString name = app::appFolderName(app, kSlash);
    EXPECT_EQ(name, QStringLiteral("四字熟語"));
    EXPECT_EQ(app::dataFolder(base, name, app, false, kSlash), QStringLiteral("/srv/juku/data/四字熟語/"));
    EXPECT_EQ(app::soundFolder(base, kSlash), QStringLiteral("/srv/juku/data/音フォルダ/"));
}

TEST(PathRules, BaseFolderWithoutFinalSeparatorGetsOne)
{
    EXPECT_EQ(app::baseFolder(QStringLiteral("D:\\juku\\data"), kBackslash),
              QStringLiteral("D:\\juku\\data\\"));
    EXPECT_EQ(app::baseFolder(QStringLiteral("/srv/data/"), kSlash), QStringLiteral("/srv/data/"));
}

TEST(PathRules, DriveRootHasAnEmptyFolderName)
{
    EXPECT_EQ(app::appFolderName(QStringLiteral("C:\\"), kBackslash), QString());
    EXPECT_EQ(app::appFolderName(QStringLiteral("C:\\a\\b\\c"), kBackslash), QStringLiteral("c"));
}

TEST(PathRules, DevelopmentLayoutKeepsDataBesideTheProgram)
{
    const QString app = QStringLiteral("C:\\VB0006\\四字熟語");
    EXPECT_TRUE(app::isDevelopmentLayout(app));
    EXPECT_FALSE(app::isDevelopmentLayout(QStringLiteral("C:\\juku\\四字熟語")));
    EXPECT_EQ(app::developmentBaseFolder(app, kBackslash), QStringLiteral("C:\\VB0006\\共通データ\\"));
    EXPECT_EQ(app::dataFolder(QStringLiteral("C:\\VB0006\\共通データ\\"), QStringLiteral("四字熟語"), app,
                              true, kBackslash),
              QStringLiteral("C:\\VB0006\\四字熟語\\"));
}

TEST(PathRules, ProgramMenuLauncher)
{
    EXPECT_EQ(app::launcherPath(QStringLiteral("D:\\juku\\四字熟語"), false, kBackslash),
              QStringLiteral("D:\\juku\\四字熟語\\..\\起動\\プログラムメニューc.exe"));
    EXPECT_EQ(app::launcherArguments(false), QStringList{QStringLiteral("001")});
    EXPECT_EQ(app::launcherPath(QStringLiteral("C:\\VB0006\\四字熟語"), true, kBackslash),
              QStringLiteral("C:\\VB0006\\四字熟語\\..\\..\\起動\\起動\\プログラムメニュー.exe"));
    EXPECT_TRUE(app::launcherArguments(true).isEmpty());
}

TEST(StartupRules, SchoolTextSplitsOffANonZeroFiveCharacterCode)
{
    struct Case
    {
        const char16_t *text, *code, *name;
    };
    const Case cases[] = {
        {u"12345ABC塾", u"12345", u"ABC塾"},
        {u"ABC塾", u"", u"ABC塾"},
        {u"00000X", u"", u"00000X"},
        {u"54321", u"54321", u""},
        {u"", u"", u""},
        {u"00012みらい塾", u"00012", u"みらい塾"},
    };
    for (const Case &c : cases) {
        const startup::SchoolText s = startup::splitSchoolText(QString::fromUtf16(c.text));
        EXPECT_EQ(s.code, QString::fromUtf16(c.code)) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(s.name, QString::fromUtf16(c.name)) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(StartupRules, SeasonColourOfEveryMonth)
{
    const quint32 spring = 0xC0FFC0, summer = 0x00C0C0, autumn = 0xC04000, winter = 0xFF8000;
    const quint32 expected[13] = {0,      winter, winter, spring, spring, spring, summer,
                                  summer, summer, autumn, autumn, autumn, spring};
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(startup::seasonColour(month), expected[month]) << month;
}

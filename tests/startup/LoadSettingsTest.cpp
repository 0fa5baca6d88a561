#include "startup/LoadSettings.h"
#include "platform/TextFile.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {
const QChar kSlash(u'/');

QByteArray snapshot(const Installation &inst)
{
    QByteArray all;
    for (const QString &path : {inst.pathDataFile(), inst.commonDataFile(), inst.standardsFile()})
        all += readBytes(path) + '|';
    return all;
}
} // namespace

TEST(LoadSettings, FillsPathsSettingsCatalogueAndStandards)
{
    Installation inst;
    auto state = std::make_unique<AppState>();
    QString error;
    ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error))
        << error.toStdString();
    const app::PathsAndSettings &s = state->settings;
    EXPECT_EQ(s.appFolder, inst.applicationFolder + u'/');
    EXPECT_EQ(s.baseFolder, inst.baseFolder);
    EXPECT_EQ(s.appFolderName, QStringLiteral("四字熟語"));
    EXPECT_EQ(s.dataFolder, inst.dataFolder);
    EXPECT_EQ(s.soundFolder, inst.soundFolder);
    EXPECT_EQ(s.schoolYearStartMonth, 4);
    EXPECT_EQ(s.schoolCode, QStringLiteral("12345"));
    EXPECT_EQ(s.schoolName, QStringLiteral("テスト塾"));
    EXPECT_EQ(s.teacherPassword,
              (app::TeacherPassword{.number = std::nullopt, .text = QStringLiteral("abc")}));
    EXPECT_EQ(state->catalogue.programTitle, QStringLiteral("四字熟語"));
    EXPECT_EQ(state->catalogue.printMode, 2);
    EXPECT_TRUE(state->catalogue.allLevelsOpen);
    EXPECT_EQ(state->standards.targetTime[1], 110);
    EXPECT_EQ(state->standards.minimumTime[20], 600);
}

TEST(LoadSettings, UnusedItemsChangeNothing)
{
    Installation a;
    Installation b;
    writeFile932(b.pathDataFile(),
                 {QStringLiteral("\"%1\",\"他のプログラム\",x,y,z,,,,,\"★\"").arg(b.baseFolder)});
    writeFile932(b.commonDataFile(), {QStringLiteral("4,\"12345テスト塾\",0,0,\"別\",\"abc\",a,b,c,d")});
    auto sa = std::make_unique<AppState>();
    auto sb = std::make_unique<AppState>();
    QString error;
    ASSERT_TRUE(succeeded(startup::loadSettings(*sa, a.applicationFolder, kSlash), &error));
    ASSERT_TRUE(succeeded(startup::loadSettings(*sb, b.applicationFolder, kSlash), &error))
        << error.toStdString();
    EXPECT_EQ(sa->settings.schoolCode, sb->settings.schoolCode);
    EXPECT_EQ(sa->settings.schoolName, sb->settings.schoolName);
    EXPECT_EQ(sa->settings.teacherPassword, sb->settings.teacherPassword);
    EXPECT_EQ(sa->settings.commonSetting3, sb->settings.commonSetting3);
}

// The roster option and the password are read into their types once, here: the option is on for an
// item that reads as 1 (a number, or a text of it); the password keeps its number when it was written
// without quotes.
TEST(LoadSettings, TheRosterOptionAndThePasswordTakeTheirTypesFromTheirItems)
{
    const struct
    {
        QString option;
        QString password;
        bool optionOn;
        app::TeacherPassword read;
    } rows[] = {
        {QStringLiteral("1"), QStringLiteral("123"), true, {.number = 123.0, .text = QStringLiteral("123")}},
        {QStringLiteral("\"1\""),
         QStringLiteral("\"123\""),
         true,
         {.number = std::nullopt, .text = QStringLiteral("123")}},
        {QStringLiteral("0"),
         QStringLiteral("\"abc\""),
         false,
         {.number = std::nullopt, .text = QStringLiteral("abc")}},
        {QStringLiteral("2"), QString(), false, {.number = std::nullopt, .text = QString()}},
        {QString(), QStringLiteral("0123"), false, {.number = 123.0, .text = QStringLiteral("123")}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE((row.option + u'|' + row.password).toStdString());
        Installation inst;
        writeFile932(
            inst.commonDataFile(),
            {QStringLiteral("4,\"12345テスト塾\",%1,0,\"別\",%2,a,b,c,d").arg(row.option, row.password)});
        app::PathsAndSettings settings;
        const app::Status read = startup::readCommonData(inst.commonDataFile(), settings);
        ASSERT_FALSE(read) << read->text.toStdString();
        EXPECT_EQ(settings.commonSetting3, row.optionOn);
        EXPECT_EQ(settings.teacherPassword, row.read);
    }
}

TEST(LoadSettings, EveryMissingFileIsNamedWithItsFullPathAndNothingIsWritten)
{
    for (int which = 0; which < 3; ++which) {
        Installation inst;
        const QString victim = which == 0   ? inst.pathDataFile()
                               : which == 1 ? inst.commonDataFile()
                                            : inst.standardsFile();
        ASSERT_TRUE(QFile::remove(victim));
        const QByteArray before = snapshot(inst);
        auto state = std::make_unique<AppState>();
        QString error;
        EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
        EXPECT_TRUE(error.contains(platform::displayPath(victim))) << error.toStdString();
        EXPECT_EQ(snapshot(inst), before);
        EXPECT_FALSE(QFile::exists(victim));
    }
}

TEST(LoadSettings, TooFewItemsAreReported)
{
    Installation inst;
    writeFile932(inst.commonDataFile(), {QStringLiteral("4,\"12345テスト塾\",0")});
    auto state = std::make_unique<AppState>();
    QString error;
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(inst.commonDataFile())));
    EXPECT_TRUE(error.contains(QStringLiteral("3 個しかありません"))) << error.toStdString();
}

TEST(LoadSettings, ShortStandardsRowIsReported)
{
    Installation inst;
    QStringList lines = Installation::standardsLines();
    lines[5] = QStringLiteral("100,200,30");
    writeFile932(inst.standardsFile(), lines);
    auto state = std::make_unique<AppState>();
    QString error;
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(inst.standardsFile()))) << error.toStdString();
}

TEST(LoadSettings, BytesThatAreNotCodePage932AreReported)
{
    Installation inst;
    writeBytes(inst.commonDataFile(), QByteArray("4,\"\x81\",0,0,x,abc,7,8,9,10\r\n"));
    auto state = std::make_unique<AppState>();
    QString error;
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(inst.commonDataFile()))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("1 行目"))) << error.toStdString();
}

TEST(LoadSettings, DevelopmentLayoutTakesTheDataFolderBesideTheProgram)
{
    QTemporaryDir dir;
    const QString app = dir.path() + QStringLiteral("/VB0006/四字熟語");
    QDir().mkpath(app);
    writeFile932(dir.path() + QStringLiteral("/VB0006/パスデータ.txt"),
                 {QStringLiteral("/nowhere/,2,3,4,5,6,7,8,9,10")});
    auto state = std::make_unique<AppState>();
    state->settings.developmentLayout = true;
    QString error;
    // The development base folder is at the drive's root, which a test cannot write; what matters is
    // that the program looks there and reports the file it misses.
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, app, kSlash), &error));
    EXPECT_EQ(state->settings.baseFolder, QStringLiteral("/VB0006/共通データ/"));
    EXPECT_TRUE(error.contains(QStringLiteral("/VB0006/共通データ/共通データ.txt"))) << error.toStdString();
}

// Items are separated by line ends as by commas: an empty line is an empty item.
TEST(LoadSettings, EmptyLinesAreEmptyItemsAndAFinalEmptyLineIsNoItem)
{
    Installation inst;
    // Item 1 and nine empty lines make a path data file of ten items.
    QStringList pathData{inst.baseFolder};
    for (int i = 0; i < 9; ++i)
        pathData << QString();
    writeFile932(inst.pathDataFile(), pathData);
    // Item 5 is an empty line: the password is still item 6. An editor left an empty line at the end.
    writeFile932(inst.commonDataFile(),
                 {QStringLiteral("4"), QStringLiteral("\"12345テスト塾\""), QStringLiteral("0"),
                  QStringLiteral("0"), QString(), QStringLiteral("\"pass\""), QStringLiteral("7"),
                  QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"), QString()});
    auto state = std::make_unique<AppState>();
    QString error;
    ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error))
        << error.toStdString();
    EXPECT_EQ(state->settings.baseFolder, inst.baseFolder);
    EXPECT_EQ(state->settings.schoolName, QStringLiteral("テスト塾"));
    EXPECT_EQ(state->settings.teacherPassword.text, QStringLiteral("pass"));

    // Nine items and an empty line at the end are still too few.
    writeFile932(inst.commonDataFile(), {QStringLiteral("4,\"12345テスト塾\",0,0,,\"pass\",7,8,9")});
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("9 個しかありません"))) << error.toStdString();
}

// A fresh installation names a base folder that is not there yet (the share is not mounted, or the school
// has not been laid out): the message says which folder is missing, which file names it, and how to lay
// out an empty school, instead of only missing the common settings file.
TEST(LoadSettings, MissingBaseFolderSaysWhichFileToEditAndHowToLayOutASchool)
{
    Installation inst;
    const QString missing = inst.root.path() + QStringLiteral("/共有/塾データ/");
    writeFile932(inst.pathDataFile(), {QStringLiteral("\"%1\",,,,,,,,,").arg(missing)});
    const QByteArray before = snapshot(inst);
    auto state = std::make_unique<AppState>();
    QString error;
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("共通フォルダがありません：") + missing))
        << error.toStdString();
    EXPECT_TRUE(error.contains(platform::displayPath(inst.pathDataFile()))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("yoji-data school \"%1\"").arg(missing)))
        << error.toStdString();
    EXPECT_EQ(snapshot(inst), before);
    EXPECT_FALSE(QFileInfo::exists(missing));

    // A base folder that is there but lacks the common settings keeps the message that names the file.
    QDir().mkpath(missing);
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, kSlash), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ファイルが見つかりません：") +
                               platform::displayPath(missing + QStringLiteral("共通データ.txt"))))
        << error.toStdString();
}

#include "EmptySchool.h"
#include "DataTool.h"
#include "platform/TextFile.h"
#include "roster/RosterFile.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A new installation: the application folder and, above it, a path data file that names a base folder on
// a share that holds nothing yet.
struct NewInstallation
{
    QTemporaryDir root;
    QString applicationFolder = root.path() + QStringLiteral("/opt/四字熟語");
    QString baseFolder = root.path() + QStringLiteral("/共有/塾データ/");
    NewInstallation()
    {
        QDir().mkpath(applicationFolder);
        writeFile932(root.path() + QStringLiteral("/opt/パスデータ.txt"),
                     {QStringLiteral("\"%1\",,,,,,,,,").arg(baseFolder)});
    }
};

} // namespace

// What the tool lays out is enough for the program's whole start-up: settings, standards, the sound set
// with files that are there, and a roster the name screen reads.
TEST(EmptySchool, TheProgramStartsOnWhatIsLaidOut)
{
    NewInstallation inst;
    const app::Result<yojidata::EmptySchool> laidOut =
        yojidata::layOutEmptySchool(inst.baseFolder, QStringLiteral("四字熟語"));
    ASSERT_TRUE(laidOut) << laidOut.failure().text.toStdString();
    const yojidata::EmptySchool &school = laidOut.value();
    QString error;
    EXPECT_EQ(school.baseFolder, inst.baseFolder);
    EXPECT_EQ(school.dataFolder, inst.baseFolder + QStringLiteral("四字熟語/"));

    auto state = std::make_unique<AppState>();
    ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error))
        << error.toStdString();
    EXPECT_EQ(state->settings.dataFolder, school.dataFolder);
    EXPECT_EQ(state->settings.teacherPassword.text, school.password);
    EXPECT_EQ(school.password.size(), 6);
    EXPECT_TRUE(state->settings.schoolCode.isEmpty());
    EXPECT_EQ(state->settings.schoolName, QStringLiteral("塾の名前"));
    // The two answer sounds, whose failure ends a drill, name files that exist.
    for (int kind : {2, 4})
        EXPECT_TRUE(QFileInfo::exists(state->settings.soundFolder + state->sound.soundFiles[kind][1] +
                                      QStringLiteral(".wav")))
            << kind;
    for (const char16_t *fixed : {u"最高1.wav", u"合格.wav"})
        EXPECT_TRUE(QFileInfo::exists(state->settings.soundFolder + QString::fromUtf16(fixed)));

    QList<roster::RosterLine> lines;
    roster::RosterFailure failure;
    ASSERT_TRUE(roster::readRosterLines(roster::filePath(inst.baseFolder), &lines, &failure))
        << failure.description.toStdString();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].record.name.contains(QStringLiteral("★先生")));
    EXPECT_EQ(lines[0].record.status, 0);
}

TEST(EmptySchool, LayingOutAgainKeepsWhatTheSchoolEdited)
{
    NewInstallation inst;
    ASSERT_TRUE(yojidata::layOutEmptySchool(inst.baseFolder, QStringLiteral("四字熟語")));
    const QString roster = roster::filePath(inst.baseFolder);
    writeFile932(roster, {QStringLiteral("1,2015,0,0,\"山田花子\",0,\"\",\"\"")});
    const QString commonData = inst.baseFolder + QStringLiteral("共通データ.txt");
    const QByteArray commonBefore = readBytes(commonData);
    QFile::remove(inst.baseFolder + QStringLiteral("音フォルダ/合格.wav"));

    const app::Result<yojidata::EmptySchool> again =
        yojidata::layOutEmptySchool(inst.baseFolder, QStringLiteral("四字熟語"));
    ASSERT_TRUE(again) << again.failure().text.toStdString();
    const yojidata::EmptySchool &second = again.value();
    EXPECT_EQ(second.written, QStringList{inst.baseFolder + QStringLiteral("音フォルダ/合格.wav")});
    EXPECT_TRUE(second.password.isEmpty()); // the school's password stays, so none is announced
    EXPECT_EQ(readBytes(commonData), commonBefore);
    EXPECT_TRUE(readBytes(roster).contains(platform::encode932(QStringLiteral("山田花子"))));
}

TEST(EmptySchool, AFileWhereTheFolderShouldBeIsRefusedAndKept)
{
    QTemporaryDir root;
    const QString taken = root.path() + QStringLiteral("/塾データ");
    writeBytes(taken, "not a folder");
    const app::Result<yojidata::EmptySchool> laidOut =
        yojidata::layOutEmptySchool(taken, QStringLiteral("四字熟語"));
    ASSERT_FALSE(laidOut);
    EXPECT_TRUE(laidOut.failure().text.contains(platform::displayPath(taken)))
        << laidOut.failure().text.toStdString();
    EXPECT_EQ(readBytes(taken), QByteArray("not a folder"));
}

TEST(EmptySchool, CommandSaysWhatToDoNextAndIsInTheHelp)
{
    NewInstallation inst;
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    EXPECT_EQ(yojidata::runDataTool({QStringLiteral("school"), inst.baseFolder}, out, err), 0);
    out.flush();
    err.flush();
    EXPECT_TRUE(errText.isEmpty()) << errText.toStdString();
    app::PathsAndSettings settings;
    const app::Status read =
        startup::readCommonData(inst.baseFolder + QStringLiteral("共通データ.txt"), settings);
    ASSERT_FALSE(read) << read->text.toStdString();
    const QString password = settings.teacherPassword.text;
    EXPECT_TRUE(outText.contains(QStringLiteral("「%1」").arg(password))) << outText.toStdString();
    for (const QString &named :
         {inst.baseFolder + QStringLiteral("共通データ.txt"), inst.baseFolder + QStringLiteral("新名簿.txt"),
          inst.baseFolder + QStringLiteral("四字熟語/"),
          QStringLiteral("パスデータ.txt の 1 番目の項目を \"%1\"").arg(inst.baseFolder)})
        EXPECT_TRUE(outText.contains(named)) << named.toStdString();

    EXPECT_EQ(yojidata::runDataTool({QStringLiteral("school")}, out, err), 2);
    EXPECT_TRUE(yojidata::helpText().contains(QStringLiteral("yoji-data school <共通フォルダ>")));
}

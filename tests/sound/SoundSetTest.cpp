#include "sound/SoundSet.h"
#include "platform/TextFile.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;
using sound::kCountSlot;
using sound::parseSoundSet;

namespace {

QStringList filesOf(const sound::SoundTable &table, int kind)
{
    QStringList files;
    for (int slot = 1; slot <= sound::kMaxFilesPerKind; ++slot) {
        if (!table[kind][slot].isEmpty())
            files << table[kind][slot];
    }
    return files;
}

} // namespace

TEST(SoundSet, AGroupGivesItsKindTheFilesAndTheirCount)
{
    const sound::SoundTable table = parseSoundSet(QStringLiteral("正解音2,pin1,pin2,*\r\n"));
    EXPECT_EQ(filesOf(table, 2), (QStringList{QStringLiteral("pin1"), QStringLiteral("pin2")}));
    EXPECT_EQ(table[2][kCountSlot], QStringLiteral("2"));
    // Every kind carries its name; the kinds the file does not mention have no count.
    const char16_t *names[] = {u"正解音1", u"正解音2",     u"間違い音1",   u"間違い音2",   u"最高音1",
                               u"最高音2", u"自己最高音1", u"自己最高音2", u"自己最高音3", u"不合格音1"};
    for (int kind = 1; kind <= sound::kKindCount; ++kind) {
        EXPECT_EQ(table[kind][0], QString::fromUtf16(names[kind - 1]));
        if (kind != 2) {
            EXPECT_TRUE(table[kind][kCountSlot].isEmpty()) << kind;
        }
    }
    EXPECT_TRUE(table[0][0].isEmpty());
}

TEST(SoundSet, GroupsFollowTheItemRulesOfTheSettingsFiles)
{
    struct Row
    {
        const char *name;
        QString text;
        int kind;
        QStringList files;
        QString count; // empty: no count
    };
    const Row rows[] = {
        {"groups span lines",
         QStringLiteral("間違い音2\r\nboo1\r\n\"boo 2\"\r\n*\r\n"),
         4,
         {QStringLiteral("boo1"), QStringLiteral("boo 2")},
         QStringLiteral("2")},
        {"blanks around items",
         QStringLiteral("  自己最高音2 ,  jiko1 ,*"),
         8,
         {QStringLiteral("jiko1")},
         QStringLiteral("1")},
        {"a subfolder and a comma",
         QStringLiteral("不合格音1,\"sub\\a,b\",*"),
         10,
         {QStringLiteral("sub\\a,b")},
         QStringLiteral("1")},
        {"no files", QStringLiteral("正解音2,*"), 2, {}, QStringLiteral("0")},
        {"other items are passed over",
         QStringLiteral("メモ,正解音,*,正解音2,a,*,x"),
         2,
         {QStringLiteral("a")},
         QStringLiteral("1")},
        {"a kind name inside a group is a file",
         QStringLiteral("正解音2,間違い音2,*"),
         2,
         {QStringLiteral("間違い音2")},
         QStringLiteral("1")},
        {"a later group writes over an earlier one",
         QStringLiteral("正解音2,a,b,*,正解音2,c,*"),
         2,
         {QStringLiteral("c"), QStringLiteral("b")},
         QStringLiteral("1")},
        {"cut off by the end",
         QStringLiteral("間違い音2,a,b"),
         4,
         {QStringLiteral("a"), QStringLiteral("b")},
         {}},
        // An empty line is an empty item: inside a group, an empty file name that is counted; after the
        // last item, nothing (the group stays cut off).
        {"an empty line inside a group",
         QStringLiteral("正解音2\r\na\r\n\r\nb\r\n*\r\n"),
         2,
         {QStringLiteral("a"), QStringLiteral("b")},
         QStringLiteral("3")},
        {"empty lines after the last item",
         QStringLiteral("間違い音2\r\na\r\n\r\n\r\n"),
         4,
         {QStringLiteral("a")},
         {}},
        {"a quoted star ends a group too",
         QStringLiteral("正解音2,a,\"*\""),
         2,
         {QStringLiteral("a")},
         QStringLiteral("1")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const sound::SoundTable table = parseSoundSet(row.text);
        EXPECT_EQ(filesOf(table, row.kind), row.files);
        EXPECT_EQ(table[row.kind][kCountSlot], row.count);
    }
}

TEST(SoundSet, TwentyNamesMakeAGroupAndMoreKeepTwentyWithNoCount)
{
    QStringList twenty{QStringLiteral("正解音2")};
    for (int i = 1; i <= 20; ++i)
        twenty << QStringLiteral("f%1").arg(i);
    const sound::SoundTable full = parseSoundSet((twenty + QStringList{QStringLiteral("*")}).join(u','));
    EXPECT_EQ(filesOf(full, 2).size(), 20);
    EXPECT_EQ(full[2][kCountSlot], QStringLiteral("20"));

    const QStringList tooMany =
        twenty + QStringList{QStringLiteral("f21"), QStringLiteral("*"), QStringLiteral("間違い音2"),
                             QStringLiteral("x"), QStringLiteral("*")};
    const sound::SoundTable table = parseSoundSet(tooMany.join(u','));
    EXPECT_EQ(filesOf(table, 2).size(), 20);
    EXPECT_EQ(table[2][20], QStringLiteral("f20"));
    EXPECT_TRUE(table[2][kCountSlot].isEmpty());
    // The items after the twentieth name are read as kind names again.
    EXPECT_EQ(filesOf(table, 4), QStringList{QStringLiteral("x")});
    EXPECT_EQ(table[4][kCountSlot], QStringLiteral("1"));

    // A kind name as the twenty-first item starts its own group.
    const sound::SoundTable next = parseSoundSet(
        (twenty + QStringList{QStringLiteral("間違い音2"), QStringLiteral("y"), QStringLiteral("*")})
            .join(u','));
    EXPECT_TRUE(next[2][kCountSlot].isEmpty());
    EXPECT_EQ(filesOf(next, 4), QStringList{QStringLiteral("y")});
}

namespace {

struct SoundFolder
{
    QTemporaryDir dir;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    QString path;
    SoundFolder()
    {
        state->settings.soundFolder = dir.path() + QStringLiteral("/音フォルダ/");
        QDir().mkpath(state->settings.soundFolder);
        path = state->settings.soundFolder + QStringLiteral("新音ファイル.txt");
    }
    void copyFixture(const QString &name)
    {
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(testDataPath(QStringLiteral("sound/") + name), path));
    }
};

} // namespace

TEST(SoundSet, LoadsTheFileOfTheSoundFolder)
{
    SoundFolder folder;
    folder.copyFixture(QStringLiteral("good.txt"));
    const int fileNumber = folder.state->settings.fileNumber;
    QString error;
    ASSERT_TRUE(
        testing_support::succeeded(sound::loadSoundSet(folder.state->settings, folder.state->sound), &error))
        << error.toStdString();
    const auto &table = folder.state->sound.soundFiles;
    EXPECT_EQ(filesOf(table, 2), (QStringList{QStringLiteral("seikai1"), QStringLiteral("seikai2"),
                                              QStringLiteral("sub\\pin 3")}));
    EXPECT_EQ(table[2][kCountSlot], QStringLiteral("3"));
    EXPECT_EQ(table[8][kCountSlot], QStringLiteral("0"));
    EXPECT_EQ(table[10][1], QStringLiteral("minimum1"));
    EXPECT_TRUE(table[3][kCountSlot].isEmpty());
    EXPECT_GT(folder.state->settings.fileNumber, fileNumber);
}

TEST(SoundSet, BrokenSoundSetsAreReportedAndTheTableKept)
{
    struct Row
    {
        const char *fixture;
        bool loads;
        int line; // named in the message
    };
    const Row rows[] = {
        {"missing", false, 0},     {"folder", false, 0},         {"broken-932.txt", false, 2},
        {"garbage.bin", false, 0}, {"huge", false, 0},           {"empty.txt", true, 0},
        {"unclosed.txt", true, 0}, {"over-twenty.txt", true, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.fixture);
        SoundFolder folder;
        folder.copyFixture(QStringLiteral("good.txt"));
        ASSERT_FALSE(sound::loadSoundSet(folder.state->settings, folder.state->sound));
        const sound::SoundTable before = folder.state->sound.soundFiles;

        const QString fixture = QString::fromLatin1(row.fixture);
        QFile::remove(folder.path);
        if (fixture == QStringLiteral("folder")) {
            QDir().mkpath(folder.path);
        } else if (fixture == QStringLiteral("huge")) {
            writeBytes(folder.path, QByteArray(sound::kMaxSoundSetBytes + 1, ','));
        } else if (fixture != QStringLiteral("missing")) {
            folder.copyFixture(fixture);
        }
        QString error;
        EXPECT_EQ(testing_support::succeeded(sound::loadSoundSet(folder.state->settings, folder.state->sound),
                                             &error),
                  row.loads);
        if (row.loads) {
            EXPECT_TRUE(error.isEmpty());
            continue;
        }
        EXPECT_TRUE(error.contains(platform::displayPath(folder.path))) << error.toStdString();
        if (row.line != 0) {
            EXPECT_TRUE(error.contains(QStringLiteral(" %1 行目").arg(row.line))) << error.toStdString();
        }
        EXPECT_TRUE(folder.state->sound.soundFiles == before);
    }
}

TEST(SoundSet, IsTheLastStepOfLoadingTheSettings)
{
    Installation inst;
    writeFile932(inst.soundSetFile(), {QStringLiteral("正解音2,pin1,pin2,*"), QStringLiteral("不合格音1,*")});
    auto state = std::make_unique<AppState>();
    QString error;
    ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error))
        << error.toStdString();
    EXPECT_EQ(state->sound.soundFiles[2][2], QStringLiteral("pin2"));
    EXPECT_EQ(state->sound.soundFiles[10][kCountSlot], QStringLiteral("0"));
}

// A missing sound set stops the start-up like the other settings files, naming the file.
TEST(SoundSet, AMissingSoundSetStopsTheStartUpWithItsPath)
{
    Installation inst;
    ASSERT_TRUE(QFile::remove(inst.soundSetFile()));
    const QByteArray standards = readBytes(inst.standardsFile());
    auto state = std::make_unique<AppState>();
    QString error;
    EXPECT_FALSE(succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(inst.soundSetFile()))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(inst.soundSetFile()));
    EXPECT_EQ(readBytes(inst.standardsFile()), standards);
}

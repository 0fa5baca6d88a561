#include "DemoSchool.h"
#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sndfile.h>

using namespace testing_support;

TEST(DemoSchool, IsACompleteInstallationTheProgramStartsOn)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), QDate(2026, 12, 8), &written), &error))
        << error.toStdString();
    const demo::Layout layout(dir.path());
    auto state = std::make_unique<AppState>();
    ASSERT_TRUE(
        succeeded(startup::loadSettings(*state, layout.root + QStringLiteral("/四字熟語"), u'/'), &error))
        << error.toStdString();
    EXPECT_EQ(state->settings.dataFolder, layout.dataFolder);
    EXPECT_EQ(state->settings.schoolCode, QStringLiteral("24601"));
    EXPECT_EQ(state->settings.schoolName, QStringLiteral("ひかり進学塾"));
    for (int level = 2; level <= 20; level += 2) {
        EXPECT_GT(state->standards.targetTime[level], 0);
        EXPECT_GT(state->standards.minimumTime[level], state->standards.targetTime[level]);
    }
}

TEST(DemoSchool, TextFilesAreCodePage932WithCrlf)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), QDate(2026, 12, 8), &written), &error));
    int textFiles = 0;
    for (const QString &path : written) {
        if (!path.endsWith(QStringLiteral(".txt")))
            continue;
        ++textFiles;
        const QByteArray bytes = readBytes(path);
        bool ok = false;
        platform::decode932(bytes, &ok);
        EXPECT_TRUE(ok) << path.toStdString();
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << path.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << path.toStdString();
    }
    EXPECT_EQ(textFiles, 5);
}

TEST(DemoSchool, RosterHasStudentsOfEveryStageAndBothTeachers)
{
    const QStringList lines = demo::rosterLines(QDate(2026, 12, 8));
    EXPECT_GE(lines.size(), 38);
    QSet<int> numbers, statuses, grades;
    bool starTeacher = false, plainTeacher = false;
    for (const QString &line : lines) {
        const QList<platform::Item> items = platform::readAllItems(line);
        ASSERT_EQ(items.size(), 8) << line.toStdString();
        const int number = items[0].text.toInt();
        EXPECT_FALSE(numbers.contains(number)) << "duplicate student number " << number;
        numbers.insert(number);
        grades.insert(2026 - items[1].text.toInt() - 6);
        statuses.insert(items[5].text.toInt());
        starTeacher |= items[4].text.contains(u'★');
        plainTeacher |= items[4].text == QStringLiteral("先生");
        EXPECT_LE(items[4].text.size(), 20);
    }
    EXPECT_EQ(statuses, (QSet<int>{0, 1, 2}));
    for (int grade = 0; grade <= 12; ++grade)
        EXPECT_TRUE(grades.contains(grade)) << "no student in grade " << grade;
    EXPECT_TRUE(starTeacher);
    EXPECT_TRUE(plainTeacher);
}

TEST(DemoSchool, EverySoundOfTheSoundSetIsAShortSixteenBitWave)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), QDate(2026, 12, 8), &written), &error));
    const demo::Layout layout(dir.path());
    QStringList needed{QStringLiteral("最高1"), QStringLiteral("合格")};
    for (const QString &line : demo::soundSetLines()) {
        const QList<platform::Item> items = platform::readAllItems(line);
        ASSERT_EQ(items.last().text, QStringLiteral("*"));
        for (int i = 1; i + 1 < items.size(); ++i)
            needed << items[i].text;
    }
    EXPECT_EQ(demo::soundSetLines().size(), 10);
    for (const QString &name : needed) {
        const QString path = layout.soundFolder + name + QStringLiteral(".wav");
        SF_INFO info{};
        SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << path.toStdString();
        sf_close(file);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << path.toStdString();
        const double seconds = double(info.frames) / info.samplerate;
        EXPECT_GT(seconds, 0.2);
        EXPECT_LT(seconds, 2.5);
    }
}

TEST(DemoSchool, LayingItOutAgainKeepsWhatASchoolChanged)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), QDate(2026, 12, 8), &written), &error));
    const demo::Layout layout(dir.path());
    const QString standards = layout.dataFolder + QStringLiteral("タイム回数データ.txt");
    const QString results = layout.dataFolder + QStringLiteral("成績累積データ.dat");
    writeBytes(standards, QByteArray("edited by a teacher\r\n"));
    writeBytes(results, QByteArray(44, '\x07'));
    written.clear();
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), QDate(2026, 12, 9), &written), &error));
    EXPECT_TRUE(written.isEmpty()) << written.join(u',').toStdString();
    EXPECT_EQ(readBytes(standards), QByteArray("edited by a teacher\r\n"));
    EXPECT_EQ(readBytes(results), QByteArray(44, '\x07'));
}

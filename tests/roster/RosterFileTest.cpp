#include "roster/RosterFile.h"
#include "platform/TextFile.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;
using roster::ListedStudent;

namespace {

const QDate kToday(2007, 6, 1); // school year 2007 with the year starting in April

QString padded(const QString &text)
{
    return text + QString(20 - text.size(), u' ');
}

// A base folder with a roster, and the shared state pointing at it.
struct RosterSetup
{
    QTemporaryDir dir;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    QString path;

    RosterSetup()
    {
        state->settings.baseFolder = dir.path() + u'/';
        state->settings.schoolYearStartMonth = 4;
        state->settings.commonSetting3 = false;
        path = state->settings.baseFolder + QStringLiteral("新名簿.txt");
    }
    void write(const QStringList &lines) { writeFile932(path, lines); }
    void copyFixture(const QString &name)
    {
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(testDataPath(QStringLiteral("roster/") + name), path));
    }
    bool read(QList<ListedStudent> *listed, QString *error = nullptr)
    {
        return testing_support::succeeded(roster::readRoster(state->settings, state->roster, kToday, listed),
                                          error);
    }
};

} // namespace

TEST(RosterFile, ListsStudentsOfStatusZeroInFileOrderAndKnowsEveryName)
{
    RosterSetup setup;
    setup.copyFixture(QStringLiteral("good.txt"));
    QList<ListedStudent> listed;
    QString error;
    ASSERT_TRUE(setup.read(&listed, &error)) << error.toStdString();

    const roster::Roster &r = setup.state->roster;
    EXPECT_EQ(r.currentSchoolYear, 2007);
    ASSERT_EQ(r.rosterCount, 3);
    ASSERT_EQ(listed.size(), 3);
    // The line of status 1 (102) is read but not listed; the next listed line takes its position.
    const qint16 numbers[] = {101, 103, 105};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.rosterNumbers[i + 1], numbers[i]);
        EXPECT_EQ(r.rosterRecords[i + 1].number, numbers[i]);
        EXPECT_EQ(listed[i].number, numbers[i]);
    }
    EXPECT_EQ(listed[0].name, padded(QStringLiteral("青木そうた")));
    EXPECT_EQ(listed[0].birthYear, 2000);
    EXPECT_EQ(listed[0].grade, 1);
    EXPECT_EQ(listed[0].labelB, QStringLiteral("小1"));
    // Grade 11 shows 高2 in the list and has no table-A label.
    EXPECT_EQ(listed[1].grade, 11);
    EXPECT_EQ(listed[1].labelB, QStringLiteral("高2"));
    EXPECT_EQ(r.studentGrades[103], QString());

    // Every line names its student, listed or not.
    EXPECT_EQ(r.studentNames[102], padded(QStringLiteral("石田めい")));
    EXPECT_EQ(r.studentBirthYears[102], 1996);
    EXPECT_EQ(r.studentGrades[102], QStringLiteral("小５"));
    EXPECT_EQ(r.studentNames[104], padded(QStringLiteral("小川ひなた")));
    EXPECT_EQ(r.studentGrades[104], QString()); // grade number -1
    EXPECT_EQ(r.studentGrades[105], QStringLiteral("幼３"));
    EXPECT_EQ(r.studentGrades[101], QStringLiteral("小１"));
    EXPECT_EQ(r.studentNames[106], QString());
}

TEST(RosterFile, KeepsTheUnusedFieldsAsFixedTexts)
{
    RosterSetup setup;
    setup.write({QStringLiteral("7,1999,12,-3,\"名前\",0,\"保護者 山田\",\"2006年入塾\"")});
    QList<ListedStudent> listed;
    ASSERT_TRUE(setup.read(&listed));
    const roster::RosterRecord &record = setup.state->roster.rosterRecords[1];
    EXPECT_EQ(record.spare3, 12);
    EXPECT_EQ(record.spare4, -3);
    EXPECT_EQ(record.status, 0);
    EXPECT_EQ(record.text7, padded(QStringLiteral("保護者 山田")));
    EXPECT_EQ(record.text8, padded(QStringLiteral("2006年入塾")));
}

// Which items of the common settings make the option true: LoadSettingsTest.
TEST(RosterFile, StatusTwoIsListedOnlyWhenCommonSetting3IsOne)
{
    const struct
    {
        bool setting;
        bool listed;
    } rows[] = {{true, true}, {false, false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.setting);
        RosterSetup setup;
        setup.state->settings.commonSetting3 = row.setting;
        setup.write({QStringLiteral("1,2000,0,0,\"甲\",2,\"\",\"\""),
                     QStringLiteral("2,2000,0,0,\"乙\",3,\"\",\"\"")});
        QList<ListedStudent> listed;
        ASSERT_TRUE(setup.read(&listed));
        EXPECT_EQ(listed.size(), row.listed ? 1 : 0);
        EXPECT_EQ(setup.state->roster.rosterCount, row.listed ? 1 : 0);
        if (row.listed) {
            EXPECT_EQ(setup.state->roster.rosterRecords[1].status, 0);
        }
        // Status 3 is never listed; both names are known.
        EXPECT_EQ(setup.state->roster.studentNames[2], padded(QStringLiteral("乙")));
    }
}

TEST(RosterFile, NamesAreCutOrPaddedToTwentyCharactersAsWritten)
{
    struct Row
    {
        QString field;
        QString name;
    };
    const Row rows[] = {
        {QStringLiteral("\"寿限無寿限無五劫の擦り切れ海砂利水魚の水行末\""),
         QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水")},
        {QStringLiteral("\"山田, 太郎\""), padded(QStringLiteral("山田, 太郎"))},
        {QStringLiteral("  山田太郎  "), padded(QStringLiteral("山田太郎"))},
        {QStringLiteral("\"  山田 \""), padded(QStringLiteral("  山田 "))},
        {QStringLiteral("\"\""), padded(QString())},
        {QStringLiteral("ｶﾀｶﾅ①Ⅲ～"), padded(QStringLiteral("ｶﾀｶﾅ①Ⅲ～"))},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.field.toStdString());
        RosterSetup setup;
        setup.write({QStringLiteral("5,2000,0,0,%1,0,\"\",\"\"").arg(row.field)});
        QList<ListedStudent> listed;
        QString error;
        ASSERT_TRUE(setup.read(&listed, &error)) << error.toStdString();
        ASSERT_EQ(listed.size(), 1);
        EXPECT_EQ(listed[0].name, row.name);
        EXPECT_EQ(setup.state->roster.studentNames[5], row.name);
    }
}

TEST(RosterFile, NumbersMayHaveBlanksAndAnEmptyNumberIsZero)
{
    RosterSetup setup;
    setup.write({QStringLiteral(" 12 , 2001 ,,  ,\"甲\", 0 ,\"\",\"\""), QString(),
                 QStringLiteral("5000,2000,0,0,乙,0,,")});
    QList<ListedStudent> listed;
    QString error;
    ASSERT_TRUE(setup.read(&listed, &error)) << error.toStdString();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0].number, 12);
    EXPECT_EQ(listed[0].birthYear, 2001);
    EXPECT_EQ(setup.state->roster.rosterRecords[1].spare3, 0);
    EXPECT_EQ(listed[1].number, 5000);
}

TEST(RosterFile, TheGradeFollowsTheSchoolYearOfToday)
{
    RosterSetup setup;
    setup.write({QStringLiteral("1,2000,0,0,\"甲\",0,\"\",\"\"")});
    QList<ListedStudent> listed;
    ASSERT_FALSE(roster::readRoster(setup.state->settings, setup.state->roster, QDate(2008, 3, 31), &listed));
    EXPECT_EQ(setup.state->roster.currentSchoolYear, 2007);
    EXPECT_EQ(listed[0].labelB, QStringLiteral("小1"));
    ASSERT_FALSE(roster::readRoster(setup.state->settings, setup.state->roster, QDate(2008, 4, 1), &listed));
    EXPECT_EQ(setup.state->roster.currentSchoolYear, 2008);
    EXPECT_EQ(listed[0].labelB, QStringLiteral("小2"));
    EXPECT_EQ(setup.state->roster.studentGrades[1], QStringLiteral("小２"));
}

TEST(RosterFile, AnEmptyRosterListsNobody)
{
    RosterSetup setup;
    setup.copyFixture(QStringLiteral("empty.txt"));
    QList<ListedStudent> listed{ListedStudent{}};
    ASSERT_TRUE(setup.read(&listed));
    EXPECT_TRUE(listed.isEmpty());
    EXPECT_EQ(setup.state->roster.rosterCount, 0);
}

TEST(RosterFile, ReadingAgainForgetsStudentsNoLongerInTheFile)
{
    RosterSetup setup;
    setup.copyFixture(QStringLiteral("good.txt"));
    QList<ListedStudent> listed;
    ASSERT_TRUE(setup.read(&listed));
    setup.write({QStringLiteral("101,2000,0,0,\"青木そうた\",0,\"\",\"\"")});
    ASSERT_TRUE(setup.read(&listed));
    EXPECT_EQ(setup.state->roster.rosterCount, 1);
    EXPECT_EQ(setup.state->roster.rosterNumbers[2], 0);
    EXPECT_EQ(setup.state->roster.studentNames[105], QString());
}

// Every broken roster gives the name list's message (stage 3, the file with its full path, the line and
// an error number) and leaves the tables read before as they were.
TEST(RosterFile, BrokenRostersAreReportedAndTheTablesKept)
{
    struct Row
    {
        const char *fixture; // under tests/data/roster, or a case made here
        int errorNumber;
        int line; // 0: no line to name
    };
    const Row rows[] = {
        {"missing", roster::ErrorFileNotFound, 0},
        {"folder", roster::ErrorCannotRead, 0},
        {"short-row.txt", roster::ErrorTooFewFields, 2},
        {"too-many-fields.txt", roster::ErrorTooManyFields, 2},
        {"not-a-number.txt", roster::ErrorNotANumber, 2},
        {"number-out-of-range.txt", roster::ErrorOutOfRange, 2},
        {"overflow.txt", roster::ErrorOverflow, 2},
        {"broken-932.txt", roster::ErrorNotANumber, 3},
        {"garbage.bin", 0, 0},
        {"huge", roster::ErrorTooLarge, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.fixture);
        RosterSetup setup;
        setup.copyFixture(QStringLiteral("good.txt"));
        QList<ListedStudent> listed;
        ASSERT_TRUE(setup.read(&listed));
        const QList<ListedStudent> listedBefore = listed;

        const QString fixture = QString::fromLatin1(row.fixture);
        QFile::remove(setup.path);
        if (fixture == QStringLiteral("folder")) {
            QDir().mkpath(setup.path);
        } else if (fixture == QStringLiteral("huge")) {
            QFile file(setup.path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            const QByteArray line = platform::encode932(QStringLiteral("1,2000,0,0,\"甲\",1,\"\",\"\"\r\n"));
            QByteArray block;
            while (block.size() < 1024 * 1024)
                block += line;
            for (qint64 written = 0; written <= roster::kMaxFileBytes; written += block.size())
                ASSERT_EQ(file.write(block), block.size());
        } else if (fixture != QStringLiteral("missing")) {
            setup.copyFixture(fixture);
        }
        const QByteArray bytesBefore = readBytes(setup.path);

        QString error;
        EXPECT_FALSE(setup.read(&listed, &error));
        // "名簿表示", the stage, the description and the error number, without separators.
        EXPECT_TRUE(error.startsWith(QStringLiteral("名簿表示3名簿ファイル "))) << error.toStdString();
        EXPECT_FALSE(error.contains(u'\n')) << error.toStdString();
        EXPECT_TRUE(error.contains(platform::displayPath(setup.path))) << error.toStdString();
        if (row.errorNumber != 0) {
            EXPECT_TRUE(error.endsWith(QStringLiteral("。%1").arg(row.errorNumber))) << error.toStdString();
        }
        if (row.line != 0) {
            EXPECT_TRUE(error.contains(QStringLiteral(" %1 行目").arg(row.line))) << error.toStdString();
        }

        EXPECT_EQ(setup.state->roster.rosterCount, 3);
        EXPECT_EQ(setup.state->roster.rosterNumbers[2], 103);
        EXPECT_EQ(setup.state->roster.studentNames[102], padded(QStringLiteral("石田めい")));
        EXPECT_EQ(listed.size(), listedBefore.size());
        EXPECT_EQ(readBytes(setup.path), bytesBefore);
    }
}

TEST(RosterFile, FiveThousandListedStudentsFitAndOneMoreDoesNot)
{
    QStringList lines;
    for (int i = 1; i <= roster::kMaxListed; ++i)
        lines << QStringLiteral("%1,2000,0,0,\"生徒%1\",0,\"\",\"\"").arg(i);
    lines << QStringLiteral("0,2000,0,0,\"退塾\",1,\"\",\"\""); // not listed: still fits
    RosterSetup setup;
    setup.write(lines);
    QList<ListedStudent> listed;
    QString error;
    ASSERT_TRUE(setup.read(&listed, &error)) << error.toStdString();
    EXPECT_EQ(setup.state->roster.rosterCount, roster::kMaxListed);
    EXPECT_EQ(setup.state->roster.rosterNumbers[roster::kMaxListed], roster::kMaxListed);

    lines << QStringLiteral("0,2000,0,0,\"新入生\",0,\"\",\"\"");
    setup.write(lines);
    EXPECT_FALSE(setup.read(&listed, &error));
    EXPECT_TRUE(error.contains(QStringLiteral(" 5002 行目"))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral("。%1").arg(roster::ErrorOutOfRange))) << error.toStdString();
    EXPECT_EQ(listed.size(), roster::kMaxListed);
}

TEST(RosterFile, FormattedLinesReadBackAsTheSameRecords)
{
    QList<roster::RosterRecord> records;
    for (int i = 0; i < 4; ++i) {
        roster::RosterRecord r;
        r.number = qint16(i * 1250);
        r.birthYear = qint16(1995 + i);
        r.spare3 = qint16(-32768 + i);
        r.spare4 = qint16(32767 - i);
        r.name =
            roster::fixedField(QStringLiteral("名前%6, その") + QString::number(i)); // "%6": no placeholder
        r.status = qint16(i);
        r.text7 = roster::fixedField(QString(25, QChar(u'あ' + i)));
        r.text8 = roster::fixedField(QString());
        records << r;
    }
    QStringList lines;
    for (const roster::RosterRecord &r : records)
        lines << roster::formatRosterLine(r);
    QList<roster::RosterLine> read;
    roster::RosterFailure failure;
    ASSERT_TRUE(roster::parseRoster(lines.join(QStringLiteral("\r\n")), QStringLiteral("x"), &read, &failure))
        << failure.description.toStdString();
    ASSERT_EQ(read.size(), records.size());
    for (int i = 0; i < records.size(); ++i) {
        const roster::RosterRecord &a = records[i];
        const roster::RosterRecord &b = read[i].record;
        EXPECT_EQ(read[i].line, i + 1);
        EXPECT_TRUE(a.number == b.number && a.birthYear == b.birthYear && a.spare3 == b.spare3 &&
                    a.spare4 == b.spare4 && a.name == b.name && a.status == b.status && a.text7 == b.text7 &&
                    a.text8 == b.text8)
            << i;
    }
}

TEST(RosterFile, TheMessageIsTheStageTheDescriptionAndTheNumberInARow)
{
    RosterSetup setup;
    setup.write({QStringLiteral("101,2000,0,0,\"青木そうた\",0,\"\",\"\""), QStringLiteral("102,1996,0,0")});
    QList<ListedStudent> listed;
    QString error;
    EXPECT_FALSE(setup.read(&listed, &error));
    EXPECT_EQ(error,
              QStringLiteral("名簿表示3名簿ファイル ") + platform::displayPath(setup.path) +
                  QStringLiteral(" の 2 行目の項目が足りません（8 個必要ですが 4 個しかありません）。62"));
}

// A spreadsheet that saves the roster writes the rows it has no data for as commas only. Such a row is
// no student (it would be a nameless student 0 who could be chosen and whose results are never kept).
TEST(RosterFile, ARowOfEmptyFieldsIsPassedOver)
{
    RosterSetup setup;
    setup.write({QStringLiteral("101,2000,0,0,\"青木そうた\",0,\"\",\"\""), QStringLiteral(",,,,,,,"),
                 QStringLiteral(" , ,\"\", ,\"\",,\"\",\"\""),
                 QStringLiteral("102,1996,0,0,\"石田めい\",0,\"\",\"\"")});
    QList<ListedStudent> listed;
    QString error;
    ASSERT_TRUE(setup.read(&listed, &error)) << error.toStdString();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0].number, 101);
    EXPECT_EQ(listed[1].number, 102);
    EXPECT_EQ(setup.state->roster.rosterCount, 2);
    EXPECT_EQ(setup.state->roster.studentNames[0], QString());

    // However many commas it has; but a row that holds anything at all is read, and a short one
    // reported.
    setup.write({QStringLiteral(",,,,"), QStringLiteral(",,,,\"名前だけ\",,,")});
    ASSERT_TRUE(setup.read(&listed, &error)) << error.toStdString();
    EXPECT_EQ(listed.size(), 1);
    setup.write({QStringLiteral("5,2000,,")});
    EXPECT_FALSE(setup.read(&listed, &error));
}

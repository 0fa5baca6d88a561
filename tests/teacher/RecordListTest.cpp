#include "teacher/RecordList.h"
#include "platform/DateSerial.h"
#include "platform/TextFile.h"
#include "records/RecordTestSupport.h"
#include "records/ResultRecord.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "hub/QStringPrinter.h"

using namespace teacher;
using records_test::rawRecord;

namespace {

const QString S = QStringLiteral("　");
const QDate kToday(2026, 12, 8);

BrowserRoster rosterOn(QDate today)
{
    const QString text = QStringLiteral("131,2017,0,0,\"加藤あおい\",0,\"\",\"\"\r\n"
                                        "133,2017,0,0,\"木村りく\",1,\"\",\"\"\r\n"
                                        "900,1980,0,0,\"★山本先生　ほか\",0,\"\",\"\"\r\n");
    QList<roster::RosterLine> lines;
    roster::RosterFailure failure;
    EXPECT_TRUE(roster::parseRoster(text, QStringLiteral("新名簿.txt"), &lines, &failure))
        << failure.description.toStdString();
    return browserRoster(lines, today, 4);
}

QByteArray run(QTime clock, int student, int level, int time, const char *code = "24601")
{
    return rawRecord(platform::dateSerial(kToday), platform::timeFraction(clock), qint16(student),
                     qint16(level), time, code);
}

struct Listing
{
    BrowserRoster roster = rosterOn(kToday);
    LineContext context{&roster, QStringLiteral("24601"), QStringLiteral("ひかり塾")};
    QString line(qint64 number, const QByteArray &record) const
    {
        return recordLine(number, record.constData(), context);
    }
};

} // namespace

TEST(RecordLines, ALineHoldsNumberDateTimeLevelTimeStudentGradeAndSchool)
{
    const Listing l;
    EXPECT_EQ(l.line(1, run(QTime(15, 30, 0), 131, 2, 60)),
              QStringLiteral("   1 2026/12/08") + S + QStringLiteral(" 15:30:00ﾚﾍﾞﾙ2") + S +
                  QStringLiteral("   60秒 ") + S + QStringLiteral(" 131 加藤あおい") + S +
                  QStringLiteral(" 小３++ひかり塾"));
    // Before ten o'clock, a time-out, a long name cut at six characters, a grade without a table-A label.
    EXPECT_EQ(l.line(9999, run(QTime(9, 5, 3), 900, 12, 99999)),
              QStringLiteral("9999 2026/12/08") + S + QStringLiteral("  9:05:03ﾚﾍﾞﾙ12") + S +
                  QStringLiteral("99999秒 ") + S + QStringLiteral(" 900 ★山本先生") + S +
                  QStringLiteral(" ++ひかり塾"));
    // A student the roster does not know, another school's record, a number of five digits (shown whole).
    EXPECT_EQ(l.line(12345, run(QTime(0, 0, 0), 4321, 3, 7, "99999")),
              QStringLiteral("12345 2026/12/08") + S + QStringLiteral("  0:00:00ﾚﾍﾞﾙ3") + S +
                  QStringLiteral("    7秒 ") + S + QStringLiteral("4321 ") + QString(5, u'　') +
                  QStringLiteral(" ++他塾"));
}

TEST(RecordLines, GradesAreOneLowerBeforeTheSchoolYearStartsAndSchoolCodesArePadded)
{
    EXPECT_EQ(rosterOn(kToday).student(131).gradeLabel, QStringLiteral("小３"));
    EXPECT_EQ(rosterOn(QDate(2027, 2, 10)).student(131).gradeLabel, QStringLiteral("小２"));
    // A code shorter than five characters is stored padded with blanks, and still this school's.
    const QByteArray shortCode =
        records::encodeRecord(records::newRecord(46364.0, 0.5, 131, 2, 60, QStringLiteral("123")));
    EXPECT_TRUE(isOwnSchool(shortCode.constData(), QStringLiteral("123")));
    EXPECT_FALSE(isOwnSchool(shortCode.constData(), QStringLiteral("1234")));
    EXPECT_EQ(recordDateText(1e12), QStringLiteral("----/--/--"));
    EXPECT_EQ(recordClockText(0.99999999), QStringLiteral("0:00:00"));
}

TEST(RecordLines, TheStudentBoxListsEveryRosterLineWhateverItsStatus)
{
    const BrowserRoster roster = rosterOn(kToday);
    EXPECT_EQ(roster.boxItems,
              (QStringList{QStringLiteral("131 /  加藤あおい"), QStringLiteral("133 /  木村りく"),
                           QStringLiteral("900 /  ★山本先生　ほか")}));
    EXPECT_TRUE(roster.student(133).known);
    EXPECT_EQ(roster.student(133).status, 1);
    EXPECT_FALSE(roster.student(5000).known);
    EXPECT_FALSE(roster.student(-1).known);
    EXPECT_EQ(roster.boxNumbers, (QList<qint16>{131, 133, 900}));

    QString error;
    BrowserRoster missing;
    EXPECT_FALSE(testing_support::succeeded(readBrowserRoster(QStringLiteral("/nowhere/"), kToday, 4),
                                            &missing, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("新名簿.txt"))) << error.toStdString();
    EXPECT_TRUE(missing.boxItems.isEmpty());
}

TEST(RecordList, LevelZeroRecordsAreNotListedAndLinesKeepTheirRecordNumbers)
{
    RecordListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QByteArray bytes = run(QTime(10, 0), 131, 2, 60) + run(QTime(10, 1), 131, 0, 61) +
                             run(QTime(10, 2), 133, 4, 62) + QByteArray(10, 'x');
    model.setRecords(bytes, rosterOn(kToday), QStringLiteral("24601"), QStringLiteral("ひかり塾"));
    EXPECT_EQ(model.totalRecords(), 3);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.recordNumber(1), 3);
    EXPECT_EQ(model.data(model.index(1), RecordListModel::RecordNumberRole).toLongLong(), 3);
    EXPECT_TRUE(model.line(1).startsWith(QStringLiteral("   3 "))) << model.line(1).toStdString();
    EXPECT_EQ(model.data(model.index(1)).toString(), model.line(1));
    EXPECT_EQ(model.recordBytes(1), run(QTime(10, 2), 133, 4, 62));
    EXPECT_EQ(model.rowOfRecord(3), 1);
    EXPECT_EQ(model.rowOfRecord(2), -1);
    EXPECT_EQ(model.recordNumber(5), 0);
    model.setRecords({}, BrowserRoster(), QString(), QString());
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ResultsCsv, ListedRecordsGoOutForASpreadsheetInCodePage932WithCrLf)
{
    RecordListModel model;
    model.setRecords(run(QTime(15, 30), 131, 2, 60) + run(QTime(15, 31), 900, 2, 99999, "99999") +
                         run(QTime(15, 32), 131, 0, 1),
                     rosterOn(kToday), QStringLiteral("24601"), QStringLiteral("ひかり塾, 本校"));
    drill::Catalogue catalogue;
    catalogue.levelNames[2] = QStringLiteral("範囲１");
    records::Standards standards;
    standards.targetTime[2] = 120;
    standards.pointMultiplier[2] = 2;
    const QStringList lines = resultsCsvLines(model, {}, catalogue, standards);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("日付,時刻,レベル,レベル名,生徒番号,名前,学年,タイム,ポイント,塾"));
    // 60 s against 120: (1/2)^3 × 50 + 5 = 11 points, twice.
    EXPECT_EQ(lines[1],
              QStringLiteral("2026/12/08,15:30:00,2,範囲１,131,加藤あおい,小３,60,22,\"ひかり塾, 本校\""));
    EXPECT_EQ(lines[2], QStringLiteral("2026/12/08,15:31:00,2,範囲１,900,★山本先生　ほか,,99999,0,他塾"));
    EXPECT_EQ(resultsCsvLines(model, {1}, catalogue, standards).size(), 2);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("成績.csv"));
    QString error;
    ASSERT_TRUE(testing_support::succeeded(writeResultsCsv(path, lines), &error)) << error.toStdString();
    EXPECT_EQ(testing_support::readBytes(path),
              platform::encode932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    EXPECT_FALSE(testing_support::succeeded(
        writeResultsCsv(dir.filePath(QStringLiteral("none/x.csv")), lines), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("x.csv"))) << error.toStdString();
}

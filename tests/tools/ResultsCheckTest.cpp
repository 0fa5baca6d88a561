#include "ResultsCheck.h"
#include "DataTool.h"
#include "ToolRun.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;
using Field = yojidata::ResultsReport::Field;

namespace {

QString fixture(const char *name)
{
    return testDataPath(QStringLiteral("records/") + QString::fromUtf8(name));
}

QByteArray goodRecord(qint16 student, qint32 time)
{
    return records::encodeRecord(records::newRecord(46364.0, 0.5, student, 2, time, QStringLiteral("24601")));
}

} // namespace

// Each damaged fixture: what is in it (see the comments) and what the check must find there.
TEST(ResultsCheck, FindsThePartialTailAndEveryFieldOutOfRangeAndWhatTheProgramLeavesOut)
{
    struct Expected
    {
        qint64 record;
        Field field;
        bool ignored;
    };
    struct Case
    {
        const char *fixture;
        qint64 records;
        qint64 partialTail;
        qint64 ignored;
        std::vector<Expected> findings;
    };
    const Case cases[] = {
        {"results-empty.dat", 0, 0, 0, {}},
        {"results-short-tail.dat", 3, 30, 0, {}}, // three records and 30 bytes of a fourth
        // levels 36 and -1, students 5001 and -5, then student, level and time all at their maximum
        {"results-out-of-range.dat",
         6,
         0,
         5,
         {{1, Field::Level, true},
          {2, Field::Level, true},
          {3, Field::Student, true},
          {4, Field::Student, true},
          {5, Field::Level, true},
          {5, Field::Student, true},
          {5, Field::Time, false}}},
        // dates NaN, +inf, -inf, -1; then a NaN time of day, then a record that is fine
        {"results-non-numeric.dat",
         6,
         0,
         4,
         {{1, Field::Date, true},
          {2, Field::Date, true},
          {3, Field::Date, true},
          {4, Field::Date, true},
          {5, Field::Clock, false}}},
        {"results-broken-932.dat", 2, 0, 0, {}}, // school codes that are not code page 932
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        const yojidata::ResultsReport report = yojidata::checkResults(readBytes(fixture(c.fixture)));
        EXPECT_EQ(report.records, c.records);
        EXPECT_EQ(report.partialTail, c.partialTail);
        EXPECT_EQ(report.ignored, c.ignored);
        EXPECT_EQ(report.outsideWindow, 0);
        ASSERT_EQ(report.findings.size(), qsizetype(c.findings.size()));
        for (size_t i = 0; i < c.findings.size(); ++i) {
            EXPECT_EQ(report.findings[i].record, c.findings[i].record) << i;
            EXPECT_EQ(report.findings[i].field, c.findings[i].field) << i;
            EXPECT_EQ(report.findings[i].ignored, c.findings[i].ignored) << i;
        }
    }
}

TEST(ResultsCheck, CommandPrintsTheWholeReportAndExitsWith1OnProblemsLeavingTheFileAsItWas)
{
    const QString path = fixture("results-out-of-range.dat");
    const QByteArray before = readBytes(path);
    const ToolRun run = runTool({QStringLiteral("results"), QStringLiteral("check"), path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, platform::displayPath(path) + QStringLiteral(R"(
長さ 264 バイト、記録 6 件（1 件 44 バイト）。
記録 1：レベル 36 は 1～35 の外です（プログラムはこの記録を読みません）。
記録 2：レベル -1 は 1～35 の外です（プログラムはこの記録を読みません）。
記録 3：生徒番号 5001 は 1～5000 の外です（プログラムはこの記録を読みません）。
記録 4：生徒番号 -5 は 1～5000 の外です（プログラムはこの記録を読みません）。
記録 5：レベル 32767 は 1～35 の外です（プログラムはこの記録を読みません）。
記録 5：生徒番号 32767 は 1～5000 の外です（プログラムはこの記録を読みません）。
記録 5：タイム 2147483647 は 0～5999 秒でも時間切れ（99999）でもありません（そのまま読みます）。
プログラムが読まない記録：5 件。
問題が 7 件あります。
)"));
    EXPECT_EQ(readBytes(path), before);

    const ToolRun tail =
        runTool({QStringLiteral("results"), QStringLiteral("check"), fixture("results-short-tail.dat")});
    EXPECT_EQ(tail.status, 1);
    EXPECT_TRUE(tail.out.contains(QStringLiteral("記録の途中までの 30 バイト"))) << tail.out.toStdString();
    EXPECT_TRUE(tail.out.endsWith(QStringLiteral("問題が 1 件あります。\n")));

    const ToolRun fine =
        runTool({QStringLiteral("results"), QStringLiteral("check"), fixture("results-broken-932.dat")});
    EXPECT_EQ(fine.status, 0);
    EXPECT_TRUE(fine.out.endsWith(QStringLiteral("問題はありません（記録 2 件）。\n")));
}

TEST(ResultsCheck, RecordsBeforeTheLastTwentyThousandAreNotedAndNotCountedAsLeftOut)
{
    QByteArray bytes = records::encodeRecord(records::newRecord(46364.0, 0.5, 0, 2, 100, QString()));
    bytes += goodRecord(7, 100).repeated(20002);
    const yojidata::ResultsReport report = yojidata::checkResults(bytes);
    EXPECT_EQ(report.records, 20003);
    EXPECT_EQ(report.outsideWindow, 3);
    ASSERT_EQ(report.findings.size(), 1); // student 0 of record 1, which is not read anyway
    EXPECT_EQ(report.findings[0].record, 1);
    EXPECT_EQ(report.ignored, 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("成績累積データ.dat"));
    writeBytes(path, bytes);
    const ToolRun run = runTool({QStringLiteral("results"), QStringLiteral("check"), path});
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("注意：はじめの 3 件は読まれません（プログラムは最後の 20000 件だけを読みます）。")))
        << run.out.toStdString();
}

TEST(ResultsCheck, ExportWritesCodePage932WithCrlfForASpreadsheet)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("成績.csv"));
    const ToolRun run = runTool(
        {QStringLiteral("results"), QStringLiteral("export"), fixture("results-short-tail.dat"), out});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("3 件を書きました")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("30 バイトは書いていません")));
    const QByteArray expected =
        platform::encode932(QStringLiteral("番号,日付,時刻,生徒番号,レベル,タイム,学校コード,モード\r\n"
                                           "1,2026/12/07,12:00:00,101,2,250,24601,0\r\n"
                                           "2,2026/12/08,14:24:00,102,4,300,24601,0\r\n"
                                           "3,2026/12/08,16:48:00,103,6,99999,24601,0\r\n"));
    EXPECT_EQ(readBytes(out), expected);

    // Numbers that are no date or time of day are written as they stand; broken texts as "?".
    const QString odd = dir.filePath(QStringLiteral("odd.csv"));
    ASSERT_EQ(runTool({QStringLiteral("results"), QStringLiteral("export"),
                       fixture("results-non-numeric.dat"), odd})
                  .status,
              0);
    const QStringList lines = platform::splitLines(platform::decode932(readBytes(odd)));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[1], QStringLiteral("1,NaN,12:00:00,101,2,100,,0"));
    EXPECT_EQ(lines[2], QStringLiteral("2,inf,12:00:00,101,2,100,,0"));
    EXPECT_EQ(lines[5], QStringLiteral("5,2026/12/08,NaN,101,2,150,,0"));
    const QString broken = dir.filePath(QStringLiteral("broken.csv"));
    ASSERT_EQ(runTool({QStringLiteral("results"), QStringLiteral("export"), fixture("results-broken-932.dat"),
                       broken})
                  .status,
              0);
    const QStringList brokenLines = platform::splitLines(platform::decode932(readBytes(broken)));
    ASSERT_EQ(brokenLines.size(), 3);
    EXPECT_TRUE(brokenLines[1].startsWith(QStringLiteral("1,2026/12/08,12:00:00,101,2,200,あい")))
        << brokenLines[1].toStdString();
}

TEST(ResultsCheck, MissingFilesFoldersAndWrongCommandLinesGetAMessageNamingTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("なし.dat"));
    const ToolRun gone = runTool({QStringLiteral("results"), QStringLiteral("check"), missing});
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(gone.err.contains(QStringLiteral("成績ファイルがありません")));
    EXPECT_TRUE(gone.err.contains(platform::displayPath(missing)));

    const ToolRun folder = runTool({QStringLiteral("results"), QStringLiteral("check"), dir.path()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("フォルダ"))) << folder.err.toStdString();

    const QString results = dir.filePath(QStringLiteral("成績累積データ.dat"));
    writeBytes(results, goodRecord(5, 100));
    const ToolRun same = runTool({QStringLiteral("results"), QStringLiteral("export"), results, results});
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(readBytes(results), goodRecord(5, 100));
    const ToolRun noFolder = runTool({QStringLiteral("results"), QStringLiteral("export"), results,
                                      dir.filePath(QStringLiteral("no/such/out.csv"))});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_FALSE(noFolder.err.isEmpty());

    for (const QStringList &words :
         {QStringList{QStringLiteral("results")},
          QStringList{QStringLiteral("results"), QStringLiteral("check")},
          QStringList{QStringLiteral("results"), QStringLiteral("mend"), results}}) {
        const ToolRun run = runTool(words);
        EXPECT_EQ(run.status, 2) << words.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("yoji-data results check")));
    }
    EXPECT_TRUE(runTool({QStringLiteral("--help")}).out.contains(QStringLiteral("yoji-data results export")));
}

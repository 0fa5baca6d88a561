#include "MistakesTool.h"
#include "ToolRun.h"
#include "platform/TextFile.h"
#include "records/MistakeHistory.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

ToolRun runMistakes(const QStringList &words)
{
    return runTool(words, &yojidata::runMistakesCommand);
}

records::AnsweredQuestion answer(const QString &idiom, int student, bool reading, bool kanji, int wrong,
                                 bool timedOut = false)
{
    records::AnsweredQuestion a;
    a.when = QDateTime(QDate(2026, 12, 8), QTime(9, 5));
    a.student = qint16(student);
    a.level = 6;
    a.idiom = idiom;
    a.readingFirstTry = reading;
    a.idiomFirstTry = kanji;
    a.wrongJudgements = wrong;
    a.timedOut = timedOut;
    return a;
}

struct Files
{
    QTemporaryDir dir;
    QString history = dir.filePath(QStringLiteral("解答累積データ.dat"));
    QString csv = dir.filePath(QStringLiteral("out.csv"));
};

} // namespace

TEST(MistakesTool, CheckCountsTheRecordsAndNamesTheTornTailAndEveryImpossibleRecord)
{
    Files f;
    writeBytes(f.history, records::historyHeader() +
                              records::encodeAnswer(answer(u"一石二鳥"_qs, 3, false, true, 1)) +
                              records::encodeAnswer(answer(u"温故知新"_qs, 3, true, true, 0)));
    ToolRun good = runMistakes({u"check"_qs, f.history});
    EXPECT_EQ(good.status, 0) << good.out.toStdString() << good.err.toStdString();
    EXPECT_TRUE(good.out.contains(u"版 1、記録 2 件（1 件 16 バイト）"_qs)) << good.out.toStdString();
    EXPECT_TRUE(good.out.contains(u"問題はありません（記録 2 件）"_qs));

    // Student 0, then a reading wrong at the first try with no wrong judgement, then half a record.
    writeBytes(f.history,
               records::historyHeader() + records::encodeAnswer(answer(u"一石二鳥"_qs, 3, true, true, 0)) +
                   records::encodeAnswer(answer(u"温故知新"_qs, 0, true, true, 0)) +
                   records::encodeAnswer(answer(u"十人十色"_qs, 4, false, true, 0)) + "\x01\x02\x03\x04\x05");
    ToolRun bad = runMistakes({u"check"_qs, f.history});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.out.contains(u"記録 3 件"_qs)) << bad.out.toStdString();
    EXPECT_TRUE(bad.out.contains(u"記録の途中までの 5 バイト"_qs));
    EXPECT_TRUE(bad.out.contains(u"記録 2：生徒番号 0 は 1～5000 の外です。"_qs));
    EXPECT_TRUE(bad.out.contains(u"記録 3：間違いの数 0 が一回目の正誤（読み×、熟語○）と合いません。"_qs));
    EXPECT_FALSE(bad.out.contains(u"記録 1："_qs));
    EXPECT_TRUE(bad.out.contains(u"問題が 3 件あります"_qs));
    EXPECT_EQ(readBytes(f.history).size(), 16 + 3 * 16 + 5) << "the check changes nothing";
}

TEST(MistakesTool, AMissingOrDamagedFileIsNamedWithWhatIsWrong)
{
    Files f;
    ToolRun missing = runMistakes({u"check"_qs, f.history});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(u"解答の記録はまだありません"_qs)) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains(platform::displayPath(f.history)));

    writeBytes(f.history, QByteArray(40, 'x'));
    ToolRun damaged = runMistakes({u"export"_qs, f.history, f.csv});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.err.contains(u"見出しが壊れています"_qs)) << damaged.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.csv));

    EXPECT_EQ(runMistakes({u"check"_qs}).status, 2);
    EXPECT_EQ(runMistakes({u"export"_qs, f.history, f.history}).status, 2);
}

TEST(MistakesTool, ExportWritesCodePage932RowsWithTheReadingsOfTheIdiomList)
{
    Files f;
    writeBytes(f.history, records::historyHeader() +
                              records::encodeAnswer(answer(u"一石二鳥"_qs, 12, false, false, 3)) +
                              records::encodeAnswer(answer(u"温故知新"_qs, 5, true, false, 0, true)));
    const QString list = f.dir.filePath(QStringLiteral("list.csv"));
    writeBytes(list, u"1,一石二鳥,いっせきにちょう,一つのことで二つの得\n"_qs.toUtf8());

    ToolRun run = runMistakes({u"export"_qs, f.history, f.csv, list});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"2 件を書きました"_qs));
    bool ok = false;
    const QString text = platform::decode932(readBytes(f.csv), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(text, u"番号,日付,時刻,生徒番号,レベル,熟語,読み,読み一回目,熟語一回目,間違い,時間切れ\r\n"
                    "1,2026/12/08,09:05,12,6,一石二鳥,いっせきにちょう,×,×,3,\r\n"
                    "2,2026/12/08,09:05,5,6,温故知新,,○,×,0,○\r\n"_qs);
}

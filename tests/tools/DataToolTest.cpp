#include "DataTool.h"
#include "ToolRun.h"
#include "drill/IdiomData.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

QString toolData(const char *name)
{
    return testDataPath(QStringLiteral("tools/") + QString::fromUtf8(name));
}

} // namespace

TEST(DataTool, HelpDocumentsEveryCommandAndOption)
{
    const ToolRun run = runTool({QStringLiteral("--help")});
    EXPECT_EQ(run.status, 0);
    for (const char *word : {"encode", "decode", "check", "voices", "--encoding", "--force", "--no-header",
                             "--replace", "四字02vv.ccc", "四字熟語音声", "espeak-ng", "MeCab", "終了状態"})
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(word))) << word;
}

TEST(DataTool, WrongCommandLinesExitWith2)
{
    const QString good = toolData("good.csv");
    const QList<QStringList> cases = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("check")},
        {QStringLiteral("check"), good, good},
        {QStringLiteral("encode"), good},
        {QStringLiteral("check"), good, QStringLiteral("--bogus")},
        {QStringLiteral("check"), good, QStringLiteral("--encoding"), QStringLiteral("latin1")},
        {QStringLiteral("encode"), good, QStringLiteral("out.csv")},
        {QStringLiteral("decode"), good, good},
    };
    for (const QStringList &arguments : cases) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << arguments.join(u' ').toStdString();
    }
}

TEST(DataTool, CheckListsProblemsWithLineNumbersAndFailsOnThem)
{
    const ToolRun good = runTool({QStringLiteral("check"), toolData("good.csv")});
    EXPECT_EQ(good.status, 0);
    EXPECT_TRUE(good.out.contains(QStringLiteral("問題はありません（四字熟語 8 個）")))
        << good.out.toStdString();

    const ToolRun bad = runTool({QStringLiteral("check"), toolData("few-kanji-candidates.csv")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.out.contains(QStringLiteral("\n10 行目：範囲 2 の「花鳥風月」")))
        << bad.out.toStdString();
    EXPECT_TRUE(bad.out.contains(QStringLiteral("\n11 行目：範囲 2 の「春夏秋冬」")));
    EXPECT_TRUE(bad.out.contains(QStringLiteral("問題が 2 件あります")));

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("ない.csv"));
    const ToolRun none = runTool({QStringLiteral("check"), missing});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains(platform::displayPath(missing)));
}

TEST(DataTool, EncodeWritesNothingForAListWithProblems)
{
    QTemporaryDir dir;
    const QString stored = dir.filePath(QStringLiteral("四字02vv.ccc"));
    writeBytes(stored, QByteArray("old\r\n"));

    const ToolRun refused = runTool({QStringLiteral("encode"), toolData("reading-short.csv"), stored});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("10 行目：読み「たいき」"))) << refused.err.toStdString();
    EXPECT_EQ(readBytes(stored), QByteArray("old\r\n"));

    // A format problem is refused even when forced: the stored file would not hold the field.
    const ToolRun comma = runTool(
        {QStringLiteral("encode"), toolData("comma-in-field.csv"), stored, QStringLiteral("--force")});
    EXPECT_EQ(comma.status, 1);
    EXPECT_EQ(readBytes(stored), QByteArray("old\r\n"));

    const ToolRun forced =
        runTool({QStringLiteral("encode"), toolData("reading-short.csv"), stored, QStringLiteral("--force")});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    drill::IdiomData data;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(
        idioms::readIdiomData(dir.filePath(QStringLiteral("四字02.CSV")), data), &error))
        << error.toStdString();
    EXPECT_EQ(data.idiomRowCount, 9);
    EXPECT_EQ(data.cell(9, 3), QStringLiteral("たいき"));
}

TEST(DataTool, EncodeIntoAFolderAndDecodeBack)
{
    QTemporaryDir dir;
    const ToolRun encoded = runTool({QStringLiteral("encode"), toolData("good-cp932.csv"), dir.path()});
    ASSERT_EQ(encoded.status, 0) << encoded.err.toStdString();
    const QString stored = dir.filePath(QStringLiteral("四字02vv.ccc"));
    ASSERT_TRUE(QFile::exists(stored));

    // UTF-8 gives back the UTF-8 list byte for byte; the default is code page 932 with CRLF, like the input.
    const QString utf8 = dir.filePath(QStringLiteral("list-utf8.csv"));
    ASSERT_EQ(runTool({QStringLiteral("decode"), stored, utf8, QStringLiteral("--encoding=utf-8")}).status,
              0);
    EXPECT_EQ(readBytes(utf8), readBytes(toolData("good.csv")));
    const QString cp932 = dir.filePath(QStringLiteral("list.csv"));
    ASSERT_EQ(runTool({QStringLiteral("decode"), stored, cp932}).status, 0);
    EXPECT_EQ(readBytes(cp932), readBytes(toolData("good-cp932.csv")));

    const QString bare = dir.filePath(QStringLiteral("bare.csv"));
    ASSERT_EQ(runTool({QStringLiteral("decode"), stored, bare, QStringLiteral("--no-header"),
                       QStringLiteral("--encoding"), QStringLiteral("utf-8")})
                  .status,
              0);
    EXPECT_TRUE(readBytes(bare).startsWith(QStringLiteral("1,一石二鳥,").toUtf8()));
}

TEST(DataTool, EncodeIntoAFolderThatDoesNotExistSaysSo)
{
    QTemporaryDir dir;
    for (const QString &output :
         {dir.filePath(QStringLiteral("四字熟語")) + u'/', dir.filePath(QStringLiteral("四字熟語")),
          dir.filePath(QStringLiteral("ない/四字02vv.ccc"))}) {
        SCOPED_TRACE(output.toStdString());
        const ToolRun run = runTool({QStringLiteral("encode"), toolData("good.csv"), output});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("出力先のフォルダがありません：")))
            << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QStringLiteral("vv.ccc で終わる"))) << run.err.toStdString();
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
}

// Empty lines at the end of a stored file are passed over by the program; check tells of them and
// still finds no problem.
TEST(DataTool, CheckNotesEmptyLinesAtTheEndOfAStoredFile)
{
    QTemporaryDir dir;
    ASSERT_EQ(runTool({QStringLiteral("encode"), toolData("good.csv"), dir.path()}).status, 0);
    const QString stored = dir.filePath(QStringLiteral("四字02vv.ccc"));
    writeBytes(stored, readBytes(stored) + QByteArray("\r\n\r\n"));
    const ToolRun run = runTool({QStringLiteral("check"), stored});
    EXPECT_EQ(run.status, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("注意：9 行目：ファイルの終わりに空の行が 2 行あります")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("問題はありません（四字熟語 8 個）")))
        << run.out.toStdString();
}

TEST(DataTool, DecodeRefusesAStoredFileWithBrokenLines)
{
    QTemporaryDir dir;
    const QString stored = dir.filePath(QStringLiteral("四字02vv.ccc"));
    writeFile932(stored, {QString(120, u'あ')});
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = runTool({QStringLiteral("decode"), stored, csv});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("1 行目：終わりの印"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(csv));
}

TEST(DataTool, TheProgramsExitStatusFollowsTheOutcome)
{
    const struct
    {
        QStringList arguments;
        int status;
    } cases[] = {
        {{QStringLiteral("--help")}, 0},
        {{QStringLiteral("check"), QStringLiteral(YOJI_IDIOM_LIST)}, 0},
        {{QStringLiteral("check"), QStringLiteral(YOJI_IDIOM_DATA)}, 0},
        {{QStringLiteral("check"), toolData("meaning-empty.csv")}, 1},
        {{QStringLiteral("mistakes"), QStringLiteral("check"), toolData("meaning-empty.csv")}, 1},
        {{QStringLiteral("mistakes")}, 2},
        {{QStringLiteral("nothing")}, 2},
    };
    for (const auto &c : cases) {
        QProcess tool;
        tool.start(QStringLiteral(YOJI_DATA_TOOL), c.arguments);
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), c.status) << c.arguments.join(u' ').toStdString();
    }
}

#include "IdiomChecks.h"
#include "StoredFile.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace yojidata;

namespace {

CheckResult checkFile(const QString &path)
{
    const app::Result<IdiomList> read = readList(path, Encoding::Auto);
    if (!read) {
        ADD_FAILURE() << read.failure().text.toStdString();
        return {};
    }
    return checkList(read.value());
}

QString describe(const QList<Problem> &problems)
{
    QString text;
    for (const Problem &p : problems)
        text += QStringLiteral("%1: %2\n").arg(p.line).arg(p.text);
    return text;
}

// Distinct kanji of code page 932, in code order from its first kanji (0x889F).
QString kanji(int count)
{
    QByteArray bytes;
    int lead = 0x88;
    int trail = 0x9F;
    for (int i = 0; i < count; ++i) {
        bytes.append(char(lead)).append(char(trail));
        trail = trail == 0x7E ? 0x80 : trail + 1;
        if (trail > 0xFC) {
            ++lead;
            trail = 0x40;
        }
    }
    return platform::decode932(bytes);
}

// n made-up idioms of distinct characters, so that no rule but the one under test is broken.
QStringList madeUpRows(int n, int range, int first = 0)
{
    const QString characters = kanji(4 * (first + n));
    QStringList rows;
    for (int i = first; i < first + n; ++i)
        rows << QStringLiteral("%1,%2,よみよみ,いみ").arg(range).arg(characters.mid(4 * i, 4));
    return rows;
}

} // namespace

TEST(IdiomChecks, AGoodListHasNoProblem)
{
    const CheckResult result = checkFile(testDataPath(QStringLiteral("tools/good.csv")));
    EXPECT_TRUE(result.problems.isEmpty()) << describe(result.problems).toStdString();
    // Ranges 2 to 10 are empty: worth a note, not a problem.
    EXPECT_EQ(result.notes.size(), 9);
}

TEST(IdiomChecks, EachProblemFileGivesItsProblemOnItsLine)
{
    // Each file is the good list with one line added at line 10 (two for the range that is too small).
    const struct
    {
        const char *file;
        std::vector<int> lines;
        const char *says;
        Problem::Kind kind;
    } cases[] = {
        {"range-out-of-bounds.csv", {10}, "範囲「11」が 1～10 の数ではありません", Problem::Kind::Content},
        {"idiom-not-four.csv", {10}, "四字熟語「大器晩成成」が 4 文字ではありません", Problem::Kind::Content},
        {"reading-short.csv", {10}, "読み「たいき」が 4 文字より短い", Problem::Kind::Content},
        {"reading-not-hiragana.csv", {10}, "ひらがなでない文字「バ」", Problem::Kind::Content},
        {"meaning-empty.csv", {10}, "意味が空です", Problem::Kind::Content},
        {"comma-in-field.csv", {10}, "4 列目の項目にコンマ", Problem::Kind::Format},
        {"few-kanji-candidates.csv",
         {10, 11},
         "漢字ボタンに使える別の文字が 2 個しかありません",
         Problem::Kind::Content},
        {"voice-names-collide.csv",
         {10},
         "2 行目の「一石二鳥」とはじめの 3 文字が同じ",
         Problem::Kind::Content},
        {"too-many-fields.csv", {10}, "項目が 101 個あります（100 個まで）", Problem::Kind::Format},
        {"too-few-fields.csv", {10}, "項目が 3 個しかありません", Problem::Kind::Content},
        {"line-break-in-field.csv", {10}, "4 列目の項目に改行があります", Problem::Kind::Format},
        {"end-marker-in-field.csv", {10}, "終わりの印「／ｅｎｄ／」があります", Problem::Kind::Format},
        {"not-code-page-932.csv", {10}, "シフトJISで書けない文字「😀」", Problem::Kind::Format},
        {"unclosed-quote.csv", {10}, "引用符「\"」が閉じていません", Problem::Kind::Format},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const CheckResult result =
            checkFile(testDataPath(QStringLiteral("tools/") + QString::fromUtf8(c.file)));
        ASSERT_EQ(result.problems.size(), qsizetype(c.lines.size()))
            << describe(result.problems).toStdString();
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            const Problem &p = result.problems[qsizetype(i)];
            EXPECT_EQ(p.line, c.lines[i]);
            EXPECT_TRUE(p.text.contains(QString::fromUtf8(c.says))) << p.text.toStdString();
            EXPECT_EQ(p.kind, c.kind);
        }
    }
}

TEST(IdiomChecks, ARangeOf100IdiomsCannotRunAsPractice)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("range-of-100.csv"));
    QStringList rows = madeUpRows(99, 3);
    writeFile932(path, rows, "\n");
    EXPECT_TRUE(checkFile(path).problems.isEmpty());

    rows << madeUpRows(1, 3, 99);
    writeFile932(path, rows, "\n");
    const CheckResult result = checkFile(path);
    ASSERT_EQ(result.problems.size(), 1) << describe(result.problems).toStdString();
    EXPECT_EQ(result.problems[0].line, 100);
    EXPECT_TRUE(result.problems[0].text.contains(QStringLiteral("範囲 3 の四字熟語が 100 個あります")));
}

TEST(IdiomChecks, MoreThan1000LinesAreTooMany)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.csv"));
    QStringList rows;
    // Other problems come with it (the ranges share their idioms); only the line count matters here.
    for (int range = 1; range <= 10; ++range)
        rows << madeUpRows(99, range);
    rows << madeUpRows(11, 1);
    ASSERT_EQ(rows.size(), 1001);
    writeFile932(path, QStringList{QStringLiteral("範囲,四字熟語,読み,意味")} + rows, "\n");
    const CheckResult result = checkFile(path);
    bool found = false;
    for (const Problem &p : result.problems) {
        if (p.text.contains(QStringLiteral("行が 1001 行あります（1000 行まで）"))) {
            found = true;
            EXPECT_EQ(p.line, 1002); // the 1001st row, below the header
            EXPECT_EQ(p.kind, Problem::Kind::Format);
        }
    }
    EXPECT_TRUE(found) << describe(result.problems).toStdString();
}

TEST(IdiomChecks, StoredFilesAreCheckedWithTheReadersRules)
{
    IdiomList good;
    QString error;
    ASSERT_TRUE(
        succeeded(readList(testDataPath(QStringLiteral("tools/good.csv")), Encoding::Auto), &good, &error))
        << error.toStdString();
    QStringList lines;
    for (const IdiomRow &row : good.rows)
        lines << storedLine(row.fields);
    lines << lines[2].left(50) << QString(120, u'あ');
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("四字02vv.ccc"));
    writeFile932(path, lines);

    const CheckResult result = checkFile(path);
    ASSERT_EQ(result.problems.size(), 2) << describe(result.problems).toStdString();
    EXPECT_EQ(result.problems[0].line, 9);
    EXPECT_TRUE(result.problems[0].text.contains(QStringLiteral("短すぎます（50 文字")));
    EXPECT_EQ(result.problems[1].line, 10);
    EXPECT_TRUE(result.problems[1].text.contains(QStringLiteral("終わりの印")));
}

TEST(IdiomChecks, TheShippedListHasNoProblemAndFillsEveryRange)
{
    const CheckResult result = checkFile(QStringLiteral(YOJI_IDIOM_LIST));
    EXPECT_TRUE(result.problems.isEmpty()) << describe(result.problems).toStdString();
    EXPECT_TRUE(result.notes.isEmpty()) << describe(result.notes).toStdString();
}

TEST(IdiomChecks, ReadingsAreHiragana)
{
    EXPECT_TRUE(isHiragana(QStringLiteral("いっせきにちょう")));
    EXPECT_TRUE(isHiragana(QStringLiteral("ゔぁー")));
    EXPECT_FALSE(isHiragana(QStringLiteral("イッセキ")));
    EXPECT_FALSE(isHiragana(QStringLiteral("いっせき ")));
    EXPECT_FALSE(isHiragana(QStringLiteral("ｲｯｾｷ")));
}

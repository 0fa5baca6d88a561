#include "drill/IdiomData.h"
#include "drill/IdiomKeys.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const QString kMarker = QString::fromUtf16(idioms::kEndMarker);

// A stored line as the data tool writes it: data, end marker, filler, scrambled.
QString storedLine(const QString &data, int length = 99, QChar filler = u'＊')
{
    QString plain = data + kMarker;
    while (plain.size() < length)
        plain.append(filler);
    idioms::applySwaps(plain, idioms::SwapDirection::Scramble);
    return plain;
}

QStringList storedLines(const QStringList &data)
{
    QStringList lines;
    for (const QString &d : data)
        lines << storedLine(d);
    return lines;
}

struct DataFolder
{
    QTemporaryDir dir;
    QString nominal = dir.path() + QStringLiteral("/四字02.CSV");
    QString stored = dir.path() + QStringLiteral("/四字02vv.ccc");
};

// A table that must survive a failed read unchanged.
drill::IdiomData sentinelData()
{
    drill::IdiomData data;
    data.idiomTable = {QStringList{}, QStringList{QString(), QStringLiteral("9"), QStringLiteral("前の表")}};
    data.idiomRowCount = 1;
    data.idiomColumnCount = 2;
    return data;
}

} // namespace

TEST(IdiomData, StoredFileReplacesTheExtensionWithVvCcc)
{
    const struct
    {
        QString nominal;
        QString stored;
    } cases[] = {
        {QStringLiteral("/school/四字熟語/四字02.CSV"), QStringLiteral("/school/四字熟語/四字02vv.ccc")},
        {QStringLiteral("D:\\juku\\四字熟語\\四字02.CSV"),
         QStringLiteral("D:\\juku\\四字熟語\\四字02vv.ccc")},
        {QStringLiteral("/a/list.csv"), QStringLiteral("/a/listvv.ccc")},
        {QStringLiteral("/a.b/noextension"), QStringLiteral("/a.b/noextensionvv.ccc")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(idioms::storedFilePath(c.nominal), c.stored) << c.nominal.toStdString();
}

TEST(IdiomData, ReadsRestoresAndSplitsEveryLine)
{
    DataFolder folder;
    writeFile932(folder.stored,
                 {storedLine(QStringLiteral("1,一石二鳥,いっせきにちょう,一つのことで二つの得をすること。")),
                  // Whatever follows the end marker is ignored, commas and another marker included.
                  storedLine(QStringLiteral("2,十人十色,じゅうにんといろ,人それぞれ") + kMarker +
                                 QStringLiteral("3,x,y"),
                             120, u','),
                  storedLine(QStringLiteral("1,温故知新,おんこちしん,昔を学ぶ,備考,,最後"))});
    // The nominal file itself is never opened.
    ASSERT_FALSE(QFile::exists(folder.nominal));

    drill::IdiomData data;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, data), &error))
        << error.toStdString();
    EXPECT_EQ(data.idiomRowCount, 3);
    EXPECT_EQ(data.idiomColumnCount, 7); // the fields of the last line
    EXPECT_EQ(data.cell(1, 1), QStringLiteral("1"));
    EXPECT_EQ(data.cell(1, 2), QStringLiteral("一石二鳥"));
    EXPECT_EQ(data.cell(1, 3), QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(data.cell(1, 4), QStringLiteral("一つのことで二つの得をすること。"));
    EXPECT_EQ(data.cell(2, 4), QStringLiteral("人それぞれ"));
    EXPECT_EQ(data.cell(2, 5), QString());
    EXPECT_EQ(data.cell(3, 5), QStringLiteral("備考"));
    EXPECT_EQ(data.cell(3, 6), QString());
    EXPECT_EQ(data.cell(3, 7), QStringLiteral("最後"));
    EXPECT_EQ(data.cell(0, 1), QString());
    EXPECT_EQ(data.cell(1, 0), QString());
    EXPECT_EQ(data.cell(4, 1), QString());
}

TEST(IdiomData, LongLinesKeepTheirTailInPlace)
{
    // A meaning that runs past position 99 is stored partly unscrambled; it comes back whole.
    const QString meaning = QString(120, u'あ') + QStringLiteral("おわり");
    DataFolder folder;
    writeFile932(folder.stored, {storedLine(QStringLiteral("3,臨機応変,りんきおうへん,") + meaning)}, "\n");
    drill::IdiomData data;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, data), &error))
        << error.toStdString();
    EXPECT_EQ(data.cell(1, 4), meaning);
}

TEST(IdiomData, AFileOfExactly1000LinesWith100FieldsIsReadWhole)
{
    QStringList data;
    for (int i = 1; i <= 1000; ++i)
        data << QStringLiteral("%1,熟語%2,よみ,いみ").arg(i % 10 + 1).arg(i);
    data.last() = QStringLiteral("1") + QString(QStringLiteral(",x")).repeated(99);
    DataFolder folder;
    writeFile932(folder.stored, storedLines(data));
    drill::IdiomData table;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, table), &error))
        << error.toStdString();
    EXPECT_EQ(table.idiomRowCount, 1000);
    EXPECT_EQ(table.idiomColumnCount, 100);
    EXPECT_EQ(table.cell(999, 2), QStringLiteral("熟語999"));
    EXPECT_EQ(table.cell(1000, 100), QStringLiteral("x"));
}

TEST(IdiomData, AnEmptyFileGivesNoRows)
{
    DataFolder folder;
    writeBytes(folder.stored, {});
    drill::IdiomData data = sentinelData();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, data), &error));
    EXPECT_EQ(data.idiomRowCount, 0);
    EXPECT_EQ(data.cell(1, 1), QString());
}

// An editor or a copy often leaves an empty line at the end of the file: it holds no idiom and is passed
// over, even after 1000 lines. An empty line before the last idiom is a line too short.
TEST(IdiomData, EmptyLinesAtTheEndAreIgnored)
{
    QStringList data;
    for (int i = 1; i <= 1000; ++i)
        data << QStringLiteral("%1,熟語%2,よみ,いみ").arg(i % 10 + 1).arg(i);
    DataFolder folder;
    writeFile932(folder.stored, storedLines(data) << QString() << QStringLiteral("  ") << QString());
    drill::IdiomData table;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, table), &error))
        << error.toStdString();
    EXPECT_EQ(table.idiomRowCount, 1000);
    EXPECT_EQ(table.idiomColumnCount, 4);
    EXPECT_EQ(table.cell(1000, 2), QStringLiteral("熟語1000"));

    writeFile932(folder.stored, storedLines({data[0]}) << QString() << storedLine(data[1]));
    EXPECT_FALSE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, table), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("2 行目：行が短すぎます（0 文字"))) << error.toStdString();
}

TEST(IdiomData, BadFilesAreRefusedWithFileLineAndProblem)
{
    const QString good = storedLine(QStringLiteral("1,一石二鳥,いっせきにちょう,意味"));
    QStringList tooMany;
    for (int i = 0; i < 1001; ++i)
        tooMany << good;
    const struct
    {
        const char *name;
        QByteArray bytes; // empty: no file at all
        QString where;    // the line named
        QString problem;
    } cases[] = {
        {"missing file", {}, {}, QStringLiteral("見つかりません")},
        {"short line",
         platform::encode932((QStringList{good, good, QString(98, u'あ')}).join(QStringLiteral("\r\n"))),
         QStringLiteral("3 行目"), QStringLiteral("短すぎます（98 文字")},
        {"no end marker", platform::encode932(good + QStringLiteral("\r\n") + QString(120, u'い')),
         QStringLiteral("2 行目"), QStringLiteral("終わりの印「／ｅｎｄ／」がありません")},
        {"more than 1000 lines", platform::encode932(tooMany.join(QStringLiteral("\r\n"))),
         QStringLiteral("1001 行目"), QStringLiteral("1001 行あります（1000 行まで）")},
        {"more than 100 fields",
         platform::encode932(storedLine(QStringLiteral("1") + QString(QStringLiteral(",x")).repeated(100))),
         QStringLiteral("1 行目"), QStringLiteral("項目が 101 個あります（100 個まで）")},
        {"broken code page 932",
         platform::encode932(good + QStringLiteral("\r\n")) + QByteArray("\x82\xff\r\n", 4),
         QStringLiteral("2 行目"), QStringLiteral("シフトJIS")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DataFolder folder;
        if (!c.bytes.isEmpty())
            writeBytes(folder.stored, c.bytes);
        drill::IdiomData data = sentinelData();
        QString error;
        EXPECT_FALSE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, data), &error));
        EXPECT_TRUE(error.contains(platform::displayPath(folder.stored))) << error.toStdString();
        EXPECT_TRUE(error.contains(c.where)) << error.toStdString();
        EXPECT_TRUE(error.contains(c.problem)) << error.toStdString();
        EXPECT_EQ(data.idiomRowCount, 1);
        EXPECT_EQ(data.idiomColumnCount, 2);
        EXPECT_EQ(data.cell(1, 2), QStringLiteral("前の表"));
    }
}

TEST(IdiomData, ASecondReadReplacesTheFirst)
{
    DataFolder folder;
    writeFile932(folder.stored, storedLines({QStringLiteral("1,a,b,c,d,e"), QStringLiteral("2,f,g,h")}));
    drill::IdiomData data;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, data), nullptr));
    writeFile932(folder.stored, storedLines({QStringLiteral("3,x,y,z")}));
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(folder.nominal, data), nullptr));
    EXPECT_EQ(data.idiomRowCount, 1);
    EXPECT_EQ(data.idiomColumnCount, 4);
    EXPECT_EQ(data.cell(1, 2), QStringLiteral("x"));
    EXPECT_EQ(data.cell(2, 2), QString());
}

TEST(IdiomData, AFileWrittenWithTheProgramsKeysStaysReadable)
{
    // Written once by the data tool; if the keys or the swap ever change, this file no longer reads.
    const QString nominal = testDataPath(QStringLiteral("drill/四字02.CSV"));
    drill::IdiomData data;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(nominal, data), &error))
        << error.toStdString();
    ASSERT_EQ(data.idiomRowCount, 3);
    EXPECT_EQ(data.cell(1, 2), QStringLiteral("一石二鳥"));
    EXPECT_EQ(data.cell(2, 3), QStringLiteral("じゅうにんといろ"));
    EXPECT_EQ(data.cell(3, 4), QStringLiteral("昔のことを学んで、新しい知識を得ること。"));
    EXPECT_EQ(data.cell(3, 5), QStringLiteral("備考"));
}

TEST(IdiomQuestions, ALevelTakesTheRowsOfItsRangeInFileOrder)
{
    drill::IdiomData data;
    data.idiomTable = {
        {},
        {QString(), QStringLiteral("1"), QStringLiteral("一石二鳥"), QStringLiteral("いっせきにちょう"),
         QStringLiteral("得")},
        {QString(), QStringLiteral("2"), QStringLiteral("十人十色"), QStringLiteral("じゅうにんといろ"),
         QStringLiteral("色")},
        {QString(), QStringLiteral("1"), QStringLiteral("温故知新"), QStringLiteral("おんこちしん"),
         QStringLiteral("新")},
        {QString(), QStringLiteral(" 2"), QStringLiteral("以心伝心"), QStringLiteral("いしんでんしん"),
         QStringLiteral("心")},
        {QString(), QStringLiteral("範囲"), QStringLiteral("見出し")},
        {QString(), QStringLiteral("1")}, // a short row gives empty texts
    };
    data.idiomRowCount = 6;

    const QuestionList one = idioms::questionsForLevel(data, 1);
    ASSERT_EQ(one.size(), 3);
    EXPECT_EQ(one[0].idiom, QStringLiteral("一石二鳥"));
    EXPECT_EQ(one[0].reading, QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(one[0].meaning, QStringLiteral("得"));
    EXPECT_EQ(one[1].idiom, QStringLiteral("温故知新"));
    EXPECT_TRUE(one[2].idiom.isEmpty());

    // The practice level and the test level of a range take the same rows.
    const QuestionList two = idioms::questionsForLevel(data, 2);
    ASSERT_EQ(two.size(), 3);
    EXPECT_EQ(two[1].meaning, QStringLiteral("新"));

    const QuestionList three = idioms::questionsForLevel(data, 4);
    ASSERT_EQ(three.size(), 2);
    EXPECT_EQ(three[0].idiom, QStringLiteral("十人十色"));
    EXPECT_EQ(three[1].idiom, QStringLiteral("以心伝心"));

    EXPECT_TRUE(idioms::questionsForLevel(data, 19).isEmpty());
    // Rows beyond the row count are not read.
    data.idiomRowCount = 2;
    EXPECT_EQ(idioms::questionsForLevel(data, 1).size(), 1);
}

TEST(IdiomQuestions, RangeNumbersAreWholeNumbers)
{
    const struct
    {
        const char *field;
        int range;
    } cases[] = {{"1", 1}, {"10", 10}, {" 3 ", 3}, {"2.0", 2}, {"2.5", 0},
                 {"", 0},  {"x", 0},   {"0", 0},   {"-1", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(idioms::rangeOfField(QString::fromUtf8(c.field)), c.range) << c.field;
}

TEST(IdiomQuestions, VoiceFilesAreNamedAfterTheFirstThreeCharacters)
{
    const QString app = QStringLiteral("/school/四字熟語") + QDir::separator();
    const QString sep = QDir::separator();
    EXPECT_EQ(idioms::voiceFilePath(app, QStringLiteral("一石二鳥"), 1),
              app + QStringLiteral("四字熟語音声") + sep + QStringLiteral("一石二1"));
    EXPECT_EQ(idioms::voiceFilePath(app, QStringLiteral("十人十色"), 2),
              app + QStringLiteral("四字熟語音声") + sep + QStringLiteral("十人十2"));
}

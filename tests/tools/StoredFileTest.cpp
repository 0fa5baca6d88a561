#include "StoredFile.h"
#include "IdiomList.h"
#include "drill/DrillRules.h"
#include "drill/IdiomData.h"
#include "drill/IdiomKeys.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace yojidata;

namespace {

IdiomList shippedList()
{
    IdiomList list;
    QString error;
    EXPECT_TRUE(succeeded(readList(QStringLiteral(YOJI_IDIOM_LIST), Encoding::Auto), &list, &error))
        << error.toStdString();
    return list;
}

// The nominal path the program would pass for the build's data file.
QString builtNominalPath()
{
    return QStringLiteral(YOJI_IDIOM_DATA).replace(QStringLiteral("vv.ccc"), QStringLiteral(".CSV"));
}

} // namespace

TEST(StoredFile, PlainLinesAreFilledPastPosition99)
{
    const QStringList fields{QStringLiteral("1"), QStringLiteral("一石二鳥"),
                             QStringLiteral("いっせきにちょう"), QStringLiteral("得")};
    const QString plain = plainLine(fields);
    EXPECT_EQ(plain.size(), kPaddedLength);
    EXPECT_TRUE(plain.startsWith(QStringLiteral("1,一石二鳥,いっせきにちょう,得／ｅｎｄ／＊＊")));
    EXPECT_TRUE(plain.endsWith(u'＊'));

    const QStringList longFields{QStringLiteral("1"), QString(150, u'あ')};
    EXPECT_EQ(plainLine(longFields),
              QStringLiteral("1,") + QString(150, u'あ') + QStringLiteral("／ｅｎｄ／"));

    // The stored line is the plain line scrambled, and the reader's rule restores it.
    const idioms::RestoredLine restored = idioms::restoreStoredLine(storedLine(fields));
    EXPECT_TRUE(restored.problem.isEmpty());
    EXPECT_EQ(restored.fields, fields);
    EXPECT_NE(storedLine(fields), plain);
}

TEST(StoredFile, TheShippedListRoundTripsExactly)
{
    const IdiomList list = shippedList();
    ASSERT_EQ(list.rows.size(), 200);
    QTemporaryDir dir;
    const QString stored = dir.filePath(QStringLiteral("四字02vv.ccc"));
    QString error;
    ASSERT_TRUE(testing_support::succeeded(writeStoredFile(stored, list), &error)) << error.toStdString();

    IdiomList back;
    ASSERT_TRUE(succeeded(readList(stored, Encoding::Auto), &back, &error)) << error.toStdString();
    EXPECT_TRUE(back.readProblems.isEmpty());
    bool ok = false;
    EXPECT_EQ(csvBytes(csvText(back, true), Encoding::Utf8, &ok), readBytes(QStringLiteral(YOJI_IDIOM_LIST)));
    EXPECT_TRUE(ok);
}

TEST(StoredFile, TheBuildsDataFileIsTheEncodedListAndReadsLikeTheDecoder)
{
    const QString built = QStringLiteral(YOJI_IDIOM_DATA);
    const IdiomList list = shippedList();
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("四字02vv.ccc"));
    ASSERT_FALSE(writeStoredFile(fresh, list));
    EXPECT_EQ(readBytes(built), readBytes(fresh)) << "the build's data file is not up to date";

    IdiomList decoded;
    QString error;
    ASSERT_TRUE(succeeded(readList(built, Encoding::Auto), &decoded, &error)) << error.toStdString();
    drill::IdiomData table;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(builtNominalPath(), table), &error))
        << error.toStdString();
    ASSERT_EQ(table.idiomRowCount, decoded.rows.size());
    for (int row = 1; row <= table.idiomRowCount; ++row) {
        const QStringList &fields = decoded.rows[row - 1].fields;
        ASSERT_EQ(table.idiomTable[std::size_t(row)].size(), fields.size() + 1) << row;
        for (qsizetype c = 0; c < fields.size(); ++c)
            EXPECT_EQ(table.cell(row, int(c + 1)), fields[c]) << row << "," << c + 1;
    }
    EXPECT_EQ(table.idiomColumnCount, 4);
}

TEST(StoredFile, EveryLevelOfTheShippedListHasTwentyQuestionsTheDrillCanMake)
{
    drill::IdiomData table;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(idioms::readIdiomData(builtNominalPath(), table), &error))
        << error.toStdString();
    for (int level = 1; level <= 20; ++level) {
        const QuestionList questions = idioms::questionsForLevel(table, level);
        ASSERT_EQ(questions.size(), 20) << level;
        const QString reason =
            drill::unrunnableReason(questions, level % 2 == 1, (level + 1) / 2, builtNominalPath());
        EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
        for (const Question &q : questions) {
            EXPECT_EQ(q.idiom.size(), 4);
            EXPECT_GE(q.reading.size(), 4);
            EXPECT_FALSE(q.meaning.isEmpty());
            EXPECT_LE(q.meaning.size(), 40) << q.idiom.toStdString();
        }
    }
    EXPECT_EQ(idioms::questionsForLevel(table, 1)[0].idiom, QStringLiteral("一石二鳥"));
    EXPECT_EQ(idioms::questionsForLevel(table, 19)[0].idiom, idioms::questionsForLevel(table, 20)[0].idiom);
}

TEST(StoredFile, AFailedWriteLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("四字02vv.ccc"));
    writeBytes(path, QByteArray("old contents\r\n"));
    IdiomList list;
    list.rows = {{1, {QStringLiteral("1"), QStringLiteral("絵文字😀")}}};
    const app::Status written = writeStoredFile(path, list);
    ASSERT_TRUE(written);
    EXPECT_FALSE(written->text.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old contents\r\n"));
}

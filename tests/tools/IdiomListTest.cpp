#include "IdiomList.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace yojidata;

TEST(CsvReading, QuotedFieldsKeepCommasQuotesAndLineEnds)
{
    const IdiomList list = parseCsv(QStringLiteral("1,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
                                                   "2,plain,x,y\r\n"));
    ASSERT_EQ(list.rows.size(), 2);
    EXPECT_EQ(list.rows[0].fields,
              (QStringList{QStringLiteral("1"), QStringLiteral("a,b"), QStringLiteral("say \"hi\""),
                           QStringLiteral("two\r\nlines")}));
    EXPECT_EQ(list.rows[0].line, 1);
    // The quoted line end moved the next row to line 3.
    EXPECT_EQ(list.rows[1].line, 3);
    EXPECT_TRUE(list.readProblems.isEmpty());
}

TEST(CsvReading, HeaderBlankLinesAndLineNumbers)
{
    const IdiomList list = parseCsv(QStringLiteral(
        "範囲,四字熟語,読み,意味\n\n1,一石二鳥,いっせきにちょう,得\n\n\n２,十人十色,じゅうにんといろ,色,\n"));
    EXPECT_EQ(list.header, (QStringList{QStringLiteral("範囲"), QStringLiteral("四字熟語"),
                                        QStringLiteral("読み"), QStringLiteral("意味")}));
    ASSERT_EQ(list.rows.size(), 2);
    EXPECT_EQ(list.rows[0].line, 3);
    EXPECT_EQ(list.rows[1].line, 6);
    // A trailing comma is an empty last field, as a spreadsheet writes it.
    EXPECT_EQ(list.rows[1].fields.size(), 5);

    // Without a header the first line is a row; a first field with a digit is never a header.
    const IdiomList noHeader = parseCsv(QStringLiteral("1,一石二鳥,いっせきにちょう,得"));
    EXPECT_TRUE(noHeader.header.isEmpty());
    ASSERT_EQ(noHeader.rows.size(), 1);
    EXPECT_EQ(noHeader.rows[0].fields.value(3), QStringLiteral("得"));
}

TEST(CsvReading, AnUnclosedQuoteIsAProblemOfTheLineItStartsOn)
{
    const IdiomList list = parseCsv(QStringLiteral("1,a,b,c\n1,d,\"e,f\ng\n"));
    ASSERT_EQ(list.rows.size(), 1);
    ASSERT_EQ(list.readProblems.size(), 1);
    EXPECT_EQ(list.readProblems[0].line, 2);
    EXPECT_EQ(list.readProblems[0].kind, Problem::Kind::Format);
}

TEST(CsvReading, EncodingIsUtf8OrCodePage932)
{
    const QString text = QStringLiteral("1,一石二鳥,いっせきにちょう,①得\r\n");
    const struct
    {
        const char *name;
        QByteArray bytes;
        Encoding encoding;
        bool ok;
        const char *badLine;
    } cases[] = {
        {"utf-8 found", text.toUtf8(), Encoding::Auto, true, ""},
        {"utf-8 with byte order mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8(), Encoding::Auto, true, ""},
        {"code page 932 found", platform::encode932(text), Encoding::Auto, true, ""},
        {"code page 932 asked", platform::encode932(text), Encoding::Cp932, true, ""},
        {"code page 932 is no utf-8", QByteArray("1,a\r\n") + platform::encode932(text), Encoding::Utf8,
         false, "2 行目"},
        {"broken either way", QByteArray("1,a\r\n1,b\r\n3,\xFF\xFF\r\n"), Encoding::Auto, false, "3 行目"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString decoded;
        QString error;
        EXPECT_EQ(succeeded(decodeCsvBytes(c.bytes, c.encoding), &decoded, &error), c.ok);
        if (c.ok)
            EXPECT_EQ(decoded, text);
        else
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.badLine))) << error.toStdString();
    }
}

TEST(CsvReading, SpreadsheetListInCodePage932ReadsLikeTheUtf8One)
{
    IdiomList utf8;
    IdiomList cp932;
    QString error;
    ASSERT_TRUE(
        succeeded(readList(testDataPath(QStringLiteral("tools/good.csv")), Encoding::Auto), &utf8, &error))
        << error.toStdString();
    ASSERT_TRUE(succeeded(readList(testDataPath(QStringLiteral("tools/good-cp932.csv")), Encoding::Auto),
                          &cp932, &error))
        << error.toStdString();
    ASSERT_EQ(utf8.rows.size(), 8);
    ASSERT_EQ(cp932.rows.size(), utf8.rows.size());
    for (qsizetype i = 0; i < utf8.rows.size(); ++i) {
        EXPECT_EQ(cp932.rows[i].fields, utf8.rows[i].fields);
        EXPECT_EQ(cp932.rows[i].line, utf8.rows[i].line);
    }
}

TEST(CsvReading, MissingOrBrokenFilesAreNamed)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("ない.csv"));
    IdiomList list;
    QString error;
    EXPECT_FALSE(succeeded(readList(missing, Encoding::Auto), &list, &error));
    EXPECT_TRUE(error.contains(platform::displayPath(missing))) << error.toStdString();

    const QString broken = dir.filePath(QStringLiteral("broken.csv"));
    writeBytes(broken, QByteArray("1,a,b,c\n1,\x82\xFF,b,c\n"));
    EXPECT_FALSE(succeeded(readList(broken, Encoding::Auto), &list, &error));
    EXPECT_TRUE(error.contains(platform::displayPath(broken))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("2 行目"))) << error.toStdString();
}

TEST(CsvWriting, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    IdiomList list;
    list.rows = {{1,
                  {QStringLiteral("1"), QStringLiteral("a,b"), QStringLiteral("say \"hi\""),
                   QStringLiteral("plain")}}};
    EXPECT_EQ(csvText(list, false), QStringLiteral("1,\"a,b\",\"say \"\"hi\"\"\",plain\n"));
    EXPECT_EQ(csvText(list, true),
              QStringLiteral("範囲,四字熟語,読み,意味\n1,\"a,b\",\"say \"\"hi\"\"\",plain\n"));
    // What is written reads back the same.
    EXPECT_EQ(parseCsv(csvText(list, true)).rows[0].fields, list.rows[0].fields);

    bool ok = false;
    EXPECT_EQ(csvBytes(QStringLiteral("1,①\n"), Encoding::Cp932, &ok), QByteArray("1,\x87\x40\r\n"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(csvBytes(QStringLiteral("1,①\n"), Encoding::Utf8, &ok), QStringLiteral("1,①\n").toUtf8());
    csvBytes(QStringLiteral("😀\n"), Encoding::Cp932, &ok);
    EXPECT_FALSE(ok);
}

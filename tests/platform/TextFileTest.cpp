#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

TEST(CodePage932, ConverterIsAvailable)
{
    EXPECT_TRUE(platform::codePage932Available());
}

TEST(CodePage932, VendorCharactersAndHalfWidthKanaRoundTrip)
{
    const QString text = QStringLiteral("①②Ⅲ～★ｱｲｳｴｵﾊﾟ漢字かなカナ－ABC");
    bool ok = false;
    const QByteArray bytes = platform::encode932(text, &ok);
    ASSERT_TRUE(ok);
    // Half-width kana are one byte each in code page 932; ① is 0x87 0x40 (an NEC extension).
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x87\x40", 2)));
    EXPECT_EQ(platform::decode932(bytes, &ok), text);
    EXPECT_TRUE(ok);
}

TEST(CodePage932, CharacterOutsideTheCodePageIsReported)
{
    bool ok = true;
    platform::encode932(QStringLiteral("a😀b"), &ok);
    EXPECT_FALSE(ok);
}

TEST(CodePage932, BrokenBytesAreReportedWithTheirLine)
{
    bool cutOk = true;
    platform::decode932(QByteArray("ok\x82", 3), &cutOk);
    EXPECT_FALSE(cutOk) << "a two-byte character cut off at the end is broken too";

    bool ok = true;
    int badLine = 0;
    platform::decode932(QByteArray("abc\r\n\x82\xa0\r\nx\xff\r\n", 12), &ok, &badLine);
    EXPECT_FALSE(ok);
    EXPECT_EQ(badLine, 3);
}

TEST(TextFile, WritesCrlfAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名簿.txt"));
    QString error;
    ASSERT_TRUE(testing_support::succeeded(
        platform::writeText932(path, {QStringLiteral("一行目★"), QString(), QStringLiteral("ｶﾅ")}), &error))
        << error.toStdString();
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes, platform::encode932(QStringLiteral("一行目★\r\n\r\nｶﾅ\r\n")));
    QString text;
    ASSERT_TRUE(testing_support::succeeded(platform::readText932(path), &text, &error));
    EXPECT_EQ(platform::splitLines(text),
              (QStringList{QStringLiteral("一行目★"), QString(), QStringLiteral("ｶﾅ")}));
}

TEST(TextFile, MissingFileMessageNamesTheFullPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ない.txt"));
    QString text, error;
    EXPECT_FALSE(testing_support::succeeded(platform::readText932(path), &text, &error));
    EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
}

TEST(TextFile, BrokenBytesInAFileAreReportedNotDropped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.txt"));
    writeBytes(path, QByteArray("good\r\nbad\x81\r\n", 11));
    QString text = QStringLiteral("unchanged"), error;
    EXPECT_FALSE(testing_support::succeeded(platform::readText932(path), &text, &error));
    EXPECT_EQ(text, QStringLiteral("unchanged"));
    EXPECT_TRUE(error.contains(QStringLiteral("2 行目"))) << error.toStdString();
}

TEST(TextFile, UnencodableTextLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    writeBytes(path, QByteArray("old\r\n"));
    QString error;
    EXPECT_FALSE(testing_support::succeeded(platform::writeText932(path, {QStringLiteral("new 😀")}), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old\r\n"));
}

TEST(TextFile, SplitLinesAcceptsEveryLineEnd)
{
    EXPECT_EQ(
        platform::splitLines(QStringLiteral("a\r\nb\nc\rd")),
        (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(platform::splitLines(QStringLiteral("a\r\n")), QStringList{QStringLiteral("a")});
    EXPECT_TRUE(platform::splitLines(QString()).isEmpty());
}

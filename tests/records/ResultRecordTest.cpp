#include "records/ResultRecord.h"
#include "records/RecordTestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cstring>

using namespace records;
using records_test::rawRecord;

TEST(ResultRecord, NewRecordHasTheExactBytesOfTheLayout)
{
    const ResultRecord record = newRecord(46364.0, 0.5, 131, 12, 245, QStringLiteral("24601"));
    const QByteArray expected =
        rawRecord(46364.0, 0.5, 131, 12, 245, "24601", "     ", " 0   ", "\0\0\0\0\0");
    EXPECT_EQ(encodeRecord(record).toHex(' '), expected.toHex(' '));
    // The same bytes spelled out for the numbers, so a change of byte order cannot pass unseen.
    EXPECT_EQ(expected.mid(0, 8).toHex(), QByteArray("0000000080a3e640"));
    EXPECT_EQ(expected.mid(16, 8).toHex(), QByteArray("83000c00f5000000"));
}

TEST(ResultRecord, DecodesEveryFieldFromRawBytes)
{
    const QByteArray bytes = rawRecord(45000.0, 0.25, -2, 35, 99999, "ab   ", "xyz  ", "-12  ", "\1\2\3\4\5");
    const ResultRecord r = decodeRecord(bytes.constData());
    EXPECT_EQ(r.date, 45000.0);
    EXPECT_EQ(r.clock, 0.25);
    EXPECT_EQ(r.student, -2);
    EXPECT_EQ(r.level, 35);
    EXPECT_EQ(r.time, 99999);
    EXPECT_EQ(r.schoolCode, QStringLiteral("ab   "));
    EXPECT_EQ(r.reservedText, QStringLiteral("xyz  "));
    EXPECT_EQ(r.mode, -12);
    EXPECT_EQ(recordTime(bytes.constData()), 99999);
    EXPECT_EQ(recordMode(bytes.constData()), -12);
}

TEST(ResultRecord, AnyFortyFourBytesEncodeBackUnchanged)
{
    QRandomGenerator random(7);
    std::vector<QByteArray> samples;
    for (int i = 0; i < 2000; ++i) {
        QByteArray b(kRecordSize, '\0');
        for (char &c : b)
            c = char(random.bounded(256));
        samples.push_back(b);
    }
    // Half a two-byte character at the end of a field, a duplicate code of the vendor extensions that
    // re-encodes differently, a signalling NaN as the date.
    samples.push_back(rawRecord(1, 0, 1, 2, 3, "1234\x82", "\x82\xa0\x82\xa2\x20", " 0   ", "\0\0\0\0\0"));
    samples.push_back(rawRecord(1, 0, 1, 2, 3, "\xed\x40   ", "\xfa\x5c   ", " 0   ", "\0\0\0\0\0"));
    QByteArray nan = rawRecord(0, 0, 1, 2, 3, "     ", "     ", " 0   ", "\0\0\0\0\0");
    const quint64 signalling = 0x7ff0000000000001ull;
    std::memcpy(nan.data(), &signalling, 8);
    samples.push_back(nan);
    for (const QByteArray &b : samples)
        ASSERT_EQ(encodeRecord(decodeRecord(b.constData())).toHex(' '), b.toHex(' '));
}

TEST(ResultRecord, ChangedFieldsAreWrittenAndUnchangedBytesKept)
{
    const QByteArray bytes = rawRecord(45000.0, 0.25, 7, 4, 300, "99999", "memo ", " 0   ", "\1\2\3\4\5");
    ResultRecord r = decodeRecord(bytes.constData());
    r.time = 123;
    r.student = 8;
    r.mode = -3;
    r.schoolCode = QStringLiteral("塾");
    const QByteArray out = encodeRecord(r);
    EXPECT_EQ(recordTime(out.constData()), 123);
    EXPECT_EQ(recordStudent(out.constData()), 8);
    EXPECT_EQ(out.mid(24, 5), QByteArray("\x8f\x6d   "));
    EXPECT_EQ(out.mid(29, 5), QByteArray("memo "));
    EXPECT_EQ(out.mid(34, 5), QByteArray("-3   "));
    EXPECT_EQ(out.mid(39, 5), QByteArray("\1\2\3\4\5"));
    EXPECT_EQ(out.left(16), bytes.left(16));
}

TEST(ResultRecord, TextsAreCutToFiveBytesWithoutHalvingACharacter)
{
    const std::pair<QString, QByteArray> cases[] = {
        {QString(), "     "},
        {QStringLiteral("12345"), "12345"},
        {QStringLiteral("1234567"), "12345"},
        {QStringLiteral("ひかり"), "\x82\xd0\x82\xa9 "}, // three two-byte characters: the third does not fit
        {QStringLiteral("1ひかり"), "1\x82\xd0\x82\xa9"},
        {QStringLiteral("12ひ"), "12\x82\xd0 "},
        {QStringLiteral("1234ひ"), "1234 "},
        {QStringLiteral("ｱｲｳ"), "\xb1\xb2\xb3  "}, // half-width kana are one byte each
    };
    for (const auto &[text, bytes] : cases)
        EXPECT_EQ(fixedText(text).toHex(' '), bytes.toHex(' ')) << text.toStdString();
}

#include "platform/DelimitedItems.h"

#include <gtest/gtest.h>

namespace {
QStringList texts(const QString &content)
{
    QStringList out;
    for (const platform::Item &item : platform::readAllItems(content))
        out << item.text;
    return out;
}
} // namespace

TEST(DelimitedItems, CommasAndLineEndsBothSeparate)
{
    EXPECT_EQ(texts(QStringLiteral("a,b\r\nc\nd")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
}

TEST(DelimitedItems, QuotedItemMayHoldCommasAndKeepsItsBlanks)
{
    const QList<platform::Item> items = platform::readAllItems(QStringLiteral("\"東京, 本校\" , \"  x \",y"));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].text, QStringLiteral("東京, 本校"));
    EXPECT_TRUE(items[0].quoted);
    EXPECT_EQ(items[1].text, QStringLiteral("  x "));
    EXPECT_EQ(items[2].text, QStringLiteral("y"));
    EXPECT_FALSE(items[2].quoted);
}

TEST(DelimitedItems, BlanksAroundUnquotedItemsAreIgnored)
{
    EXPECT_EQ(texts(QStringLiteral("  12 ,\t abc def  \r\n")), (QStringList{QStringLiteral("12"), QStringLiteral("abc def")}));
}

TEST(DelimitedItems, IdeographicSpacesBelongToTheItem)
{
    EXPECT_EQ(texts(QStringLiteral("  山田　 ,\t　x")), (QStringList{QStringLiteral("山田　"), QStringLiteral("　x")}));
}

TEST(DelimitedItems, TrailingCommasGiveEmptyItemsButEmptyLinesDoNot)
{
    // The standards table's header ends with three empty fields.
    EXPECT_EQ(texts(QStringLiteral("a,b,,,\r\n\r\nc\r\n")), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QString(),
                                                                     QString(), QString(), QStringLiteral("c")}));
}

TEST(DelimitedItems, EndIsReachedWhenOnlyLineEndsRemain)
{
    platform::DelimitedItemReader reader(QStringLiteral("x\r\n  \r\n"));
    platform::Item item;
    EXPECT_FALSE(reader.atEnd());
    EXPECT_TRUE(reader.next(&item));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.next(&item));
}

TEST(DelimitedItems, UnclosedQuoteRunsToTheEndWithoutHanging)
{
    EXPECT_EQ(texts(QStringLiteral("a,\"open, never closed\r\nb")),
              (QStringList{QStringLiteral("a"), QStringLiteral("open, never closed\r\nb")}));
}

TEST(DelimitedItems, ItemsKnowTheirLine)
{
    const QList<platform::Item> items = platform::readAllItems(QStringLiteral("a,b\r\n\r\nc"));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[1].line, 1);
    EXPECT_EQ(items[2].line, 3);
}

TEST(LeadingNumber, ReadsTheLeadingDigitsLikeTheNumericConversion)
{
    struct Case
    {
        const char16_t *text;
        double number;
    };
    const Case cases[] = {
        {u"12345ABC塾", 12345}, {u"ABC塾", 0},  {u"", 0},        {u"  42", 42}, {u"-7x", -7},
        {u"3.5日", 3.5},         {u"00000X", 0}, {u"１２", 0},     {u"+8", 8},    {u"1e3", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(platform::leadingNumber(QString::fromUtf16(c.text)), c.number) << QString::fromUtf16(c.text).toStdString();
}

TEST(LeadingNumber, HugeNumbersAreClampedNotWrapped)
{
    EXPECT_EQ(platform::leadingInteger(QStringLiteral("99999999999999")), std::numeric_limits<qint32>::max());
    EXPECT_EQ(platform::leadingInteger(QStringLiteral("-99999999999999")), std::numeric_limits<qint32>::min());
}

TEST(ItemValue, NumbersBecomeNumbersAndEverythingElseStaysText)
{
    EXPECT_EQ(platform::itemValue({QStringLiteral("30"), false, 1}).typeId(), QMetaType::Int);
    EXPECT_EQ(platform::itemValue({QStringLiteral("0.5"), false, 1}).typeId(), QMetaType::Double);
    EXPECT_EQ(platform::itemValue({QStringLiteral("30"), true, 1}).typeId(), QMetaType::QString);
    EXPECT_EQ(platform::itemValue({QStringLiteral("30日"), false, 1}).typeId(), QMetaType::QString);
    EXPECT_EQ(platform::valueNumber(platform::itemValue({QStringLiteral("30日"), false, 1})), 30.0);
    EXPECT_EQ(platform::valueText(platform::itemValue({QStringLiteral("0.5"), false, 1})), QStringLiteral("0.5"));
}

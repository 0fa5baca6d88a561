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
    EXPECT_EQ(texts(QStringLiteral("a,b\r\nc\nd")), (QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                                                 QStringLiteral("c"), QStringLiteral("d")}));
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
    EXPECT_EQ(texts(QStringLiteral("  12 ,\t abc def  \r\n")),
              (QStringList{QStringLiteral("12"), QStringLiteral("abc def")}));
}

TEST(DelimitedItems, IdeographicSpacesBelongToTheItem)
{
    EXPECT_EQ(texts(QStringLiteral("  山田　 ,\t　x")),
              (QStringList{QStringLiteral("山田　"), QStringLiteral("　x")}));
}

TEST(DelimitedItems, EmptyLinesInsideAreEmptyItemsButThoseAfterTheLastItemAreNone)
{
    // The standards table's header ends with three empty fields; the line end after the last comma
    // ends the third one.
    const QString a = QStringLiteral("a");
    const QString b = QStringLiteral("b");
    const QString c = QStringLiteral("c");
    EXPECT_EQ(texts(QStringLiteral("a,b,,,\r\nc\r\n")), (QStringList{a, b, {}, {}, {}, c}));
    // An empty line (or one of blanks) between items is an empty item, whatever the line ends.
    EXPECT_EQ(texts(QStringLiteral("a\r\n\r\nb\n \t\nc")), (QStringList{a, {}, b, {}, c}));
    EXPECT_EQ(texts(QStringLiteral("\r\na")), (QStringList{{}, a}));
    EXPECT_EQ(texts(QStringLiteral("a,\r\n\r\nb")), (QStringList{a, {}, {}, b}));
    // Empty lines after the last item, as an editor leaves them, make none.
    EXPECT_EQ(texts(QStringLiteral("a\r\nb\r\n\r\n  \r\n\n")), (QStringList{a, b}));
    EXPECT_EQ(texts(QStringLiteral("a,\r\n\r\n")), (QStringList{a, {}}));
    EXPECT_TRUE(texts(QStringLiteral("\r\n\r\n")).isEmpty());
}

TEST(DelimitedItems, ACountOfItemsIsTakenFromEmptyLinesToo)
{
    // A settings file of ten items whose items 2 to 10 are empty lines.
    const QString pathData = QStringLiteral("C:\\juku\\data\\\r\n") + QStringLiteral("\r\n").repeated(9);
    platform::DelimitedItemReader reader(pathData);
    QList<platform::Item> items;
    EXPECT_EQ(reader.read(10, &items), 10);
    EXPECT_EQ(items[0].text, QStringLiteral("C:\\juku\\data\\"));
    EXPECT_EQ(items[9].text, QString());
    EXPECT_EQ(items[9].line, 10);
    EXPECT_EQ(reader.read(1, &items), 0); // nothing is left

    // Read up to the last item, the same text has one.
    platform::DelimitedItemReader toEnd(pathData);
    items.clear();
    EXPECT_EQ(toEnd.readBeforeEnd(10, &items), 1);
    EXPECT_TRUE(toEnd.atEnd());
}

TEST(DelimitedItems, EndIsReachedWhenOnlyLineEndsRemain)
{
    platform::DelimitedItemReader reader(QStringLiteral("x\r\n  \r\n"));
    platform::Item item;
    EXPECT_FALSE(reader.atEnd());
    EXPECT_TRUE(reader.next(&item));
    EXPECT_TRUE(reader.atEnd());
    // A reader that wants more items still gets the empty line, and then nothing.
    EXPECT_TRUE(reader.next(&item));
    EXPECT_EQ(item.text, QString());
    EXPECT_EQ(item.line, 2);
    EXPECT_FALSE(reader.next(&item));
    EXPECT_TRUE(reader.atEnd());
}

TEST(DelimitedItems, UnclosedQuoteRunsToTheEndWithoutHanging)
{
    EXPECT_EQ(texts(QStringLiteral("a,\"open, never closed\r\nb")),
              (QStringList{QStringLiteral("a"), QStringLiteral("open, never closed\r\nb")}));
}

TEST(DelimitedItems, ItemsKnowTheirLine)
{
    const QList<platform::Item> items = platform::readAllItems(QStringLiteral("a,b\r\n\r\nc"));
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[1].line, 1);
    EXPECT_EQ(items[2].line, 2);
    EXPECT_EQ(items[3].line, 3);
}

TEST(LeadingNumber, ReadsTheLeadingDigitsLikeTheNumericConversion)
{
    struct Case
    {
        const char16_t *text;
        double number;
    };
    const Case cases[] = {
        {u"12345ABC塾", 12345}, {u"ABC塾", 0},  {u"", 0},     {u"  42", 42}, {u"-7x", -7},
        {u"3.5日", 3.5},        {u"00000X", 0}, {u"１２", 0}, {u"+8", 8},    {u"1e3", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(platform::leadingNumber(QString::fromUtf16(c.text)), c.number)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(LeadingNumber, HugeNumbersAreClampedNotWrapped)
{
    EXPECT_EQ(platform::leadingInteger(QStringLiteral("99999999999999")), std::numeric_limits<qint32>::max());
    EXPECT_EQ(platform::leadingInteger(QStringLiteral("-99999999999999")),
              std::numeric_limits<qint32>::min());
}

TEST(ItemValue, NumbersBecomeNumbersAndEverythingElseStaysText)
{
    EXPECT_EQ(platform::itemValue({QStringLiteral("30"), false, 1}).typeId(), QMetaType::Int);
    EXPECT_EQ(platform::itemValue({QStringLiteral("0.5"), false, 1}).typeId(), QMetaType::Double);
    EXPECT_EQ(platform::itemValue({QStringLiteral("30"), true, 1}).typeId(), QMetaType::QString);
    EXPECT_EQ(platform::itemValue({QStringLiteral("30日"), false, 1}).typeId(), QMetaType::QString);
    EXPECT_EQ(platform::valueNumber(platform::itemValue({QStringLiteral("30日"), false, 1})), 30.0);
    EXPECT_EQ(platform::valueText(platform::itemValue({QStringLiteral("0.5"), false, 1})),
              QStringLiteral("0.5"));
}

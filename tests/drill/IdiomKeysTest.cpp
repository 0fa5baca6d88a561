#include "drill/IdiomKeys.h"

#include <gtest/gtest.h>

#include <cstring>

using idioms::SwapDirection;

namespace {

// A line of distinct characters, so that every move of a character shows.
QString distinctLine(int length)
{
    QString line;
    for (int i = 0; i < length; ++i)
        line.append(QChar(0x4E00 + i));
    return line;
}

// The restoring step written out from the key texts alone: for i = 99 down to 1, exchange the
// characters at the positions named by the digits 2i+1, 2i+2 of key A and of key B.
QString restoreByTheKeyTexts(QString line)
{
    const char *a = idioms::keyA();
    const char *b = idioms::keyB();
    for (int i = 99; i >= 1; --i) {
        const int pa = (a[2 * i] - '0') * 10 + (a[2 * i + 1] - '0');
        const int pb = (b[2 * i] - '0') * 10 + (b[2 * i + 1] - '0');
        const QChar fromA = line.at(pa - 1);
        line[pa - 1] = line.at(pb - 1);
        line[pb - 1] = fromA;
    }
    return line;
}

} // namespace

TEST(IdiomKeys, KeysAre396DigitsWithPositionsFrom1To99)
{
    for (const char *key : {idioms::keyA(), idioms::keyB()}) {
        ASSERT_EQ(std::strlen(key), std::size_t(idioms::kKeyLength));
        for (int i = 0; i < idioms::kKeyLength; ++i)
            EXPECT_TRUE(key[i] >= '0' && key[i] <= '9') << i;
    }
    for (int pair = 1; pair <= idioms::kSwapPairCount; ++pair) {
        EXPECT_GE(idioms::swapPositionA(pair), 1);
        EXPECT_LE(idioms::swapPositionA(pair), 99);
        EXPECT_GE(idioms::swapPositionB(pair), 1);
        EXPECT_LE(idioms::swapPositionB(pair), 99);
    }
}

TEST(IdiomKeys, RestoringFollowsTheKeyTextsInDescendingOrder)
{
    const QString line = distinctLine(120);
    QString restored = line;
    ASSERT_TRUE(idioms::applySwaps(restored, SwapDirection::Restore));
    EXPECT_EQ(restored, restoreByTheKeyTexts(line));
    EXPECT_NE(restored, line);
}

TEST(IdiomKeys, RestoringUndoesScramblingAndTheOrderMatters)
{
    const QString plain = distinctLine(99);
    QString line = plain;
    ASSERT_TRUE(idioms::applySwaps(line, SwapDirection::Scramble));
    const QString scrambled = line;
    EXPECT_NE(scrambled, plain);
    ASSERT_TRUE(idioms::applySwaps(line, SwapDirection::Restore));
    EXPECT_EQ(line, plain);

    // The pairs overlap, so applying them in the same order twice does not give the plain line back.
    QString twice = plain;
    idioms::applySwaps(twice, SwapDirection::Scramble);
    idioms::applySwaps(twice, SwapDirection::Scramble);
    EXPECT_NE(twice, plain);
}

TEST(IdiomKeys, CharactersBeyondPosition99AreNeverMoved)
{
    const QString plain = distinctLine(150);
    QString line = plain;
    idioms::applySwaps(line, SwapDirection::Scramble);
    EXPECT_EQ(line.mid(99), plain.mid(99));
}

TEST(IdiomKeys, ALineShorterThan99IsLeftAlone)
{
    QString line = distinctLine(98);
    const QString before = line;
    EXPECT_FALSE(idioms::applySwaps(line, SwapDirection::Restore));
    EXPECT_EQ(line, before);
}

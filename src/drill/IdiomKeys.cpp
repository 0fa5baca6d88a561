#include "drill/IdiomKeys.h"

#include <array>
#include <utility>

namespace drill::idioms {
namespace {

// Chosen once at random; never change them (see the header).
constexpr char kKeyA[] = "017769223131673473713751232103226147636999837862676902537050425442"
                         "180347765814206525653628719202078525090298610274829734820319831869"
                         "182935561560019647579992346778643991402778158959367914075017287051"
                         "127599012641928999119438291271281124176784490008493960487592202056"
                         "478102822256850521097395145372606689268366818350104367041999777824"
                         "272734335482076498764114829304427481049890539203958230719115648361";

constexpr char kKeyB[] = "859568607447743621045703159062372478939931851142305630497312075558"
                         "775590260488671382229309624335608306478068914161334279737187398144"
                         "948004069914368322725830526683830269993515686010319602199309159013"
                         "365630306297177217033038440980089870449146623009785994124562887873"
                         "134465271136672283357762800973250090335823875260683991853100024876"
                         "533670184994310288086344624831881595094580504288473273468606612968";

constexpr bool allDigits(const char *key)
{
    for (int i = 0; i < kKeyLength; ++i) {
        if (key[i] < '0' || key[i] > '9')
            return false;
    }
    return key[kKeyLength] == '\0';
}

constexpr int keyNumber(const char *key, int i)
{
    return (key[2 * i] - '0') * 10 + (key[2 * i + 1] - '0');
}

using PositionTable = std::array<int, kSwapPairCount + 1>;

constexpr PositionTable positions(const char *key)
{
    PositionTable table{};
    for (int pair = 1; pair <= kSwapPairCount; ++pair)
        table[pair] = keyNumber(key, pair);
    return table;
}

constexpr bool inRange(const PositionTable &table)
{
    for (int pair = 1; pair <= kSwapPairCount; ++pair) {
        if (table[pair] < 1 || table[pair] > kMinStoredLineLength)
            return false;
    }
    return true;
}

constexpr PositionTable kPositionsA = positions(kKeyA);
constexpr PositionTable kPositionsB = positions(kKeyB);

static_assert(sizeof(kKeyA) == kKeyLength + 1 && allDigits(kKeyA), "key A must be 396 digits");
static_assert(sizeof(kKeyB) == kKeyLength + 1 && allDigits(kKeyB), "key B must be 396 digits");
static_assert(inRange(kPositionsA) && inRange(kPositionsB), "swap positions must lie between 01 and 99");

} // namespace

const char *keyA()
{
    return kKeyA;
}

const char *keyB()
{
    return kKeyB;
}

int swapPositionA(int pair)
{
    return pair >= 1 && pair <= kSwapPairCount ? kPositionsA[std::size_t(pair)] : 0;
}

int swapPositionB(int pair)
{
    return pair >= 1 && pair <= kSwapPairCount ? kPositionsB[std::size_t(pair)] : 0;
}

bool applySwaps(QString &line, SwapDirection direction)
{
    if (line.size() < kMinStoredLineLength)
        return false;
    QChar *chars = line.data();
    const bool ascending = direction == SwapDirection::Scramble;
    for (int step = 1; step <= kSwapPairCount; ++step) {
        const int pair = ascending ? step : kSwapPairCount + 1 - step;
        std::swap(chars[kPositionsA[pair] - 1], chars[kPositionsB[pair] - 1]);
    }
    return true;
}

} // namespace drill::idioms

#include "platform/RandomSource.h"

#include "platform/Clock.h"

namespace platform {

void seedFromClock(RandomSource &random, const Clock &clock)
{
    random.seed(quint64(clock.secondsSinceMidnight() * 1000.0));
}

int drawOneTo(RandomSource &random, int n)
{
    return int(double(n) * random.next() + 1.0);
}

SeededRandom::SeededRandom(quint64 seed) : m_engine(seed) {}

void SeededRandom::seed(quint64 seed)
{
    m_engine.seed(seed);
}

double SeededRandom::next()
{
    // 53 random bits make every double of [0, 1) with that spacing equally likely, and never 1.
    return double(m_engine() >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace platform

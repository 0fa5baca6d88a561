#pragma once

#include <QtGlobal>
#include <random>

namespace platform {

class Clock;

// Uniform random numbers in [0, 1), injected so that tests can replay a draw.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    // Seeds the generator; the program seeds it from the clock when a screen that draws is loaded.
    virtual void seed(quint64 seed) = 0;
};

// Seeds the generator from the clock as every screen that draws does on loading: the milliseconds
// since midnight.
void seedFromClock(RandomSource &random, const Clock &clock);

// A draw of 1 to n as the program makes it: the whole part of (n × random + 1).
int drawOneTo(RandomSource &random, int n);

class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(quint64 seed);
    void seed(quint64 seed) override;
    double next() override;

private:
    std::mt19937_64 m_engine;
};

} // namespace platform

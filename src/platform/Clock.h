#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace platform {

// The program's sense of time, injected so that tests can let time jump.
class Clock
{
public:
    virtual ~Clock() = default;
    // The wall clock: today's date and the time of day.
    virtual QDateTime now() const = 0;
    // A monotonic clock in milliseconds for elapsed times; it never jumps at midnight or when the
    // system time is set.
    virtual qint64 monotonicMs() const = 0;

    // Whole and fractional seconds since midnight by the wall clock, as the original's timer gives them.
    double secondsSinceMidnight() const;

    // Waits for the given time while the screen keeps responding (pending events run every 10 ms).
    // A test clock lets the time pass at once instead.
    virtual void waitWithEvents(qint64 ms);
};

class SystemClock : public Clock
{
public:
    SystemClock();
    QDateTime now() const override;
    qint64 monotonicMs() const override;

private:
    QElapsedTimer m_timer;
};

} // namespace platform

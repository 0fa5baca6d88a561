#include "platform/Clock.h"

namespace platform {

double Clock::secondsSinceMidnight() const
{
    return now().time().msecsSinceStartOfDay() / 1000.0;
}

SystemClock::SystemClock()
{
    m_timer.start();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    return m_timer.elapsed();
}

} // namespace platform

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QThread>

namespace platform {

double Clock::secondsSinceMidnight() const
{
    return now().time().msecsSinceStartOfDay() / 1000.0;
}

void Clock::waitWithEvents(qint64 ms)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(std::min<qint64>(10, std::max<qint64>(0, ms - waited.elapsed())));
    }
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

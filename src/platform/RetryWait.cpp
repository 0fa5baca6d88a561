#include "platform/RetryWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

namespace platform {

namespace {
constexpr qint64 kStepMs = 10;
} // namespace

bool RetryWait::waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt)
{
    return wait(ms, [&] { return attempt(0); });
}

bool ResponsiveWait::wait(int ms, const std::function<bool()> &ready)
{
    return waitInSteps(ms, ready, QEventLoop::AllEvents);
}

bool waitInSteps(int ms, const std::function<bool()> &ready, QEventLoop::ProcessEventsFlags flags)
{
    QDeadlineTimer deadline(std::max(ms, 0));
    for (;;) {
        if (ready && ready())
            return true;
        if (deadline.hasExpired())
            return false;
        // Without an application object (a command-line tool) there are no events to run.
        QCoreApplication::processEvents(flags, int(kStepMs));
        const qint64 left = deadline.remainingTime();
        if (left > 0)
            QThread::msleep(std::min(kStepMs, left));
    }
}

bool ResponsiveWait::waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt)
{
    return waitForLockInSlices(ms, attempt, QEventLoop::AllEvents);
}

bool waitForLockInSlices(int ms, const std::function<bool(int sliceMs)> &attempt,
                         QEventLoop::ProcessEventsFlags flags)
{
    QDeadlineTimer deadline(std::max(ms, 0));
    for (;;) {
        QCoreApplication::processEvents(flags, int(kStepMs));
        const qint64 left = deadline.remainingTime();
        if (attempt(int(std::clamp<qint64>(left, 0, kStepMs))))
            return true;
        if (deadline.hasExpired())
            return false;
    }
}

void ResponsiveWait::longWaitBegins(const QString &line)
{
    if (m_notice)
        m_notice->showWaiting(line);
}

void ResponsiveWait::longWaitEnds()
{
    if (m_notice)
        m_notice->hideWaiting();
}

} // namespace platform

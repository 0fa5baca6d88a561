#include "records/RetryWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

namespace records {

namespace {
constexpr qint64 kStepMs = 10;
} // namespace

bool ResponsiveWait::wait(int ms, const std::function<bool()> &ready)
{
    QDeadlineTimer deadline(std::max(ms, 0));
    for (;;) {
        if (ready && ready())
            return true;
        if (deadline.hasExpired())
            return false;
        // Without an application object (a command-line tool) there are no events to run.
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(kStepMs));
        const qint64 left = deadline.remainingTime();
        if (left > 0)
            QThread::msleep(std::min(kStepMs, left));
    }
}

RetryWait &responsiveWait()
{
    // Holds no state, so one instance serves every caller.
    static ResponsiveWait wait;
    return wait;
}

} // namespace records

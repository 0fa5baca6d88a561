#pragma once

#include "records/RetryWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

// How the teacher tools wait while another PC holds the results file's lock: the windows repaint, but
// no click or key is handled until the file routine is done (they wait in the queue), so a second
// deletion or a key cannot start in the middle of the first.
class QuietWait : public records::RetryWait
{
public:
    bool wait(int ms, const std::function<bool()> &ready) override
    {
        QDeadlineTimer deadline(std::max(ms, 0));
        for (;;) {
            if (ready && ready())
                return true;
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
            QThread::msleep(std::min<qint64>(10, std::max<qint64>(deadline.remainingTime(), 0)));
        }
    }
    // In the lock's queue, as every writer waits, rather than a look every 10 ms that appends from
    // other PCs keep beating.
    bool waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt) override
    {
        return records::waitForLockInSlices(ms, attempt, QEventLoop::ExcludeUserInputEvents);
    }
};

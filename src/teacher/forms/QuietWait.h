#pragma once

#include "platform/RetryWait.h"

namespace teacher {

// How the teacher tools wait while another PC holds the results file's lock: the windows repaint, but
// no click or key is handled until the file routine is done (they wait in the queue), so a second
// deletion or a key cannot start in the middle of the first. Input that does not come as a click or a
// key (a screen reader's action) is held off by the screens themselves.
//
// A wait that goes on for a second shows the window's waiting panel (the notice of the program's wait,
// which the results readers use too) with the reason, and the panel goes when the lock is taken or the
// file step is done.
class QuietWait : public platform::RetryWait
{
public:
    explicit QuietWait(const platform::ResponsiveWait &programWait) : m_programWait(programWait) {}
    ~QuietWait() override { done(); }

    bool wait(int ms, const std::function<bool()> &ready) override
    {
        const bool readyNow = platform::waitInSteps(ms, ready, QEventLoop::ExcludeUserInputEvents);
        if (readyNow)
            done();
        return readyNow;
    }

    // In the lock's queue, as every writer waits, rather than a look every 10 ms that appends from
    // other PCs keep beating.
    bool waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt) override
    {
        return platform::waitForLockInSlices(ms, attempt, QEventLoop::ExcludeUserInputEvents);
    }

    void longWaitBegins(const QString &line) override
    {
        if (platform::WaitNotice *notice = m_programWait.notice()) {
            notice->showWaiting(line);
            m_shown = true;
        }
    }

    void longWaitEnds() override { done(); }

    // The file step is over: the panel goes if it is up.
    void done()
    {
        if (!m_shown)
            return;
        m_shown = false;
        if (platform::WaitNotice *notice = m_programWait.notice())
            notice->hideWaiting();
    }

private:
    const platform::ResponsiveWait &m_programWait;
    bool m_shown = false;
};

} // namespace teacher

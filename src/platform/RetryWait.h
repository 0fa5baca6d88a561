#pragma once

#include <QEventLoop>
#include <QString>

#include <functional>

// How a file routine waits before it tries again (the results file while another process holds its
// lock, or while its folder cannot be reached). The program waits for real and keeps the user interface
// responding; tests hand in a wait that returns at once and records what was asked.
namespace platform {

// What the screen shows while a wait on the results file goes on long enough to be noticed (about a
// second): the waiting panel with a line that says why. The window gives one to the program's wait
// (Services::wait).
class WaitNotice
{
public:
    virtual ~WaitNotice() = default;
    virtual void showWaiting(const QString &line) = 0;
    virtual void hideWaiting() = 0;
};

class RetryWait
{
public:
    virtual ~RetryWait() = default;
    // Waits up to `ms` milliseconds. When `ready` is given it is asked every few milliseconds and the
    // wait ends as soon as it says yes. Returns true when `ready` said yes.
    virtual bool wait(int ms, const std::function<bool()> &ready) = 0;
    // Waits up to `ms` milliseconds for a lock: `attempt(sliceMs)` tries to take it and may itself
    // wait up to sliceMs in the kernel, so that the lock goes to a waiter the moment it is free rather
    // than at its next look. Returns true when an attempt took it. By default the attempts do not
    // wait and are asked through wait().
    virtual bool waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt);
    // The wait has gone on for about a second: `line` says why. Then, once, that it is over.
    virtual void longWaitBegins(const QString &line) { (void)line; }
    virtual void longWaitEnds() {}
};

// Waits by the real time (not the program's injectable clock), letting pending events run every 10 ms
// (a lock is waited for in the kernel between them) so that windows repaint and stay usable. Long
// waits go to the notice, when there is one.
class ResponsiveWait : public RetryWait
{
public:
    bool wait(int ms, const std::function<bool()> &ready) override;
    bool waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt) override;
    void longWaitBegins(const QString &line) override;
    void longWaitEnds() override;

    // The notice for long waits (none: nothing is shown). The caller keeps it alive while it is set.
    void setNotice(WaitNotice *notice) { m_notice = notice; }
    WaitNotice *notice() const { return m_notice; }

private:
    WaitNotice *m_notice = nullptr;
};

// Waits up to `ms` milliseconds, asking `ready` (when given) every 10 ms and letting the pending events
// that `flags` allows run between; returns true when `ready` said yes.
bool waitInSteps(int ms, const std::function<bool()> &ready, QEventLoop::ProcessEventsFlags flags);

// Waits up to `ms` milliseconds for a lock in the kernel, in slices of 10 ms between which the pending
// events that `flags` allows run: the waiter stays in the lock's queue, so that it gets its turn
// among writers that wait there too, and the windows still repaint. Every wait of the program waits
// for a lock so.
bool waitForLockInSlices(int ms, const std::function<bool(int sliceMs)> &attempt,
                         QEventLoop::ProcessEventsFlags flags);

} // namespace platform

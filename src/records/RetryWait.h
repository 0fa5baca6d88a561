#pragma once

#include <functional>

// How a file routine waits before it tries again (the results file while another process holds its
// lock, or while its folder cannot be reached). The program waits for real and keeps the user interface
// responding; tests hand in a wait that returns at once and records what was asked.
namespace records {

class RetryWait
{
public:
    virtual ~RetryWait() = default;
    // Waits up to `ms` milliseconds. When `ready` is given it is asked every few milliseconds and the
    // wait ends as soon as it says yes. Returns true when `ready` said yes.
    virtual bool wait(int ms, const std::function<bool()> &ready) = 0;
};

// Waits by the real time (not the program's injectable clock), letting pending events run every 10 ms
// so that windows repaint and stay usable.
class ResponsiveWait : public RetryWait
{
public:
    bool wait(int ms, const std::function<bool()> &ready) override;
};

// The wait that the program uses.
RetryWait &responsiveWait();

} // namespace records

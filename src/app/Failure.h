#pragma once

#include "platform/MessageBoxes.h"

#include <QString>

#include <optional>
#include <utility>

struct Services;

// How the program's logic reports what went wrong: it returns a Failure (or a Result that holds one)
// and never shows anything itself. The screens hand the failure to app::report, the one place where
// a message is shown and, for a failure the program cannot go on after, the program is ended.
namespace app {

struct Failure
{
    QString title;
    QString text;
    platform::MessageBoxes::Icon icon = platform::MessageBoxes::Icon::Critical;
    // The exit status the program ends with once the box is closed; none: the program goes on.
    std::optional<int> exitStatus;
    // A box behind which nothing else of the program may run (MessageBoxes::showFatal).
    bool fatal = false;
};

// Nothing, or what went wrong.
using Status = std::optional<Failure>;

// A value, or the failure that kept the code from making it.
template <typename T> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure.has_value(); }
    explicit operator bool() const { return ok(); }
    T &value() { return *m_value; }
    const T &value() const { return *m_value; }
    const Failure &failure() const { return *m_failure; }
    // The failure as a Status, for a caller that passes it on without the value.
    Status status() const { return m_failure; }

private:
    std::optional<T> m_value;
    std::optional<Failure> m_failure;
};

// Shows the failure's box and then, when the failure ends the program, ends it with its status.
void report(Services &services, const Failure &failure);

// The same for a status that may hold nothing; true when there was a failure to report.
bool report(Services &services, const Status &status);

} // namespace app

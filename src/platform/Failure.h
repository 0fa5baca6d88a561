#pragma once

#include "platform/MessageBoxes.h"

#include <QString>

#include <optional>
#include <utility>

// How code reports what went wrong: it returns a Failure (or a Result that holds one) and never shows
// anything itself. The type lives here, at the bottom, so that the platform's own file and process code
// reports the same way as every layer above it; those layers know it as app::Failure, app::Status and
// app::Result (app/Failure.h), and the screens hand it to app::report.
namespace platform {

struct Failure
{
    // The box's title; code that only knows what went wrong leaves it empty for its caller to fill.
    QString title;
    QString text;
    MessageBoxes::Icon icon = MessageBoxes::Icon::Critical;
    // The exit status the program ends with once the box is closed; none: the program goes on.
    std::optional<int> exitStatus;
    // A box behind which nothing else of the program may run (MessageBoxes::showFatal).
    bool fatal = false;
};

// A failure that only knows what went wrong: the caller gives it a title (app::titled) where it shows it.
inline Failure failure(QString text)
{
    Failure f;
    f.text = std::move(text);
    return f;
}

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

} // namespace platform

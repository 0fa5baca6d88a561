#pragma once

#include "platform/Failure.h"

struct Services;

// The program's one failure convention (see platform/Failure.h): logic returns a Failure, a Status or a
// Result and shows nothing; the screens hand it to app::report, the one place where a message is shown
// and, for a failure the program cannot go on after, the program is ended.
namespace app {

using Failure = platform::Failure;
using Status = platform::Status;
template <typename T> using Result = platform::Result<T>;
using platform::failure;

// A failure the program goes on after, shown as a warning.
Failure warning(const QString &title, const QString &text);
// The status with the box's title and icon given, for a failure whose code only knew what went wrong.
Status titled(Status status, const QString &title,
              platform::MessageBoxes::Icon icon = platform::MessageBoxes::Icon::Warning);

// Shows the failure's box and then, when the failure ends the program, ends it with its status. Returns
// true when the program is ending, so that the handler that met the failure stops there.
bool report(Services &services, const Failure &failure);

// The same for a status that may hold nothing; true when the program is ending.
bool report(Services &services, const Status &status);

} // namespace app

#include "app/Failure.h"

#include "app/Services.h"

namespace app {

Failure warning(const QString &title, const QString &text)
{
    return Failure{title, text, platform::MessageBoxes::Icon::Warning};
}

Status titled(Status status, const QString &title, platform::MessageBoxes::Icon icon)
{
    if (status) {
        status->title = title;
        status->icon = icon;
    }
    return status;
}

bool report(Services &services, const Failure &failure)
{
    if (failure.fatal)
        services.messages.showFatal(failure.title, failure.text, failure.icon);
    else
        services.messages.show(failure.title, failure.text, failure.icon);
    if (!failure.exitStatus)
        return false;
    services.programEnd.endProgram(*failure.exitStatus);
    return true;
}

bool report(Services &services, const Status &status)
{
    return status && report(services, *status);
}

} // namespace app

#include "app/Failure.h"

#include "app/Services.h"

namespace app {

void report(Services &services, const Failure &failure)
{
    if (failure.fatal)
        services.messages.showFatal(failure.title, failure.text, failure.icon);
    else
        services.messages.show(failure.title, failure.text, failure.icon);
    if (failure.exitStatus)
        services.programEnd.endProgram(*failure.exitStatus);
}

bool report(Services &services, const Status &status)
{
    if (!status)
        return false;
    report(services, *status);
    return true;
}

} // namespace app

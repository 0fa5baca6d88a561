#include "drill/forms/LaunchDrill.h"

#include "drill/LevelCatalogue.h"

#include <QCoreApplication>

namespace drill {

void launchDrill(AppContext &context)
{
    catalogue::resetDrillRunState(context.state);
    QCoreApplication::processEvents();
    context.navigator.showDrill();
}

} // namespace drill

#include "drill/forms/LaunchDrill.h"

#include "drill/LevelCatalogue.h"

#include <QCoreApplication>

void launchDrill(AppContext &context)
{
    catalogue::resetDrillRunState(context.state);
    QCoreApplication::processEvents();
    context.navigator.showDrill();
}

#include "app/ProgramVersion.h"

#include "Version.h"

namespace app {

QString versionLine()
{
    return QStringLiteral("Version%1.%2.%3").arg(version::major).arg(version::minor).arg(version::revision);
}

} // namespace app

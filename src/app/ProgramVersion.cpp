#include "app/ProgramVersion.h"

#include "Version.h"

namespace app {

QString versionLine()
{
    return QStringLiteral("Version%1.%2.%3")
        .arg(app::version::major)
        .arg(app::version::minor)
        .arg(app::version::revision);
}

} // namespace app

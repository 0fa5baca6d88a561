#pragma once

#include <QString>

namespace app {

// "Version" followed directly by major.minor.revision, as "Version1.0.14": the version box and the
// name screen's version button show it.
QString versionLine();

} // namespace app

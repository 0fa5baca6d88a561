#pragma once

#include "app/Failure.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace demo {

// Writes the demo school's results file (three weeks of runs by most of the roster, dated up to
// `today`) through the program's own record writer, only when the data folder has no results file
// yet: a school's own results are never touched and nothing is added twice. The file appears whole or
// not at all (written beside it, then moved into place).
app::Status writeDemoResults(const QString &dataFolder, const QDate &today, QStringList *written);

} // namespace demo

#pragma once

#include "app/Failure.h"
#include "startup/AppState.h"

#include <QChar>
#include <QString>

namespace startup {

inline constexpr int kSettingsItemCount = 10;

// Fills the paths and settings of the shared state, the catalogue's start-up values, the standards
// table and the sound set, in the program's start-up order: the application folder, the path data file
// beside it, the common settings in the base folder, the data and sound folders, the catalogue, the
// standards table, the sound set.
// The development layout flag must be set before (the splash sets it).
//
// On failure returns "起動できません" with a message that names the file with its full path and what is
// wrong, which ends the program when reported; nothing is written anywhere.
inline constexpr int kStartupFailureExitStatus = 1;
app::Status loadSettings(AppState &state, const QString &applicationFolder, QChar separator);

// The two settings files, each read as ten delimited items; the path data gives its base folder item.
// A failure's text names the file and what is wrong.
app::Result<QString> readPathData(const QString &path);
app::Status readCommonData(const QString &path, app::PathsAndSettings &settings);

} // namespace startup

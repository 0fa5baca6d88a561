#pragma once

#include "startup/AppState.h"

#include <QString>

// The level standards table "タイム回数データ.txt" in the data folder: a header line, then one line of
// twelve comma-separated fields per level. Row i of the file (the header is row 0) goes to index i.
namespace standards {

inline constexpr const char16_t *kFileName = u"タイム回数データ.txt";
inline constexpr int kFieldCount = 12;

QString filePath(const QString &dataFolder);

// Reads the table into `table`. Rows the file does not hold keep their values. On failure (missing
// file, unreadable bytes, a row with fewer than twelve items, more than 35 level rows) returns false
// with a message naming the file and the row, and leaves `table` exactly as it was.
bool readStandardsTable(const QString &path, Standards &table, QString *error);

} // namespace standards

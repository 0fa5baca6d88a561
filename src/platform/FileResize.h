#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// Cuts the file at `path` to `length` bytes, by its name, without opening it.
//
// A rewrite of the results file holds the whole-file lock on the one descriptor that does its I/O, and
// the file must not be opened a second time in the process meanwhile (a second descriptor of the same
// file could lose or block the lock on some systems). truncate(2) takes the name and opens nothing, so
// the lock stays where it is. A Windows port cuts the file through the locked handle (SetEndOfFile)
// instead. On failure returns false with the system's error number in *errorNumber.
bool resizeFileByName(const QString &path, qint64 length, int *errorNumber);

} // namespace platform

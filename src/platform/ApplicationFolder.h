#pragma once

#include <QString>

// The application folder: the folder of the program file as it was started. A school may start the
// program through a symbolic link (a shortcut in a classroom's folder); the folders of the family are
// found from where the program was started, so the link is not resolved. (The toolkit's
// applicationDirPath() resolves it and would lead to another installation's roster and results.)
namespace platform {

// The program file as it was started: `argv0` made absolute against the working folder at start-up
// when it names a path, otherwise looked up in the folders of `pathVariable` (":"-separated, as the
// shell does). "." and ".." are removed from the path by its text only. Empty when no such file exists.
QString startedProgramFile(const QString &argv0, const QString &startupFolder, const QString &pathVariable);

// The working folder at start-up as the shell that started the program names it: `pwdVariable` (the
// shell's PWD) when it is an absolute path of the same folder, since the system's own answer has every
// link resolved; otherwise the system's answer.
QString startupWorkingFolder(const QString &pwdVariable);

// The folder of the started program file, without a final separator and with the platform's
// separators; `fallback` when the started file cannot be found.
QString applicationFolder(const QString &argv0, const QString &startupFolder, const QString &pathVariable,
                          const QString &fallback);

} // namespace platform

#pragma once

#include <QStringList>
#include <QTextStream>

// The data tool's commands (encode, decode, check, voices) on the words of its command line, without
// the program name. Reports go to `out`, problems and errors to `err`. The result is the exit status:
// 0 when the command did what was asked, 1 when it could not or found problems, 2 for a wrong command
// line.
namespace yojidata {

int runDataTool(const QStringList &arguments, QTextStream &out, QTextStream &err);

QString helpText();

} // namespace yojidata

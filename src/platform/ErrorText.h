#pragma once

#include <QFileDevice>
#include <QProcess>
#include <QString>

// Japanese descriptions of what the operating system and the toolkit report when a file or a program
// fails. The toolkit's own texts (errorString()) are English and never reach a message; every message
// about a failed file step takes its description from here.
namespace platform {

// A short Japanese description of a system error number (errno on Linux), ending with "。". An
// unknown number is described with the number itself. 0 gives an empty text.
QString systemErrorText(int errorNumber);

// The system error number of the calling thread's last failed call, and clearing it before a step
// whose failure is to be described, so that an old number is never taken for the step's own.
int lastSystemError();
void clearSystemError();

// A failed step of a QFile or QSaveFile: the system error number (0 when the toolkit failed without
// one) and its Japanese description.
struct FileError
{
    int number = 0;
    QString description;
};

// Describes the failed step of `file`. `systemError` is lastSystemError() taken right after the step
// (clearSystemError() before it). A path that is a folder is described as such, whatever the numbers.
FileError fileError(const QFileDevice &file, int systemError);

// A description put in brackets after what failed: "（…）", without its final "。".
QString bracketed(const QString &description);

// A Japanese description of why another program could not be started or run.
QString processErrorText(QProcess::ProcessError error);

} // namespace platform

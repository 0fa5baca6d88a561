#pragma once

#include "platform/Failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files of the family of drill programs are code page 932 (Shift-JIS with the vendor extensions
// ①, Ⅲ, ～ and so on) with CRLF line ends. Every text file of the program is read and written here.
namespace platform {

// The codec name that ICU (inside Qt) knows code page 932 by.
inline constexpr const char *kCodePage932 = "windows-31j";

// Whether this Qt build can convert code page 932 at all; only UTF and Latin-1 are guaranteed.
bool codePage932Available();

// Decodes bytes of code page 932. Bytes that are not valid code page 932 make *ok false and give the
// 1-based number of the first line that holds them in *badLine (when given).
QString decode932(const QByteArray &bytes, bool *ok = nullptr, int *badLine = nullptr);

// Encodes text to code page 932; *ok is false when some character has no code page 932 form.
QByteArray encode932(const QString &text, bool *ok = nullptr);

// Reads a whole file's bytes. A failure's text names the file with its full path (missing, unreadable);
// its title is left to the caller.
Result<QByteArray> readFileBytes(const QString &path);

// Reads a whole code page 932 text file. A failure's text names the file with its full path and what is
// wrong (missing, unreadable, bytes not code page 932).
Result<QString> readText932(const QString &path);

// Splits text into lines at CRLF, LF or CR; a final line end does not start another line.
QStringList splitLines(const QString &text);

// Writes the lines, each followed by CRLF, as code page 932. The file is written beside the old one and
// moved over it, so a failure leaves the old file whole. Nothing is written when a character cannot be
// encoded.
Status writeText932(const QString &path, const QStringList &lines);

// Writes bytes as the whole file, beside the old one and moved over it, unbuffered, so that a write the
// system stops part way (a full disk, a quota) fails here and leaves the old file whole. A failure's text
// names the file with its full path and what went wrong.
Status writeFileBytes(const QString &path, const QByteArray &bytes);

// The full path of a file for messages, with the platform's separators.
QString displayPath(const QString &path);

} // namespace platform

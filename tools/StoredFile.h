#pragma once

#include "IdiomList.h"
#include "app/Failure.h"

// Writing the program's stored data file from a list.
//
// A plain line is the row's fields joined by ",", the end marker "／ｅｎｄ／", then the filler "＊"
// (full-width asterisk) until the line is 100 characters long, so that it reaches past position 99,
// the last one the swap touches. A line that is already longer gets no filler. The plain line is then
// scrambled with the program's keys (drill/IdiomKeys.h). The filler is fixed, so the same list always
// gives the same file.
namespace yojidata {

inline constexpr char16_t kFiller = u'＊';
inline constexpr int kPaddedLength = 100;

QString plainLine(const QStringList &fields);
QString storedLine(const QStringList &fields);

// Writes the stored file (code page 932, CRLF) beside the old one and moves it over, so a failure leaves
// the old file whole.
app::Status writeStoredFile(const QString &path, const IdiomList &list);

} // namespace yojidata

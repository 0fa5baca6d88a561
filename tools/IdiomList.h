#pragma once

#include "app/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A school's list of idioms as the data tool reads it: from a plain CSV (what the people who keep the
// list edit) or from the program's stored data file (see drill/IdiomData.h).
//
// CSV: one idiom a line, "range,idiom,reading,meaning" and any further columns, which are kept. Fields
// may be quoted as spreadsheets write them ("a ""b""", a quoted field may hold commas and line ends;
// check reports both, since the stored file cannot hold them). Empty lines are skipped. When the first
// field of the first line holds no digit, that line is a header and is kept apart. The text is UTF-8
// (with or without a byte order mark) or code page 932.
namespace yojidata {

enum class Encoding {
    Auto,  // UTF-8 when the bytes are valid UTF-8, code page 932 otherwise
    Utf8,  // written with LF line ends
    Cp932, // written with CRLF line ends
};

// Something wrong with a list, on a line of its file (0: the file as a whole).
struct Problem
{
    enum class Kind {
        Content, // the drill would run badly or the voice files would collide
        Format,  // the stored file cannot hold the line as it is
    };
    int line = 0;
    QString text; // Japanese, without a final "。"
    Kind kind = Kind::Content;
};

struct IdiomRow
{
    int line = 0;       // the line of the file where the row starts
    QStringList fields; // fields[0] is the range number
};

struct IdiomList
{
    bool stored = false;         // read from a stored data file
    QStringList header;          // the CSV's header line, when it had one
    QList<IdiomRow> rows;        // in file order
    QList<Problem> readProblems; // lines that could not be read as rows
    QList<Problem> readNotes;    // what was passed over and is worth knowing (empty lines at the end)
};

// The header that decode writes: range, idiom, reading, meaning.
QStringList standardHeader();

// Whether a path names a stored data file (its name ends with "vv.ccc").
bool isStoredFileName(const QString &path);

// Decodes the bytes of a CSV. Fails on bytes that are not valid in the encoding, naming the first
// bad line (without the file).
app::Result<QString> decodeCsvBytes(const QByteArray &bytes, Encoding encoding);

// Parses CSV text.
IdiomList parseCsv(const QString &text);

// Restores the lines of a stored file's text; lines that break the format become readProblems. Empty
// lines at the end are passed over, as the program does, with a note.
IdiomList parseStoredText(const QString &text);

// Reads a list from a CSV or a stored file (by its name). Fails with a message naming the file when it
// cannot be read at all (missing, unreadable, broken bytes).
app::Result<IdiomList> readList(const QString &path, Encoding encoding);

// The list as CSV text: the header (the CSV's own, or the standard one for a stored file) when asked,
// then one line per row, each ended by "\n". A field is quoted only when it must be.
QString csvText(const IdiomList &list, bool withHeader);

// The CSV text as bytes: UTF-8 with LF, or code page 932 with CRLF. *ok is false when a character has no
// code page 932 form.
QByteArray csvBytes(const QString &text, Encoding encoding, bool *ok);

} // namespace yojidata

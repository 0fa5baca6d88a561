#pragma once

#include "app/Failure.h"
#include "drill/Catalogue.h"
#include "records/Standards.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The level standards table "タイム回数データ.txt" in the data folder: a header line, then one line of
// twelve comma-separated fields per level. Row i of the file (the header is row 0) goes to index i.
//
// The standards editor writes it: every row twelve cells as they are, joined by commas, no quotes, no
// blanks, CRLF, code page 932; the header's last three cells are empty. Readers take it as delimited
// items, so quotes and blanks written by hand are accepted too.
namespace records::standards {

inline constexpr const char16_t *kFileName = u"タイム回数データ.txt";
inline constexpr int kFieldCount = 12;
// Far more than 36 rows of twelve numbers; a larger file is not a standards table.
inline constexpr qint64 kMaxFileBytes = 1024 * 1024;

QString filePath(const QString &dataFolder);

// Practice levels run against ten minutes whatever the table says: their target and minimum times.
inline constexpr qint32 kPracticeTime = 600;

// Sets the target and minimum times of the catalogue's practice levels (1 to its level count) to
// kPracticeTime in the standards held in memory; the file is not changed. Made each time the hub is
// shown, which comes after every sign-in (where the level names are set up) and after the standards
// editor has read the table again, and before any drill.
void setPracticeTimes(Standards &standards, const drill::Catalogue &catalogue);

// Reads the table into `table`. Rows the file does not hold keep their values. Fields 1 to 5 are whole
// numbers (a field that is not a number reads as 0); fields 6 to 12 keep what they hold. On failure
// (missing file, unreadable bytes, a row with fewer than twelve items, more than 35 level rows, a number
// too large for its field) the failure's text names the file and the row, and `table` stays exactly as
// it was.
app::Status readStandardsTable(const QString &path, Standards &table);

// The same from the file's text already decoded; `path` only names the file in messages.
app::Status parseStandardsTable(const QString &text, const QString &path, Standards &table);

// The reader's rule for one field (0-based, 0 to 11) of a level row: fields 1 to 5 are held as whole
// numbers of 32 bits (field 4 of 16), read by their leading digits and truncated; a text that reads
// beyond its field's range is refused, and start-up stops on it. Fields 6 to 12 keep what they hold and
// refuse nothing. The editor checks each cell by the same rule before it saves.
bool fieldInRange(int field, QStringView text);
// The range of a numeric field (fields 1 to 5); false for the others.
bool fieldRange(int field, qint64 *lowest, qint64 *highest);
// The column title of a field as the header line holds it ("目標Time"); empty for fields 10 to 12.
QString fieldTitle(int field);

// Why a cell of the editor's grid cannot be saved (empty when it can): a text that would change the
// table's shape when read back (a comma, a double quote, a line break), that has no code page 932 form,
// or that the reader would refuse. `row` is the row of the table (0 the header line, then the level);
// `field` 0-based. The text names the level and the column.
QString cellRefusal(int row, int field, const QString &cell);

// The file as the editor's grid holds it: one list of twelve item texts per row, header first.
app::Result<QList<QStringList>> readStandardsRows(const QString &path);
app::Result<QList<QStringList>> parseStandardsRows(const QString &text, const QString &path);

// The editor's save: each row's twelve cells unchanged, joined by ",", each line ended by CRLF, in code
// page 932. The file is written beside the old one and moved over it, so a failure leaves the old file
// whole. Nothing is written when a row does not have twelve cells or a cell is refused (cellRefusal), so
// that what is saved is always a table that start-up reads.
app::Status writeStandardsTable(const QString &path, const QList<QStringList> &rows);

// The lines the editor's save writes (without line ends), or a failure naming the file, the level and
// the column of the first cell that cannot be written (see cellRefusal).
app::Result<QStringList> standardsLines(const QString &path, const QList<QStringList> &rows);

} // namespace records::standards

#pragma once

#include "app/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

// The data tool's commands on a school's results file "成績累積データ.dat": a check that tells a
// teacher what the file holds and what the program will make of it, and an export for a spreadsheet.
namespace yojidata {

// What a check found in the bytes of a results file.
struct ResultsReport
{
    qint64 length = 0;
    qint64 records = 0;       // whole records
    qint64 partialTail = 0;   // bytes after the last whole record
    qint64 outsideWindow = 0; // records before the last 20000, which the program does not read

    enum class Field { Level, Student, Date, Clock, Time };
    struct Finding
    {
        qint64 record; // 1-based
        Field field;
        bool ignored; // the program leaves the record out (otherwise it reads it as it stands)
        QString text;
    };
    QList<Finding> findings; // in record order
    qint64 ignored = 0;      // records of the window the program leaves out
};

// Judges every whole record by the reader's rules: a level outside 1 to 35, a student outside 1 to
// 5000 or a date before 30 December 1899 (or none at all) leave a record out; a time of day outside
// the day, or a time that is neither 0 to 5999 seconds nor the time-out 99999, is read as it stands
// but is out of range.
ResultsReport checkResults(const QByteArray &bytes);

// Reads the whole file under the program's shared lock (waiting a while for a writer). A failure's
// message names the file.
app::Result<QByteArray> readResultsBytes(const QString &path);

// The spreadsheet's rows: a header, then one row a whole record (number, date, time of day, student,
// level, time, school code, mode).
QStringList resultsCsvLines(const QByteArray &bytes);

// `results check <file>` and `results export <file> <out.csv>` (the words after "results").
int runResultsCommand(const QStringList &words, QTextStream &out, QTextStream &err);

QString resultsHelpText();

} // namespace yojidata

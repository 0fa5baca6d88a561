#pragma once

#include "records/MistakeHistory.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

// The data tool's commands on a school's answer history "解答累積データ.dat" (records/MistakeHistory.h):
// a check that tells a teacher what the file holds, and an export for a spreadsheet. Both read the file
// as the program does (the shared lock, waiting for a PC that is writing) and never change it.
namespace yojidata {

// What a check found in a history that could be read.
struct MistakesReport
{
    quint16 version = 0;
    int recordSize = 0;
    qint64 records = 0;
    qint64 tornBytes = 0; // after the last whole record
    struct Finding
    {
        qint64 record; // 1-based
        QString text;  // what is impossible about it (records::answerProblem)
    };
    QList<Finding> findings; // in record order
};

MistakesReport checkMistakes(const records::MistakeHistory &history);

// The spreadsheet's rows: a header, then one row a record (number, date, time, student, level, idiom,
// its reading from `readings` (by idiom; empty when unknown), the two first tries, the wrong
// judgements, the time-out).
QStringList mistakesCsvHeader();
QList<QStringList> mistakesCsvRows(const records::MistakeHistory &history,
                                   const QHash<QString, QString> &readings);

// `mistakes check <file>` and `mistakes export <file> <out.csv> [idiom list]` (the words after
// "mistakes"). The idiom list is a CSV or a stored data file, as `check` and `decode` take them.
int runMistakesCommand(const QStringList &words, QTextStream &out, QTextStream &err);

QString mistakesHelpText();

} // namespace yojidata

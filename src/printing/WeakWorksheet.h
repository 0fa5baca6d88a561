#pragma once

#include "drill/IdiomData.h"
#include "printing/Worksheet.h"
#include "records/MistakeHistory.h"
#include "roster/Roster.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Worksheets made from weak idioms: besides the ranges of the idiom data, a worksheet's rows can be
// the idioms one student keeps getting wrong (records::weakIdioms) or those a grade group of the
// school gets wrong most (records::classWeakIdioms), from the answer history. The sheet is then
// built and printed as a range sheet is.
namespace printing {

// A worksheet with blanks holds twenty rows; a weak-idiom sheet takes that many at most.
inline constexpr int kWeakWorksheetIdioms = 20;

// Where a worksheet's idioms come from.
struct WorksheetSource
{
    enum class Kind { Ranges, Student, Class };
    Kind kind = Kind::Ranges;
    int student = 0; // Student: the student's number
    QString group;   // Class: the grade group ("全学年", "小３", ...)
    QString caption; // as the worksheet screen lists it
};

// The sources the worksheet screen offers, the ranges first. Nobody signed in (the name screen): the
// ranges only. A student: his or her own weak idioms, nobody else's. A teacher (`teacher`): each grade
// group's, then each listed student's in roster order (teachers' names left out).
QList<WorksheetSource> worksheetSources(const roster::Roster &roster, std::optional<int> signedIn,
                                        bool teacher);

// The idioms of a weak-idiom source at `now`, the weakest or most often wrong first; at most
// kWeakWorksheetIdioms. A class is the listed students whose grade (as the name screen counts it)
// the group admits.
QStringList weakIdiomsOf(const records::MistakeHistory &history, const roster::Roster &roster,
                         const WorksheetSource &source, const QDateTime &now);

// The worksheet rows of the listed idioms in that order, with the reading and the meaning of the
// idiom data. An idiom that the data no longer holds is left out: its row would have no meaning to
// ask by.
QList<WorksheetRow> rowsOfIdioms(const drill::IdiomData &data, const QStringList &list);

// A weak-idiom sheet says whose idioms it holds above its table, and its answer key after its own
// heading; a range sheet stays without a title.
void titleWorksheet(Worksheet &worksheet, const WorksheetSource &source);

} // namespace printing

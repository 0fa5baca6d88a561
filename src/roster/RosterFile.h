#pragma once

#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "roster/Grades.h"
#include "roster/Roster.h"

#include <QDate>
#include <QList>
#include <QString>

// The roster "新名簿.txt" in the family's base folder: one student per line, eight comma-separated
// fields (number, school year of birth, two spare numbers, name, status, two spare texts). Another
// program of the family maintains it; this program only reads it.
namespace roster {

inline constexpr const char16_t *kFileName = u"新名簿.txt";
inline constexpr int kFieldCount = 8;
inline constexpr int kTextFieldWidth = 20; // the three texts are fixed fields of 20 characters
inline constexpr int kMaxListed = 5000;    // positions 1 to 5000 of the listed tables
inline constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

// The stage of the name list routine at which reading the roster fails; the name screen puts it
// after "名簿表示" in its message.
inline constexpr int kReadingStage = 3;

// Error numbers of the failures, as the name screen shows them after the description.
enum RosterError {
    ErrorOverflow = 6,    // a number outside the 16-bit range
    ErrorTooLarge = 7,    // a file far larger than any roster
    ErrorOutOfRange = 9,  // a student number outside 0 to 5000, or too many listed students
    ErrorNotANumber = 13, // a number field that is not a number, or bytes that are not code page 932
    ErrorFileNotFound = 53,
    ErrorTooFewFields = 62,  // a line that ends before its eighth field
    ErrorTooManyFields = 63, // a line with more than eight fields
    ErrorCannotRead = 75,    // not a file, or the system refuses to read it
};

QString filePath(const QString &baseFolder);

// A text cut or padded with blanks to the fixed 20 characters of a roster text field.
QString fixedField(const QString &text);

// One line of the file as read, with its 1-based line number.
struct RosterLine
{
    int line = 0;
    RosterRecord record;
};

// What went wrong, for the message: the description names the file with its full path and the line.
struct RosterFailure
{
    int errorNumber = 0;
    QString description;
};

// Reads every line of a roster text (whatever its status). Blank lines are passed over. Fails on a line
// with fewer or more than eight fields, a number field that is not a whole number in the 16-bit range,
// and a student number outside 0 to 5000. `path` is only used to name the file in the description.
bool parseRoster(const QString &text, const QString &path, QList<RosterLine> *lines, RosterFailure *failure);

// Reads and parses the roster file at `path` (missing, unreadable, too large, not code page 932 fail).
bool readRosterLines(const QString &path, QList<RosterLine> *lines, RosterFailure *failure);

// A roster line as the family's roster editor writes it (the reverse of parseRoster for texts that hold
// no double quote and no line end).
QString formatRosterLine(const RosterRecord &record);

// The message the name list routine shows before the program stops: "名簿表示", the stage, the
// description and the error number.
QString failureMessage(const RosterFailure &failure);

// A listed student as the name screen shows it.
struct ListedStudent
{
    qint16 number = 0;
    QString name; // 20 characters, blank-padded
    qint16 birthYear = 0;
    int grade = 0; // the name screen's grade number
    QString labelB;
};

// Builds the roster tables from the lines of a roster: every line gives its student's name, year of
// birth and table-A grade label by student number; the listed lines (status 0, and status 2 when
// commonSetting3 is 1) fill the positions 1 to rosterCount in file order and go to *listed. Fails when
// more than 5000 lines are listed, naming the line of `path`; *roster and *listed are then untouched.
bool buildRoster(const QList<RosterLine> &lines, const app::PathsAndSettings &settings, QDate today,
                 const QString &path, Roster *roster, QList<ListedStudent> *listed, RosterFailure *failure);

// Reads settings.baseFolder + "新名簿.txt" into state.roster: every line gives its student's name, year
// of birth and table-A grade label by student number; the listed lines (status 0, and status 2 when
// commonSetting3 is 1) fill the positions 1 to rosterCount in file order and are returned in *listed.
// On failure the failure's text is failureMessage(…), and state.roster and *listed stay as they were.
app::Status readRoster(app::PathsAndSettings &settings, Roster &roster, QDate today,
                       QList<ListedStudent> *listed);

} // namespace roster

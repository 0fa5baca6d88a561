#pragma once

#include "app/CurrentRun.h"
#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "app/Services.h"
#include "records/StatisticsTables.h"
#include "roster/Roster.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The lines of the name selection screen's list. Every line is aligned with blanks and ideographic
// spaces for a monospaced font in which a full-width character takes two half-width columns, so the
// figures of a student without results are blanks of exactly the width the figures would take.
//
// Three lists are kept in step:
//   full list      one master line per listed student: year of birth (four digits) + display text +
//                  "*" + student number, sorted by text, so the oldest school year comes first;
//   name list      the separator "－－－－－－", then the display text of each admitted master line;
//   numbered list  parallel to the name list from its second line on: display text + "*" + number.
// Beside them, the student number of each name list line, so that a choice never reads a number back out
// of a text.
namespace roster::namelist {

// The figures the list can show, by their index on the screen.
enum DisplayMode {
    CountsTodayAndTotal = 0, // 回数(今日／今まで）
    PointsTodayAndTotal = 1, // ポイント（今日／今まで）
    TodayPointsAndCount = 2, // 本日（ポイント／回数）
    TotalPointsAndCount = 3, // 今まで（ポイント／回数）
};
inline constexpr int kDisplayModeCount = 4;
QString displayModeCaption(int mode);

// The grade groups the list can be narrowed to, in the order the box offers them.
QStringList gradeGroupItems();
inline constexpr const char16_t *kAllGrades = u"全学年";

inline constexpr const char16_t *kSeparator = u"－－－－－－";
inline constexpr const char16_t *kChooseName = u"名前を選びなさい";

// A student's figures: sums over levels 1 to 35.
struct StudentFigures
{
    qint64 todayCount = 0;
    qint64 todayPoints = 0;
    qint64 allTimeCount = 0;
    qint64 allTimePoints = 0;
};

// The figures of every student number 0 to 5000, in one pass over the statistics.
std::vector<StudentFigures> studentFigures(const records::Statistics &statistics);

// The four figure texts. Each one is as wide as its blank form: today's count three characters and
// "回", today's points four, the total count five and "回", the total points seven.
QString todayCountText(qint64 n);
QString todayPointsText(qint64 n);
QString totalCountText(qint64 n);
QString totalPointsText(qint64 n);

// Column A + "/" + column B for a display mode.
QString figureColumns(const StudentFigures &figures, int displayMode);

// How many characters the grade label, a blank and the name are padded to with ideographic spaces:
// 11 for a kindergarten grade (grade number 0 or below) in the count and split modes, else 9.
int nameFieldWidth(int gradeNumber, int displayMode);

// The display text: label + " " + name + padding + columns.
QString displayText(const QString &gradeLabel, const QString &trimmedName, int gradeNumber,
                    const StudentFigures &figures, int displayMode);

// A student as the roster lists it, with what the list needs.
struct Student
{
    int number = 0;
    QString name; // as the roster holds it (blank-padded)
    int birthYear = 0;
    int gradeNumber = 0;
    QString gradeLabel; // table B: "小1", "幼-", "大+", …
};

QString masterLine(const Student &student, const StudentFigures &figures, int displayMode);

struct Lists
{
    QStringList full;     // sorted master lines
    QStringList names;    // item 0 is the separator
    QStringList numbered; // numbered[i] belongs to names[i + 1]
    QList<int> students;  // students[i]: the student number of names[i + 1]
};

// Builds the three lists. admitsYear says whether the grade group admits a student by the year at the
// front of the master line. figures is indexed by student number (studentFigures).
Lists buildLists(const std::vector<Student> &students, const std::vector<StudentFigures> &figures,
                 int displayMode, const std::function<bool(int birthYear)> &admitsYear);

// The name list routine after the statistics have been computed from the results file: the school
// year of today, the roster read, and the three lists built for the display mode and the grade group.
// A roster that cannot be read gives the name screen's failure ("名簿表示", ending the program).
app::Result<Lists> loadLists(app::PathsAndSettings &settings, Roster &roster,
                             const records::Statistics &statistics, Services &services, int displayMode,
                             const QString &gradeGroup);
inline constexpr int kRosterFailureExitStatus = 1;

// Signs in the student chosen on the name screen: when `chosenNameText` (the chosen-name label) shows
// a chosen name and `chosenNumber` is a student number (0 to 5000), sets the current run's student,
// name, grade and sign-in time (app::signInTime of `secondsSinceMidnight`) and returns true. Otherwise
// nothing changes and it returns false (the screen answers with the wrong-answer sound).
bool signIn(app::CurrentRun &run, const Roster &roster, const QString &chosenNameText, int chosenNumber,
            double secondsSinceMidnight);

// The sort of the full list: text order without regard to letter case, so that the four-digit year
// at the front decides first.
void sortFullList(QStringList &lines);

// Blanks are trimmed as the original trims them: only the half-width blank, never the ideographic
// space that pads names on purpose.
QString trimBlanks(const QString &text);
QString trimEndBlanks(const QString &text);

// The chosen-name label after a single click on name list item `row` (the separator gives the
// "choose your name" text) and after a double click.
QString chosenNameOnClick(const QString &item, int row);
QString chosenNameOnDoubleClick(const QString &item, int row);

// Whether a chosen-name label text lets the student go on.
bool isNameChosen(const QString &chosenNameText);

// Teacher names: they contain "★" or "先生".
bool isTeacherName(const QString &name);

} // namespace roster::namelist

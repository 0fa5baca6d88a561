#pragma once

#include "drill/IdiomData.h"
#include "hub/RowPieces.h"
#include "records/MistakeHistory.h"
#include "records/WeakIdioms.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// The weak idioms on the personal data sheet: a page after the level pages with the block "苦手な熟語"
// of the sheet's student (records::weakIdioms, up to ten) and, for a teacher, the idioms the students
// of the chosen grade got wrong most (records::classWeakIdioms). Each idiom stands with its reading
// and meaning from the idiom data and its count of mistakes. As the level blocks, everything here is
// what the painter draws, in fractions of the page.
namespace hub {

inline constexpr double kWeakBlockTop = 0.05;     // the student's block, of the page height
inline constexpr double kClassWeakBlockTop = 0.5; // the class's block below it

struct WeakIdiomLine
{
    QString idiom;
    QString reading; // empty when the idiom data does not hold the idiom (any more)
    QString meaning;
    int mistakes = 0;
    int students = 0; // the class's block: how many students made a mistake on it; 0 in a student's
    QString text;     // "１．一石二鳥（いっせきにちょう）　間違い 2回"
};

struct WeakIdiomsBlock
{
    double top = 0.0;
    QString title;
    std::vector<WeakIdiomLine> lines;
    QString note; // instead of lines: nothing to show, or why the history could not be read
};

// What the page is made from: the history as read (or why it could not be), the idiom data for the
// readings and meanings, and the time the student's ranking is made at.
struct WeakIdiomsSource
{
    bool historyFound = false; // false: the file does not exist yet, and the sheet has no such page
    std::optional<records::MistakeHistory> history;
    QString historyProblem;  // the history file could not be read: the message naming it
    drill::IdiomData idioms; // empty when the idiom data file could not be read: no readings, no meanings
    QDateTime now;
};

// Reads the data folder's history (a missing file gives no page) and the application folder's idiom
// data (ending with the separator), for the sheets drawn now.
WeakIdiomsSource readWeakIdiomsSource(const QString &dataFolder, const QString &appFolder,
                                      const QDateTime &now, platform::RetryWait &wait);

// The text of a line, its number 1-based.
QString weakIdiomText(int number, const QString &idiom, const QString &reading, int mistakes, int students);

// The students of the class view: the listed students that the grade filter shows, in roster order.
std::vector<int> classStudentsOf(const RowStudents &students);

WeakIdiomsBlock studentWeakBlock(const WeakIdiomsSource &source, int student);
// `grade` names the students in the title ("全学年", "小３").
WeakIdiomsBlock classWeakBlock(const WeakIdiomsSource &source, const std::vector<int> &students,
                               const QString &grade);

} // namespace hub

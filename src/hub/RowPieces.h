#pragma once

#include "roster/Roster.h"

#include <QString>

#include <functional>
#include <vector>

// The pieces that the rows of the hub's level lists are made of. The rows are aligned for a
// monospaced font in which a full-width character takes two half-width columns.
namespace hub {

inline constexpr const char16_t *kOwnMark = u"●";
inline constexpr const char16_t *kFailedPrefix = u"　　× ";

// "①"–"⑥" for grade numbers 1 to 6, "Ⅰ"–"Ⅲ" for 7 to 9, an ideographic space otherwise.
QString gradeMark(int gradeNumber);

// The name in five characters: in rankings with its trailing blanks removed, in run lists trimmed on
// both sides; padded with ideographic spaces.
QString rankingName(const QString &name);
QString runListName(const QString &name);

// The rank's digits, cut to the rightmost two.
QString rankText(int rank);

// Right-aligned in `width` characters: blanks in front, the rightmost `width` characters kept.
QString rightAligned(const QString &text, int width);
inline QString rightAligned(qint64 n, int width)
{
    return rightAligned(QString::number(n), width);
}

// "95秒", and the same right-aligned in five characters ("  95秒").
QString timeText(qint64 seconds);
QString time5(qint64 seconds);

// The record's time of day as "hh:mm", its date as "MM/dd", and both in full for the personal view.
QString clockText(double timeFraction);
QString dayText(double dateSerial);
QString fullDateText(double dateSerial);    // "yyyy/MM/dd"
QString fullClockText(double timeFraction); // "hh:mm:ss"

// What the rows need of every student number 0 to 5000, made once per view: the names in their two
// forms, the grade mark, and whether the grade filter shows the student's rows.
struct RowStudents
{
    std::vector<qint16> listed; // the listed students in roster order
    std::vector<QString> rankingNames;
    std::vector<QString> runNames;
    std::vector<QString> gradeMarks;
    std::vector<char> shown;
    int own = -1; // the student of the run

    bool isShown(int number) const
    {
        return number >= 0 && std::size_t(number) < shown.size() && shown[std::size_t(number)];
    }
    // "●" on the student's own rows, the grade mark on everybody else's.
    QString mark(int number) const;
    QString rankingName(int number) const;
    QString runName(int number) const;
};

// gradeOf gives the grade number of a year of birth; shows says whether the grade filter shows a
// grade number.
RowStudents rowStudents(const roster::Roster &roster, int ownNumber,
                        const std::function<int(int birthYear)> &gradeOf,
                        const std::function<bool(int gradeNumber)> &shows);

} // namespace hub

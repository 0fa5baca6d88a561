#include "hub/RowPieces.h"

#include "platform/DateSerial.h"
#include "roster/NameList.h"

#include <algorithm>

namespace hub {

namespace {
const QChar kIdeographicSpace(0x3000);

QString padCut(const QString &text, int padding, int width)
{
    return (text + QString(padding, kIdeographicSpace)).left(width);
}
} // namespace

QString gradeMark(int gradeNumber)
{
    static const QString marks[] = {QStringLiteral("①"), QStringLiteral("②"), QStringLiteral("③"),
                                    QStringLiteral("④"), QStringLiteral("⑤"), QStringLiteral("⑥"),
                                    QStringLiteral("Ⅰ"), QStringLiteral("Ⅱ"), QStringLiteral("Ⅲ")};
    static const QString none(kIdeographicSpace);
    return gradeNumber >= 1 && gradeNumber <= 9 ? marks[gradeNumber - 1] : none;
}

QString rankingName(const QString &name)
{
    return padCut(roster::namelist::trimEndBlanks(name), 6, 5);
}

QString runListName(const QString &name)
{
    return padCut(roster::namelist::trimBlanks(name), 4, 5);
}

QString rankText(int rank)
{
    return QString::number(rank).right(2);
}

QString rightAligned(const QString &text, int width)
{
    return (QString(width, u' ') + text).right(width);
}

QString timeText(qint64 seconds)
{
    return QString::number(seconds) + u'秒';
}

QString time5(qint64 seconds)
{
    return rightAligned(timeText(seconds), 5);
}

QString clockText(double timeFraction)
{
    return platform::timeFromFraction(timeFraction).toString(QStringLiteral("hh:mm"));
}

QString dayText(double dateSerial)
{
    return platform::dateFromSerial(dateSerial).toString(QStringLiteral("MM/dd"));
}

QString fullDateText(double dateSerial)
{
    return platform::dateFromSerial(dateSerial).toString(QStringLiteral("yyyy/MM/dd"));
}

QString fullClockText(double timeFraction)
{
    return platform::timeFromFraction(timeFraction).toString(QStringLiteral("hh:mm:ss"));
}

QString RowStudents::mark(int number) const
{
    if (number == own)
        return QString::fromUtf16(kOwnMark);
    return number >= 0 && std::size_t(number) < gradeMarks.size() ? gradeMarks[std::size_t(number)]
                                                                  : QString(kIdeographicSpace);
}

QString RowStudents::rankingName(int number) const
{
    return number >= 0 && std::size_t(number) < rankingNames.size() ? rankingNames[std::size_t(number)]
                                                                    : hub::rankingName({});
}

QString RowStudents::runName(int number) const
{
    return number >= 0 && std::size_t(number) < runNames.size() ? runNames[std::size_t(number)]
                                                                : hub::runListName({});
}

RowStudents rowStudents(const roster::Roster &roster, int ownNumber,
                        const std::function<int(int birthYear)> &gradeOf,
                        const std::function<bool(int gradeNumber)> &shows)
{
    RowStudents rows;
    rows.own = ownNumber;
    const int count = std::clamp(roster.rosterCount, 0, kMaxStudentNumber);
    rows.listed.assign(roster.rosterNumbers.begin() + 1, roster.rosterNumbers.begin() + 1 + count);
    rows.rankingNames.resize(kStudentSlots);
    rows.runNames.resize(kStudentSlots);
    rows.gradeMarks.resize(kStudentSlots);
    rows.shown.resize(kStudentSlots);
    const QString blankRankingName = hub::rankingName({});
    const QString blankRunName = hub::runListName({});
    for (int number = 0; number < kStudentSlots; ++number) {
        const QString &name = roster.studentNames[std::size_t(number)];
        rows.rankingNames[std::size_t(number)] = name.isEmpty() ? blankRankingName : hub::rankingName(name);
        rows.runNames[std::size_t(number)] = name.isEmpty() ? blankRunName : hub::runListName(name);
        const int grade = gradeOf(roster.studentBirthYears[std::size_t(number)]);
        rows.gradeMarks[std::size_t(number)] = gradeMark(grade);
        rows.shown[std::size_t(number)] = shows(grade) ? 1 : 0;
    }
    return rows;
}

} // namespace hub

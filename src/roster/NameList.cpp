#include "roster/NameList.h"

#include "app/SignInTime.h"
#include "platform/DelimitedItems.h"
#include "records/Statistics.h"
#include "roster/Grades.h"
#include "roster/RosterFile.h"

#include <algorithm>

namespace roster::namelist {

namespace {
const QChar kIdeographicSpace(0x3000);

// The rightmost `width` characters of `padding` blanks followed by the number.
QString rightAligned(qint64 n, int padding, int width)
{
    return (QString(padding, u' ') + QString::number(n)).right(width);
}
} // namespace

QString displayModeCaption(int mode)
{
    switch (mode) {
    case CountsTodayAndTotal:
        return QStringLiteral("回数(今日／今まで）");
    case PointsTodayAndTotal:
        return QStringLiteral("ポイント（今日／今まで）");
    case TodayPointsAndCount:
        return QStringLiteral("本日（ポイント／回数）");
    case TotalPointsAndCount:
        return QStringLiteral("今まで（ポイント／回数）");
    default:
        return {};
    }
}

QStringList gradeGroupItems()
{
    return {QStringLiteral("全学年"), QStringLiteral("中学生全体"), QStringLiteral("小学生全体"),
            QStringLiteral("中３"),   QStringLiteral("中２"),       QStringLiteral("中１"),
            QStringLiteral("小６"),   QStringLiteral("小５"),       QStringLiteral("小４"),
            QStringLiteral("小３"),   QStringLiteral("小２"),       QStringLiteral("小１")};
}

std::vector<StudentFigures> studentFigures(const records::Statistics &statistics)
{
    std::vector<StudentFigures> figures(kStudentSlots);
    // Level by level, so that each table is read in the order it is stored.
    for (int level = 1; level <= kMaxLevel; ++level) {
        for (int student = 0; student < kStudentSlots; ++student) {
            StudentFigures &f = figures[std::size_t(student)];
            f.todayPoints += statistics.todayPoints(level, student);
            f.allTimeCount += statistics.allTimeCount(level, student);
            f.allTimePoints += statistics.allTimePoints(level, student);
        }
    }
    for (int student = 0; student < kStudentSlots; ++student)
        figures[std::size_t(student)].todayCount = records::todayTotalRuns(statistics, student);
    return figures;
}

QString todayCountText(qint64 n)
{
    return n != 0 ? rightAligned(n, 2, 3) + u'回' : QString(5, u' ');
}

QString todayPointsText(qint64 n)
{
    return n != 0 ? rightAligned(n, 3, 4) : QStringLiteral("  　");
}

QString totalCountText(qint64 n)
{
    return n != 0 ? rightAligned(n, 6, 5) + u'回' : QString(5, u' ') + kIdeographicSpace;
}

QString totalPointsText(qint64 n)
{
    return n != 0 ? rightAligned(n, 6, 7) : QString(7, u' ');
}

QString figureColumns(const StudentFigures &f, int displayMode)
{
    switch (displayMode) {
    case CountsTodayAndTotal:
        return todayCountText(f.todayCount) + u'/' + totalCountText(f.allTimeCount);
    case TodayPointsAndCount:
        return todayPointsText(f.todayPoints) + u'/' + todayCountText(f.todayCount);
    case TotalPointsAndCount:
        return totalPointsText(f.allTimePoints) + u'/' + totalCountText(f.allTimeCount);
    case PointsTodayAndTotal:
    default:
        return todayPointsText(f.todayPoints) + u'/' + totalPointsText(f.allTimePoints);
    }
}

int nameFieldWidth(int gradeNumber, int displayMode)
{
    return gradeNumber <= 0 && displayMode != PointsTodayAndTotal ? 11 : 9;
}

QString displayText(const QString &gradeLabel, const QString &trimmedName, int gradeNumber,
                    const StudentFigures &figures, int displayMode)
{
    QString text = gradeLabel + u' ' + trimmedName;
    const qsizetype padding = nameFieldWidth(gradeNumber, displayMode) - text.size();
    if (padding > 0)
        text += QString(padding, kIdeographicSpace);
    return text + figureColumns(figures, displayMode);
}

namespace {
QString yearText(int year)
{
    return QStringLiteral("%1").arg(year, 4, 10, QChar(u'0'));
}
} // namespace

QString masterLine(const Student &student, const StudentFigures &figures, int displayMode)
{
    return yearText(student.birthYear) +
           displayText(student.gradeLabel, trimBlanks(student.name), student.gradeNumber, figures,
                       displayMode) +
           u'*' + QString::number(student.number);
}

namespace {
bool textBefore(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}
} // namespace

void sortFullList(QStringList &lines)
{
    std::stable_sort(lines.begin(), lines.end(), textBefore);
}

Lists buildLists(const std::vector<Student> &students, const std::vector<StudentFigures> &figures,
                 int displayMode, const std::function<bool(int birthYear)> &admitsYear)
{
    const StudentFigures none;
    struct Line
    {
        QString master;
        QString display;
        QString key; // the master line case-folded once, so that the sort compares plainly
        const Student *student;
    };
    std::vector<Line> lines;
    lines.reserve(students.size());
    for (const Student &s : students) {
        const bool known = s.number >= 0 && std::size_t(s.number) < figures.size();
        const StudentFigures &f = known ? figures[std::size_t(s.number)] : none;
        QString display = displayText(s.gradeLabel, trimBlanks(s.name), s.gradeNumber, f, displayMode);
        QString master = yearText(s.birthYear) + display + u'*' + QString::number(s.number);
        QString key = master.toCaseFolded();
        lines.push_back({std::move(master), std::move(display), std::move(key), &s});
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) { return a.key < b.key; });

    Lists lists;
    lists.full.reserve(qsizetype(lines.size()));
    lists.names.reserve(qsizetype(lines.size()) + 1);
    lists.numbered.reserve(qsizetype(lines.size()));
    lists.students.reserve(qsizetype(lines.size()));
    lists.names << QString::fromUtf16(kSeparator);
    for (const Line &line : lines) {
        lists.full << line.master;
        if (admitsYear(line.student->birthYear)) {
            lists.names << line.display;
            lists.numbered << line.display + u'*' + QString::number(line.student->number);
            lists.students << line.student->number;
        }
    }
    return lists;
}

app::Result<Lists> loadLists(app::PathsAndSettings &settings, Roster &roster,
                             const records::Statistics &statistics, Services &services, int displayMode,
                             const QString &gradeGroup)
{
    const QDate today = services.clock.now().date();
    const int schoolYear = roster::currentSchoolYear(today, settings.schoolYearStartMonth);
    roster.currentSchoolYear = schoolYear;

    QList<roster::ListedStudent> listed;
    if (app::Status failed = roster::readRoster(settings, roster, today, &listed)) {
        failed->title = QStringLiteral("名簿表示");
        failed->exitStatus = kRosterFailureExitStatus;
        return *failed;
    }
    std::vector<Student> students;
    students.reserve(std::size_t(listed.size()));
    for (const roster::ListedStudent &s : listed)
        students.push_back({s.number, s.name, s.birthYear, s.grade, s.labelB});
    return buildLists(students, studentFigures(statistics), displayMode, [&](int birthYear) {
        return roster::gradeGroupAdmits(gradeGroup, roster::gradeNumber(schoolYear, birthYear));
    });
}

bool signIn(app::CurrentRun &run, const Roster &roster, const QString &chosenNameText, int chosenNumber,
            double secondsSinceMidnight)
{
    if (!isNameChosen(chosenNameText) || chosenNumber < 0 || chosenNumber > kMaxStudentNumber)
        return false;
    run.nameConfirmedTime = app::signInTime(secondsSinceMidnight);
    run.studentNumber = qint16(chosenNumber);
    run.studentName = roster.studentNames[std::size_t(chosenNumber)];
    run.currentGrade = roster.studentGrades[std::size_t(chosenNumber)];
    return true;
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString trimEndBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

QString chosenNameOnClick(const QString &item, int row)
{
    if (row <= 0)
        return QString::fromUtf16(kChooseName);
    return trimBlanks(trimBlanks(item).left(10));
}

QString chosenNameOnDoubleClick(const QString &item, int row)
{
    if (row <= 0)
        return QString::fromUtf16(kChooseName);
    const qsizetype slash = item.indexOf(u'/');
    return trimBlanks(slash < 0 ? item : item.left(slash));
}

bool isNameChosen(const QString &chosenNameText)
{
    return !chosenNameText.isEmpty() && chosenNameText != QString::fromUtf16(kChooseName);
}

bool isTeacherName(const QString &name)
{
    return name.contains(u'★') || name.contains(QStringLiteral("先生"));
}

} // namespace roster::namelist

#include "roster/Grades.h"

namespace roster {

namespace {
// Full-width digits of table A.
QString wideDigit(int digit)
{
    return QString(QChar(u'０' + digit));
}
} // namespace

int currentSchoolYear(QDate today, int schoolYearStartMonth)
{
    return today.month() < schoolYearStartMonth ? today.year() - 1 : today.year();
}

int gradeNumber(int schoolYear, int birthYear)
{
    return schoolYear - birthYear - 6;
}

int hubGradeNumber(QDate today, int schoolYearStartMonth, int birthYear)
{
    const int grade = gradeNumber(currentSchoolYear(today, schoolYearStartMonth), birthYear);
    return today.month() < schoolYearStartMonth ? grade - 1 : grade;
}

QString gradeLabelA(int grade)
{
    if (grade == 0)
        return QStringLiteral("幼３");
    if (grade >= 1 && grade <= 6)
        return QStringLiteral("小") + wideDigit(grade);
    if (grade >= 7 && grade <= 9)
        return QStringLiteral("中") + wideDigit(grade - 6);
    if (grade == 10)
        return QStringLiteral("高１");
    return {};
}

QString gradeLabelB(int grade)
{
    if (grade < -2)
        return QStringLiteral("幼-");
    if (grade <= 0)
        return QStringLiteral("幼") + QString::number(grade + 3);
    if (grade <= 6)
        return QStringLiteral("小") + QString::number(grade);
    if (grade <= 9)
        return QStringLiteral("中") + QString::number(grade - 6);
    if (grade <= 12)
        return QStringLiteral("高") + QString::number(grade - 9);
    return QStringLiteral("大+");
}

bool gradeGroupAdmits(const QString &group, int grade)
{
    if (group == QStringLiteral("全学年"))
        return true;
    if (group == QStringLiteral("小学生全体"))
        return grade >= 1 && grade <= 6;
    if (group == QStringLiteral("中学生全体"))
        return grade >= 7 && grade <= 9;
    // A single grade: its table-A label ("小１"–"小６", "中１"–"中３") names it.
    return grade >= 1 && grade <= 9 && group == gradeLabelA(grade);
}

bool hubGradeFilterAdmits(const QString &group, int grade)
{
    return group == QStringLiteral("家族") || gradeGroupAdmits(group, grade);
}

} // namespace roster

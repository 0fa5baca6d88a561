#include "roster/Grades.h"

#include <gtest/gtest.h>

using namespace roster;

TEST(Grades, EveryGradeNumberHasItsLabelsInBothTables)
{
    struct Row
    {
        int grade;
        const char16_t *tableA;
        const char16_t *tableB;
    };
    const Row rows[] = {
        {-40, u"", u"幼-"},   {-3, u"", u"幼-"},    {-2, u"", u"幼1"},     {-1, u"", u"幼2"},
        {0, u"幼３", u"幼3"}, {1, u"小１", u"小1"}, {2, u"小２", u"小2"},  {3, u"小３", u"小3"},
        {4, u"小４", u"小4"}, {5, u"小５", u"小5"}, {6, u"小６", u"小6"},  {7, u"中１", u"中1"},
        {8, u"中２", u"中2"}, {9, u"中３", u"中3"}, {10, u"高１", u"高1"}, {11, u"", u"高2"},
        {12, u"", u"高3"},    {13, u"", u"大+"},    {40, u"", u"大+"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.grade);
        EXPECT_EQ(gradeLabelA(row.grade), QString::fromUtf16(row.tableA));
        EXPECT_EQ(gradeLabelB(row.grade), QString::fromUtf16(row.tableB));
    }
}

TEST(Grades, TheSchoolYearChangesInItsStartMonth)
{
    struct Row
    {
        QDate today;
        int startMonth;
        int schoolYear;
    };
    const Row rows[] = {
        {QDate(2008, 3, 31), 4, 2007},   {QDate(2008, 4, 1), 4, 2008},  {QDate(2008, 1, 1), 4, 2007},
        {QDate(2008, 12, 31), 4, 2008},  {QDate(2008, 8, 31), 9, 2007}, {QDate(2008, 1, 1), 1, 2008},
        {QDate(2008, 12, 31), 13, 2007}, {QDate(2008, 6, 1), 0, 2008},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.today.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(currentSchoolYear(row.today, row.startMonth), row.schoolYear);
    }
    // Born in the school year 2000: first year of elementary school in the school year 2007.
    EXPECT_EQ(gradeNumber(currentSchoolYear(QDate(2008, 3, 31), 4), 2000), 1);
    EXPECT_EQ(gradeNumber(currentSchoolYear(QDate(2008, 4, 1), 4), 2000), 2);
}

TEST(Grades, TheHubCountsOneGradeLowerBeforeTheStartMonth)
{
    // February, school year from April: the name screen shows 小3, the hub and the browser 小２.
    const QDate february(2009, 2, 10);
    const int birthYear = 1999;
    const int nameScreen = gradeNumber(currentSchoolYear(february, 4), birthYear);
    EXPECT_EQ(gradeLabelB(nameScreen), QStringLiteral("小3"));
    EXPECT_EQ(gradeLabelA(hubGradeNumber(february, 4, birthYear)), QStringLiteral("小２"));
    // From the start month on both agree.
    for (const QDate day : {QDate(2009, 4, 1), QDate(2009, 11, 30)})
        EXPECT_EQ(hubGradeNumber(day, 4, birthYear), gradeNumber(currentSchoolYear(day, 4), birthYear));
}

TEST(Grades, GradeGroupsAdmitTheirGradesOnly)
{
    struct Row
    {
        const char16_t *group;
        QList<int> admitted; // of the grade numbers -3 to 13
    };
    const Row rows[] = {
        {u"全学年", {-3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {u"小学生全体", {1, 2, 3, 4, 5, 6}},
        {u"中学生全体", {7, 8, 9}},
        {u"小１", {1}},
        {u"小６", {6}},
        {u"中１", {7}},
        {u"中２", {8}},
        {u"中３", {9}},
        {u"小1", {}}, // half-width digits are not a group
        {u"幼３", {}},
        {u"高１", {}},
        {u"家族", {}}, // only the hub knows this one
        {u"", {}},
    };
    for (const Row &row : rows) {
        const QString group = QString::fromUtf16(row.group);
        for (int grade = -3; grade <= 13; ++grade) {
            SCOPED_TRACE(group.toStdString() + " " + std::to_string(grade));
            EXPECT_EQ(gradeGroupAdmits(group, grade), row.admitted.contains(grade));
            if (group != QStringLiteral("家族")) {
                EXPECT_EQ(hubGradeFilterAdmits(group, grade), row.admitted.contains(grade));
            }
        }
    }
    for (int grade = -3; grade <= 13; ++grade)
        EXPECT_TRUE(hubGradeFilterAdmits(QStringLiteral("家族"), grade));
}

#pragma once

#include <QDate>
#include <QString>

// School years and grades. The roster stores a student's school year of birth, not a grade, so the
// grade moves on by itself when a new school year begins. Grade number 1 is the first year of
// elementary school, 7 the first of junior high, 10 the first of senior high; 0 and below are
// kindergarten ages.
namespace roster {

// The school year in which `today` falls: the calendar year, one less in the months before the month
// in which the school year begins.
int currentSchoolYear(QDate today, int schoolYearStartMonth);

// The grade number the name screen shows: school year − year of birth − 6.
int gradeNumber(int schoolYear, int birthYear);

// The grade number the hub and the records browser use: in the months before the start month they
// take one more year off, so there a student counts one grade lower than on the name screen.
int hubGradeNumber(QDate today, int schoolYearStartMonth, int birthYear);

// Table A, kept per student and shown as the confirmed student's grade: "幼３", "小１"–"小６", "中１"–"中３",
// "高１" (full-width digits); empty for every other grade number.
QString gradeLabelA(int grade);

// Table B, shown in the name list: "幼-", "幼1"–"幼3", "小1"–"小6", "中1"–"中3", "高1"–"高3", "大+"
// (half-width digits); every grade number has one.
QString gradeLabelB(int grade);

// Whether the name screen's grade group admits a grade number: "全学年" every one, "小学生全体" 1–6,
// "中学生全体" 7–9, "小１"–"小６" and "中１"–"中３" exactly one; any other text admits nobody.
bool gradeGroupAdmits(const QString &group, int grade);

// The hub's grade filter: the groups above, and "家族" (family) that admits everybody.
bool hubGradeFilterAdmits(const QString &group, int grade);

} // namespace roster

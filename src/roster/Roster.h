#pragma once

#include "app/Tables.h"

#include <QString>

#include <vector>

namespace roster {

// One line of the roster as read (the texts as fixed 20-character fields).
struct RosterRecord
{
    qint16 number = 0;
    qint16 birthYear = 0;
    qint16 spare3 = 0;
    qint16 spare4 = 0;
    QString name;
    qint16 status = 0;
    QString text7;
    QString text8;
};

// The roster tables.
struct Roster
{
    Roster()
        : rosterRecords(kStudentSlots), rosterNumbers(kStudentSlots), studentNames(kStudentSlots),
          studentBirthYears(kStudentSlots), studentGrades(kStudentSlots)
    {
    }
    std::vector<RosterRecord> rosterRecords; // listed lines in file order, positions 1 to 5000
    std::vector<qint16> rosterNumbers;       // student number of each listed position
    int rosterCount = 0;
    std::vector<QString> studentNames;     // by student number, 20 characters blank-padded
    std::vector<qint16> studentBirthYears; // by student number
    std::vector<QString> studentGrades;    // by student number, table-A grade label or empty
    int currentSchoolYear = 0;
};

} // namespace roster

#pragma once

#include "app/Tables.h"

#include <vector>

namespace records {

// The results file in memory: at most the last 20000 records, and the bests.
struct Results
{
    Results()
        : recDate(kRecordSlots), recClock(kRecordSlots), recStudent(kRecordSlots), recLevel(kRecordSlots),
          recResultTime(kRecordSlots), recMode(kRecordSlots), hasResults(kStudentSlots),
          highestLevel(kStudentSlots)
    {
    }
    int recordCount = 0;
    std::vector<double> recDate;  // date of each record (whole days since 30 December 1899)
    std::vector<double> recClock; // time of day of each record (fraction of a day)
    std::vector<qint16> recStudent;
    std::vector<qint16> recLevel;
    std::vector<qint32> recResultTime;
    std::vector<qint32> recMode;
    LevelStudentTable<qint32> personalBest; // best (lowest) time, records::kNoBest when there is none
    PerLevel<qint32> overallBest{};         // lowest personal best over students 1 to 1000
    std::vector<qint8> hasResults;          // 1 when the student has at least one record
    std::vector<qint16> highestLevel;       // highest level the student has a record of; only grows
};

} // namespace records

#pragma once

#include <QString>

namespace app {

// The student and level of the current run.
struct CurrentRun
{
    qint16 studentNumber = 0;       // 0 to 5000
    QString studentName;            // as the roster holds it (20 characters, blank-padded)
    qint32 nameConfirmedTime = 0;   // whole seconds since midnight when the name was confirmed
    qint16 currentLevel = 0;        // the level being drilled or last drilled
    QString currentGrade;           // the table-A grade label of the confirmed student
    QString gradeGroup;             // the name screen's grade filter text; the hub's filter starts from it
    bool finalLevelCleared = false; // the student has cleared the final level
    int hubScrollPosition = 0;      // the hub's first visible level column (1-based), kept across visits
    // The hub's grade filter and period as the student or teacher chose them: kept across drills, as
    // long as the hub is not left for the name screen (empty and 0: not chosen since the name screen).
    QString hubGradeFilter;
    int hubPeriod = 0;
};

} // namespace app

#include "records/Judgement.h"

#include "platform/DelimitedItems.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"

#include <cmath>
#include <limits>

namespace records {

namespace {

bool inTables(int level, int student)
{
    return level >= 0 && level <= kMaxLevel && student >= 0 && student <= kMaxStudentNumber;
}

} // namespace

bool isCleared(const Standards &standards, const Statistics &statistics, int level, int student)
{
    if (!inTables(level, student))
        return false;
    return statistics.passPeriodCount(level, student) >= standards.clearCount[level] &&
           statistics.passPeriodPoints(level, student) >= standards.clearPoints[level];
}

bool isOverPractised(const Standards &standards, const Statistics &statistics, int level, int student)
{
    if (!inTables(level, student))
        return false;
    const double countLimit = platform::valueNumber(standards.overPracticeCountLimit[level]);
    const double pointsLimit = platform::valueNumber(standards.overPracticePointsLimit[level]);
    return (countLimit != 0.0 && statistics.overPracticePeriodCount(level, student) >= countLimit) ||
           (pointsLimit != 0.0 && statistics.overPracticePeriodPoints(level, student) >= pointsLimit);
}

bool recordAndJudge(AppState &state, Services &services, int level, QString *error)
{
    const int student = state.run.studentNumber;
    const int current = state.run.currentLevel;
    LastDrill &drill = state.lastDrill;
    if (!inTables(level, student) || !inTables(current, student)) {
        if (error)
            *error = QStringLiteral("レベル %1、生徒番号 %2 の成績は記録できません（範囲外です）。")
                         .arg(level)
                         .arg(student);
        return false;
    }

    // From the statistics as they stood before this drill, over all time (not the pass period).
    drill.alreadyCleared =
        state.statistics.allTimeCount(current, student) >= state.standards.clearCount[current] &&
        state.statistics.allTimePoints(current, student) >= state.standards.clearPoints[current];

    qint32 &personalBest = state.results.personalBest(level, student);
    if (personalBest > drill.resultTime) {
        personalBest = drill.resultTime;
        drill.newPersonalBest = true;
    }

    QString appendError;
    const bool recorded = appendResult(state, services, &appendError);

    if (state.results.overallBest[level] > drill.resultTime) {
        state.results.overallBest[level] = drill.resultTime;
        drill.newOverallBest = true;
    }

    if (!recorded && error)
        *error = QStringLiteral("今回の成績（レベル %1、%2 秒）を記録できませんでした。\n%3")
                     .arg(level)
                     .arg(drill.resultTime)
                     .arg(appendError);
    return recorded;
}

} // namespace records

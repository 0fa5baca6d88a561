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

app::Status recordAndJudge(const JudgedRun &judged, Services &services, int level)
{
    const int student = judged.run.studentNumber;
    const int current = judged.run.currentLevel;
    drill::LastDrill &drill = judged.lastDrill;
    if (!inTables(level, student) || !inTables(current, student))
        return app::Failure{QStringLiteral("成績の記録"),
                            QStringLiteral("レベル %1、生徒番号 %2 の成績は記録できません（範囲外です）。")
                                .arg(level)
                                .arg(student),
                            platform::MessageBoxes::Icon::Critical, std::nullopt, false};

    // From the statistics as they stood before this drill, over all time (not the pass period).
    drill.alreadyCleared =
        judged.statistics.allTimeCount(current, student) >= judged.standards.clearCount[current] &&
        judged.statistics.allTimePoints(current, student) >= judged.standards.clearPoints[current];

    qint32 &personalBest = judged.results.personalBest(level, student);
    if (personalBest > drill.resultTime) {
        personalBest = drill.resultTime;
        drill.newPersonalBest = true;
    }

    app::Status failed = appendResult(judged.settings, services, judged.run, drill.resultTime);

    if (judged.results.overallBest[level] > drill.resultTime) {
        judged.results.overallBest[level] = drill.resultTime;
        drill.newOverallBest = true;
    }

    if (failed)
        failed->text = QStringLiteral("今回の成績（レベル %1、%2 秒）を記録できませんでした。\n%3")
                           .arg(level)
                           .arg(drill.resultTime)
                           .arg(failed->text);
    return failed;
}

} // namespace records

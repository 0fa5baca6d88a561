#include "records/Statistics.h"

#include "platform/DateSerial.h"
#include "platform/DelimitedItems.h"
#include "records/Judgement.h"
#include "records/ResultsFile.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace records {

namespace {

void addSaturating(qint32 &sum, qint32 value)
{
    const qint64 total = qint64(sum) + value;
    sum = qint32(
        std::clamp<qint64>(total, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace

void clearStatisticSums(Statistics &s)
{
    s.todayTimeSum.fill(0.0f);
    s.todayCount.fill(0.0f);
    s.todayPoints.fill(0);
    s.allTimeTimeSum.fill(0);
    s.passPeriodPoints.fill(0);
    s.allTimePoints.fill(0);
    s.allTimeCount.fill(0);
    s.passPeriodCount.fill(0);
    s.overPracticePeriodCount.fill(0);
    s.overPracticePeriodPoints.fill(0);
}

void computeStatistics(AppState &state, Services &services)
{
    computeStatistics(state, services, responsiveWait());
}

void computeStatistics(AppState &state, Services &services, RetryWait &wait)
{
    clearStatisticSums(state.statistics);
    readResults(state, services, wait);
    fillStatistics(state, services.clock.now());
}

void fillStatistics(AppState &state, const QDateTime &now)
{
    const Standards &standards = state.standards;
    const Results &results = state.results;
    Statistics &s = state.statistics;

    // The per-level values, taken once rather than for every record. A period of N days reaches back
    // to "now minus N days"; record dates carry no time of day, so it holds today and the N - 1 days
    // before it.
    const double nowSerial = platform::dateTimeSerial(now);
    const double today = platform::dateSerial(now.date());
    PerLevel<double> passFrom{};
    PerLevel<double> overPracticeFrom{};
    for (int level = 1; level <= kMaxLevel; ++level) {
        passFrom[level] = nowSerial - platform::valueNumber(standards.passPeriodDays[level]);
        overPracticeFrom[level] = nowSerial - platform::valueNumber(standards.overPracticePeriodDays[level]);
    }

    // One pass. The averages are set again after every record of their cell, so the last setting is
    // that of the complete sums; cells that get no counted drill keep what they held.
    for (int i = 1; i <= results.recordCount; ++i) {
        const int level = results.recLevel[i];
        const int student = results.recStudent[i];
        if (level < 1 || level > kMaxLevel || student < 0 || student > kMaxStudentNumber)
            continue;
        const qint32 time = results.recResultTime[i];
        const double date = results.recDate[i];
        const bool counted = time < kCountedDrillLimit;
        const qint32 usedTime = threeCharacterTime(time);
        const qint32 points =
            addedPoints(runPoints(time, standards.targetTime[level], true), standards.pointMultiplier[level]);

        qint16 &allTimeCount = s.allTimeCount(level, student);
        qint32 &allTimeTimeSum = s.allTimeTimeSum(level, student);
        if (counted)
            ++allTimeCount;
        if (date > passFrom[level]) {
            if (counted)
                ++s.passPeriodCount(level, student);
            addSaturating(s.passPeriodPoints(level, student), points);
        }
        if (date > overPracticeFrom[level]) {
            if (counted)
                ++s.overPracticePeriodCount(level, student);
            addSaturating(s.overPracticePeriodPoints(level, student), points);
        }
        addSaturating(s.allTimePoints(level, student), points);
        addSaturating(allTimeTimeSum, usedTime);
        if (allTimeCount >= 1)
            s.allTimeAverageTime(level, student) =
                float(std::floor(double(allTimeTimeSum) / allTimeCount + 0.5));
        if (date == today) {
            float &todayCount = s.todayCount(level, student);
            float &todayTimeSum = s.todayTimeSum(level, student);
            if (counted)
                todayCount += 1.0f;
            todayTimeSum += float(usedTime);
            addSaturating(s.todayPoints(level, student), points);
            if (todayCount >= 1.0f)
                s.todayAverageTime(level, student) =
                    float(std::floor(double(todayTimeSum) / todayCount + 0.5));
        }
    }
}

} // namespace records

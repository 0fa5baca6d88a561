#include "records/Statistics.h"

#include "platform/DateSerial.h"
#include "platform/DelimitedItems.h"
#include "records/Judgement.h"
#include "records/ResultsFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace records {

namespace {

// How many records ahead a record's cell is fetched: the cells of a school's file lie scattered over
// megabytes, and a record's own work is too short to hide a fetch from memory.
constexpr int kPrefetchDistance = 16;

// The most points a single run can add for the sums of a window of runs to stay within 32 bits.
constexpr double kPointsThatCannotOverflow = double(std::numeric_limits<qint32>::max() / (kRecordWindow + 1));

// Asks for the cache lines of an object that is about to be updated (where the compiler can).
void prefetchForWriting(const void *at, std::size_t size)
{
#if defined(__GNUC__)
    __builtin_prefetch(at, 1);
    __builtin_prefetch(static_cast<const char *>(at) + size - 1, 1);
#else
    (void)at;
    (void)size;
#endif
}

void addSaturating(qint32 &sum, qint32 value)
{
    const qint64 total = qint64(sum) + value;
    sum = qint32(
        std::clamp<qint64>(total, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// Whole part of (sum / count + 0.5); the common case of a value from 0 to 2^31 by truncation, which
// is that whole part, rather than the general floor.
float roundedAverage(double sum, double count)
{
    const double value = sum / count + 0.5;
    if (value >= 0.0 && value < 2147483648.0) [[likely]]
        return float(double(qint32(value)));
    return float(std::floor(value));
}

// The points a run adds at one level: addedPoints(runPoints(time, target, true), multiplier), looked
// up rather than worked out for every record. Runs lie on both sides of the target in no order, so the
// rules' branches would be mispredicted for about every other record, and the cube within the target
// costs more than all the rest of a record's work. The table covers the times from 0 up to ten times
// the target, where a run stops earning points (or up to a cap): the part within the target comes
// from runPoints itself, the rest is the rules' two slow-run constants. It is filled on the level's
// first run in a computation, since a school uses only some of the levels. Negative times, time-outs
// and times past the table go to the rules.
class LevelPoints
{
public:
    void setUp(qint32 target, qint32 multiplier)
    {
        m_target = target;
        m_multiplier = multiplier;
        m_table.clear();
        // Base points are at most (1 + 99 / target)^3 * 50 + 5: within the target the share of the
        // target left is at most 1, or 1 + 99 / target for a negative time (whose first three
        // characters are at least -99); the slow-run points are smaller. Targets below 1 are left to
        // the saturating sums.
        const double largestBase = target >= 1 ? std::pow(1.0 + 99.0 / double(target), 3) * 50.0 + 5.0 : 0.0;
        m_small =
            target >= 1 && std::abs(double(multiplier)) * largestBase + 1.0 <= kPointsThatCannotOverflow;
    }

    qint32 operator()(qint32 time)
    {
        if (m_table.empty()) [[unlikely]]
            fillTable();
        if (quint32(time) >= quint32(m_table.size())) [[unlikely]]
            return addedPoints(runPoints(time, m_target, true), m_multiplier);
        return m_table[std::size_t(time)];
    }

    // Whether no run of this level adds so much that the sums of a window of runs could leave 32
    // bits, so that they need no saturation.
    bool small() const { return m_small; }

private:
    // Filling costs one evaluation of the rules per time within the target, so that a level with a
    // target of hours cannot cost more than a few thousand of them.
    static constexpr qint64 kMaxTableTimes = 2048;

    void fillTable()
    {
        const qint64 target = m_target;
        const qint64 size = std::clamp<qint64>(10 * target, 1, kMaxTableTimes);
        m_table.assign(std::size_t(size), 0);
        const qint64 withinEnd = std::clamp<qint64>(target + 1, 0, size);
        for (qint64 t = 0; t < withinEnd; ++t)
            m_table[std::size_t(t)] = addedPoints(runPoints(qint32(t), m_target, true), m_multiplier);
        const qint64 belowTwiceEnd = std::clamp<qint64>(2 * target, withinEnd, size);
        std::fill(m_table.begin() + withinEnd, m_table.begin() + belowTwiceEnd,
                  addedPoints(4.0, m_multiplier));
        const qint64 belowTenTimesEnd = std::clamp<qint64>(10 * target, belowTwiceEnd, size);
        std::fill(m_table.begin() + belowTwiceEnd, m_table.begin() + belowTenTimesEnd,
                  addedPoints(1.0, m_multiplier));
    }

    qint32 m_target = 0;
    qint32 m_multiplier = 0;
    bool m_small = false;
    std::vector<qint32> m_table; // the points of the times 0, 1, 2, ...
};

// What a record needs of its level, gathered once per computation.
struct LevelFacts
{
    double passFrom = 0.0;         // the pass period holds the dates after this
    double overPracticeFrom = 0.0; // the over-practice period holds the dates after this
    LevelPoints points;
};

bool inTables(int level, int student)
{
    return level >= 1 && level <= kMaxLevel && student >= 0 && student <= kMaxStudentNumber;
}

} // namespace

void clearStatisticSums(Statistics &statistics)
{
    statistics.clearSums();
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

    // A period of N days reaches back to "now minus N days"; record dates carry no time of day, so it
    // holds today and the N - 1 days before it.
    const double nowSerial = platform::dateTimeSerial(now);
    const double today = platform::dateSerial(now.date());
    std::array<LevelFacts, kLevelSlots> facts;
    for (int level = 1; level <= kMaxLevel; ++level) {
        LevelFacts &f = facts[std::size_t(level)];
        f.passFrom = nowSerial - platform::valueNumber(standards.passPeriodDays[level]);
        f.overPracticeFrom = nowSerial - platform::valueNumber(standards.overPracticePeriodDays[level]);
        f.points.setUp(standards.targetTime[level], standards.pointMultiplier[level]);
    }

    const int count = results.recordCount;
    const qint16 *levels = results.recLevel.data();
    const qint16 *students = results.recStudent.data();
    const qint32 *times = results.recResultTime.data();
    const double *dates = results.recDate.data();
    Statistics::Sums *sums = state.statistics.sumsData();
    Statistics::Averages *averages = state.statistics.averagesData();

    // The cells whose count leaves 0, in the order it happens: each gets its all-time average after
    // the pass, from its complete sums. Worked out record by record instead, the division would wait
    // for the cell's sums to arrive from memory on every record.
    const auto averaged = std::make_unique_for_overwrite<quint32[]>(std::size_t(std::max(count, 0)));
    std::size_t averagedCount = 0;

    // One pass over the kept records. Cells without counted drills keep the averages they held.
    for (int i = 1; i <= count; ++i) {
        if (i + kPrefetchDistance <= count) {
            const int level = levels[i + kPrefetchDistance];
            const int student = students[i + kPrefetchDistance];
            if (inTables(level, student))
                prefetchForWriting(&sums[Statistics::cellIndex(level, student)], sizeof(Statistics::Sums));
        }
        const int level = levels[i];
        const int student = students[i];
        if (!inTables(level, student))
            continue;
        LevelFacts &f = facts[std::size_t(level)];
        const qint32 time = times[i];
        const double date = dates[i];
        const qint32 p = f.points(time);
        const qint32 usedTime = quint32(time) < 1000 ? time : threeCharacterTime(time); // -99 to 999
        const bool counted = time < kCountedDrillLimit;
        const bool inPassPeriod = date > f.passFrom;
        const bool inOverPracticePeriod = date > f.overPracticeFrom;

        const std::size_t at = Statistics::cellIndex(level, student);
        Statistics::Sums &c = sums[at];
        averaged[averagedCount] = quint32(at);
        averagedCount += counted && c.allTimeCount == 0;
        c.allTimeCount += counted;
        c.passPeriodCount += counted & inPassPeriod;
        c.overPracticePeriodCount += counted & inOverPracticePeriod;
        c.allTimeTimeSum += usedTime; // a window of 20000 runs of at most 999 stays within 32 bits
        if (f.points.small()) [[likely]] {
            c.allTimePoints += p;
            c.passPeriodPoints += inPassPeriod ? p : 0;
            c.overPracticePeriodPoints += inOverPracticePeriod ? p : 0;
        } else {
            addSaturating(c.allTimePoints, p);
            if (inPassPeriod)
                addSaturating(c.passPeriodPoints, p);
            if (inOverPracticePeriod)
                addSaturating(c.overPracticePeriodPoints, p);
        }
        // Today's few records set today's average as they come; the last setting is that of the
        // complete sums.
        if (date == today) [[unlikely]] {
            if (counted)
                c.todayCount += 1.0f;
            c.todayTimeSum += float(usedTime);
            addSaturating(c.todayPoints, p);
            if (c.todayCount >= 1.0f)
                averages[at].todayAverageTime = roundedAverage(c.todayTimeSum, c.todayCount);
        }
    }
    for (std::size_t k = 0; k < averagedCount; ++k) {
        const quint32 at = averaged[k];
        averages[at].allTimeAverageTime = roundedAverage(sums[at].allTimeTimeSum, sums[at].allTimeCount);
    }
}

} // namespace records

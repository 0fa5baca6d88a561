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

// Asks for the cache lines of an object that is about to be updated (where the compiler can). Always
// inlined, here and in its callers: GCC takes a function that does nothing but prefetch for one
// without effects and drops the calls to it.
Q_ALWAYS_INLINE void prefetchForWriting(const void *at, std::size_t size)
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
// costs more than all the rest of a record's work. The table holds the rules' points of the times 0 to
// twice the target (or up to a cap); from twice to ten times the target a run earns the same point
// as at twice the target, so those times read the table's last entry, and the table stays small
// enough for the processor's nearest cache. It is filled on the level's first run in a computation,
// since a school uses only some of the levels. Negative times, time-outs and times past ten times the
// target go to the rules.
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

    // Inlined into the pass over the records, where a call per record would cost more than the
    // look-up.
    Q_ALWAYS_INLINE qint32 operator()(qint32 time)
    {
        if (m_table.empty()) [[unlikely]]
            fillTable();
        if (quint32(time) >= m_end) [[unlikely]]
            return addedPoints(runPoints(time, m_target, true), m_multiplier);
        return m_table[std::min(quint32(time), m_last)];
    }

    // Whether no run of this level adds so much that the sums of a window of runs could leave 32
    // bits, so that they need no saturation.
    bool small() const { return m_small; }

private:
    // Filling costs one evaluation of the rules per entry, so that a level with a target of hours
    // cannot cost more than a few thousand of them.
    static constexpr qint64 kMaxTableTimes = 2048;

    void fillTable()
    {
        const qint64 target = m_target;
        const bool wholeRange = target >= 1 && 2 * target + 1 <= kMaxTableTimes;
        const qint64 size = target < 1 ? 1 : std::min(2 * target + 1, kMaxTableTimes);
        m_table.resize(std::size_t(size));
        for (qint64 t = 0; t < size; ++t)
            m_table[std::size_t(t)] = addedPoints(runPoints(qint32(t), m_target, true), m_multiplier);
        m_last = quint32(size - 1);
        m_end = wholeRange ? quint32(std::min<qint64>(10 * target, kZeroPointLimit)) : quint32(size);
    }

    qint32 m_target = 0;
    qint32 m_multiplier = 0;
    bool m_small = false;
    std::vector<qint32> m_table; // the points of the times 0, 1, 2, ...
    quint32 m_last = 0;          // the last entry, which also holds for the times up to m_end
    quint32 m_end = 0;           // the times from here go to the rules
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

// Adds records to the statistics one at a time, in the order of the file; whoever walks the records
// (the reading of the file, or the results arrays) calls ahead() for the record kPrefetchDistance
// places further on, add() for each record inside the tables, then finish().
class StatisticsPass
{
public:
    StatisticsPass(const Standards &standards, Statistics &statistics, const QDateTime &now, int maxRecords)
        : m_sums(statistics.sumsData()), m_averages(statistics.averagesData()),
          m_averaged(std::make_unique_for_overwrite<quint32[]>(std::size_t(std::max(maxRecords, 0))))
    {
        // A period of N days reaches back to "now minus N days"; record dates carry no time of day,
        // so it holds today and the N - 1 days before it.
        const double nowSerial = platform::dateTimeSerial(now);
        m_today = platform::dateSerial(now.date());
        for (int level = 1; level <= kMaxLevel; ++level) {
            LevelFacts &f = m_facts[std::size_t(level)];
            f.passFrom = nowSerial - platform::valueNumber(standards.passPeriodDays[level]);
            f.overPracticeFrom = nowSerial - platform::valueNumber(standards.overPracticePeriodDays[level]);
            f.points.setUp(standards.targetTime[level], standards.pointMultiplier[level]);
        }
    }

    Q_ALWAYS_INLINE void ahead(int level, int student)
    {
        if (inTables(level, student))
            prefetchForWriting(&m_sums[Statistics::cellIndex(level, student)], sizeof(Statistics::Sums));
    }

    // A record of level 1 to 35 and student 0 to 5000. Inlined into the loops that call it, which the
    // compiler would not do for a function of this size called from two places: a call per record
    // costs as much as the sums themselves.
    Q_ALWAYS_INLINE void add(int level, int student, qint32 time, double date)
    {
        LevelFacts &f = m_facts[std::size_t(level)];
        const qint32 p = f.points(time);
        const qint32 usedTime = quint32(time) < 1000 ? time : threeCharacterTime(time); // -99 to 999
        const bool counted = time < kCountedDrillLimit;
        const bool inPassPeriod = date > f.passFrom;
        const bool inOverPracticePeriod = date > f.overPracticeFrom;

        const std::size_t at = Statistics::cellIndex(level, student);
        Statistics::Sums &c = m_sums[at];
        // The cells whose count leaves 0, in the order it happens: each gets its all-time average in
        // finish(), from its complete sums. Worked out record by record instead, the division would
        // wait for the cell's sums to arrive from memory on every record.
        m_averaged[m_averagedCount] = quint32(at);
        m_averagedCount += counted && c.allTimeCount == 0;
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
        if (date == m_today) [[unlikely]] {
            if (counted)
                c.todayCount += 1.0f;
            c.todayTimeSum += float(usedTime);
            addSaturating(c.todayPoints, p);
            if (c.todayCount >= 1.0f)
                m_averages[at].todayAverageTime = roundedAverage(c.todayTimeSum, c.todayCount);
        }
    }

    // The all-time averages of the cells with counted drills; the other cells keep theirs.
    void finish()
    {
        for (std::size_t k = 0; k < m_averagedCount; ++k) {
            // These cells too lie scattered over the tables.
            if (k + kPrefetchDistance < m_averagedCount) {
                const quint32 later = m_averaged[k + kPrefetchDistance];
                prefetchForWriting(&m_sums[later], sizeof(Statistics::Sums));
                prefetchForWriting(&m_averages[later], sizeof(Statistics::Averages));
            }
            const quint32 at = m_averaged[k];
            m_averages[at].allTimeAverageTime =
                roundedAverage(m_sums[at].allTimeTimeSum, m_sums[at].allTimeCount);
        }
    }

private:
    Statistics::Sums *m_sums;
    Statistics::Averages *m_averages;
    std::array<LevelFacts, kLevelSlots> m_facts;
    double m_today = 0.0;
    std::unique_ptr<quint32[]> m_averaged;
    std::size_t m_averagedCount = 0;
};

} // namespace

void clearStatisticSums(Statistics &statistics)
{
    statistics.clearSums();
}

namespace {
qint64 todayRunsUpTo(const Statistics &statistics, int lastLevel, int student)
{
    if (student < 0 || student > kMaxStudentNumber)
        return 0;
    // The counts are whole numbers kept as floats; their sum is exact in a double.
    double sum = 0;
    for (int level = 1; level <= lastLevel; ++level)
        sum += statistics.todayCount(level, student);
    return std::llround(sum);
}
} // namespace

qint64 todayTotalRuns(const Statistics &statistics, int student)
{
    return todayRunsUpTo(statistics, kMaxLevel, student);
}

qint64 todayLevelRuns(const Statistics &statistics, int level, int student)
{
    if (level < 0 || level > kMaxLevel || student < 0 || student > kMaxStudentNumber)
        return 0;
    return std::llround(statistics.todayCount(level, student));
}

qint16 keptDayTotal(qint64 runsToday)
{
    return qint16(std::clamp<qint64>(runsToday, 0, std::numeric_limits<qint16>::max()));
}

drill::TodayRuns todayRuns(const Statistics &statistics, int level, int student)
{
    if (level < 0 || level > kMaxLevel || student < 0 || student > kMaxStudentNumber)
        return {};
    return {todayLevelRuns(statistics, level, student),
            todayRunsUpTo(statistics, drill::kDayCountLastLevel, student)};
}

app::Status computeStatistics(const ResultsFilePlace &place, const Standards &standards, Results &results,
                              Statistics &statistics, Services &services)
{
    return computeStatistics(place, standards, results, statistics, services, services.wait);
}

app::Status computeStatistics(const ResultsFilePlace &place, const Standards &standards, Results &results,
                              Statistics &statistics, Services &services, RetryWait &wait)
{
    clearStatisticSums(statistics);
    const app::Result<QByteArray> window = readResultsWindow(place, wait);
    if (!window) {
        // The program ends once the failure is reported; the sums come from the arrays of the last
        // reading, as they stand.
        fillStatistics(standards, results, statistics, services.clock.now());
        return window.status();
    }
    const QByteArray &bytes = window.value();

    // The reading of the file and the statistics in one pass over its bytes: each record is decoded
    // once, and its fields go to the sums straight from registers instead of through the results
    // arrays. A kept record always lies inside the statistics' tables.
    const char *data = bytes.constData();
    const int count = int(bytes.size() / kRecordSize);
    ResultsLoader loader(results);
    StatisticsPass pass(standards, statistics, services.clock.now(), count);
    ResultsLoader::Kept kept;
    for (int i = 0; i < count; ++i) {
        if (i + kPrefetchDistance < count) {
            const char *later = data + std::size_t(i + kPrefetchDistance) * kRecordSize;
            loader.ahead(recordLevel(later), recordStudent(later));
            pass.ahead(recordLevel(later), recordStudent(later));
        }
        if (loader.add(data + std::size_t(i) * kRecordSize, kept))
            pass.add(kept.level, kept.student, kept.time, kept.date);
    }
    loader.finish();
    pass.finish();
    return {};
}

void fillStatistics(const Standards &standards, const Results &results, Statistics &statistics,
                    const QDateTime &now)
{
    const int count = results.recordCount;
    const qint16 *levels = results.recLevel.data();
    const qint16 *students = results.recStudent.data();
    StatisticsPass pass(standards, statistics, now, count);
    for (int i = 1; i <= count; ++i) {
        if (i + kPrefetchDistance <= count)
            pass.ahead(levels[i + kPrefetchDistance], students[i + kPrefetchDistance]);
        if (inTables(levels[i], students[i]))
            pass.add(levels[i], students[i], results.recResultTime[i], results.recDate[i]);
    }
    pass.finish();
}

} // namespace records

// The results file over any bytes: every 44 bytes decode and encode back unchanged, and the reader keeps
// only records that fit its tables, with bests and statistics inside their bounds.

#include "FuzzCheck.h"
#include "records/Judgement.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "startup/AppState.h"

#include <cmath>
#include <cstdint>
#include <memory>

namespace {

AppState &state()
{
    static const std::unique_ptr<AppState> s = [] {
        auto st = std::make_unique<AppState>();
        for (int level = 1; level <= kMaxLevel; ++level) {
            st->standards.targetTime[level] = 50 * level;
            st->standards.pointMultiplier[level] = 1 + level % 3;
            st->standards.passPeriodDays[level] = level % 9;
            st->standards.overPracticePeriodDays[level] = 1.5;
        }
        return st;
    }();
    return *s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const qint64 total = qint64(size) / records::kRecordSize;
    for (qint64 i = 0; i < total; ++i) {
        const QByteArray one(bytes + i * records::kRecordSize, records::kRecordSize);
        FUZZ_CHECK(records::encodeRecord(records::decodeRecord(one.constData())) == one);
    }

    AppState &s = state();
    const qint64 first = std::max<qint64>(0, total - records::kRecordWindow);
    records::loadResults(bytes + first * records::kRecordSize, total - first, s.results);
    const records::Results &r = s.results;
    FUZZ_CHECK(r.recordCount >= 0 && r.recordCount <= total - first);
    for (int i = 1; i <= r.recordCount; ++i) {
        FUZZ_CHECK(r.recLevel[i] >= 1 && r.recLevel[i] <= kMaxLevel);
        FUZZ_CHECK(r.recStudent[i] >= 1 && r.recStudent[i] <= kMaxStudentNumber);
        FUZZ_CHECK(std::isfinite(r.recDate[i]) && r.recDate[i] >= 0);
    }
    for (int level = 1; level <= kMaxLevel; ++level) {
        qint32 best = records::kTimeOut;
        for (int student = 1; student <= 1000; ++student)
            best = std::min(best, r.personalBest(level, student));
        FUZZ_CHECK(r.overallBest[level] == best);
    }

    records::clearStatisticSums(s.statistics);
    records::fillStatistics(s.standards, s.results, s.statistics,
                            QDateTime(QDate(2026, 12, 8), QTime(15, 30)));
    for (int i = 1; i <= r.recordCount; ++i) {
        const int level = r.recLevel[i];
        const int student = r.recStudent[i];
        FUZZ_CHECK(s.statistics.passPeriodCount(level, student) <= r.recordCount);
        FUZZ_CHECK(s.statistics.todayCount(level, student) <= float(r.recordCount));
        FUZZ_CHECK(std::isfinite(s.statistics.allTimeAverageTime(level, student)));
    }
    return 0;
}

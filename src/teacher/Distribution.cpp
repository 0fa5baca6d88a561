#include "teacher/Distribution.h"

#include "records/ResultRecord.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace teacher {

namespace {

constexpr int kStudentSlots = 5001; // students 0 to 5000 have a slot; others go to a table of their own
// No run of the student at the level yet. Not records::kNoBest: a timed-out run's time is that number,
// and here it is the student's best like any other until a faster run comes.
constexpr qint32 kNoRun = -1;

std::size_t cellOf(int level, int bucket)
{
    return std::size_t(level) * Distribution::kBuckets + std::size_t(bucket);
}

// The unit of a list: a tenth of its largest count, at least 1.
qint32 unitOf(const Distribution &d, int level, bool best)
{
    qint32 largest = 0;
    for (int b = 0; b < Distribution::kBuckets; ++b)
        largest = std::max(largest, best ? d.best(level, b) : d.all(level, b));
    return std::max<qint32>(largest / 10, 1);
}

QStringList bucketLines(const Distribution &d, int level, bool best, qint32 unit)
{
    QStringList lines;
    lines.reserve(Distribution::kBuckets);
    for (int b = 0; b < Distribution::kBuckets; ++b) {
        const qint32 n = best ? d.best(level, b) : d.all(level, b);
        const int stars = int(std::floor(double(n) / double(unit) + 0.5));
        lines << (QStringLiteral("  ") + QString::number(b * 10)).right(4) + QStringLiteral("～") +
                     QString(stars, u'★');
    }
    return lines;
}

} // namespace

Distribution::Distribution()
    : m_runs(kLevels, 0), m_all(std::size_t(kLevels) * kBuckets, 0),
      m_best(std::size_t(kLevels) * kBuckets, 0)
{
}

void Distribution::count(const char *records, qint64 count)
{
    // Each student's best time per level: students 0 to 5000 in one block, any other number (a record
    // written by a broken program) in a hash.
    std::vector<qint32> bests(std::size_t(kLevels) * kStudentSlots, kNoRun);
    QHash<quint32, qint32> otherBests;
    for (qint64 i = 0; i < count; ++i) {
        const char *r = records + i * records::kRecordSize;
        const int level = records::recordLevel(r);
        const qint32 time = records::recordTime(r);
        if (level < 1 || level >= kLevels || time < 0)
            continue;
        ++m_runs[std::size_t(level)];
        ++m_all[cellOf(level, std::min(time / 10, kBuckets - 1))];
        const int student = records::recordStudent(r);
        if (student >= 0 && student < kStudentSlots) {
            qint32 &b = bests[std::size_t(level) * kStudentSlots + std::size_t(student)];
            if (b == kNoRun || time < b)
                b = time;
        } else {
            const quint32 key = quint32(level) << 16 | quint16(student);
            auto it = otherBests.find(key);
            if (it == otherBests.end())
                otherBests.insert(key, time);
            else
                *it = std::min(*it, time);
        }
    }
    for (int level = 1; level < kLevels; ++level) {
        const qint32 *row = bests.data() + std::size_t(level) * kStudentSlots;
        for (int student = 0; student < kStudentSlots; ++student) {
            if (row[student] != kNoRun)
                ++m_best[cellOf(level, std::min(row[student] / 10, kBestBuckets - 1))];
        }
    }
    for (auto it = otherBests.cbegin(); it != otherBests.cend(); ++it)
        ++m_best[cellOf(int(it.key() >> 16), std::min(it.value() / 10, kBestBuckets - 1))];
}

qint32 Distribution::runs(int level) const
{
    return level >= 0 && level < kLevels ? m_runs[std::size_t(level)] : 0;
}

qint32 Distribution::all(int level, int bucket) const
{
    return level >= 0 && level < kLevels && bucket >= 0 && bucket < kBuckets ? m_all[cellOf(level, bucket)]
                                                                             : 0;
}

qint32 Distribution::best(int level, int bucket) const
{
    return level >= 0 && level < kLevels && bucket >= 0 && bucket < kBuckets ? m_best[cellOf(level, bucket)]
                                                                             : 0;
}

QStringList allResultsLines(const Distribution &distribution, int level)
{
    const qint32 unit = unitOf(distribution, level, false);
    QStringList lines{
        QStringLiteral("レベル%1 今まで%2回  （★=%3）").arg(level).arg(distribution.runs(level)).arg(unit)};
    lines += bucketLines(distribution, level, false, unit);
    return lines;
}

QStringList bestTimeLines(const Distribution &distribution, int level)
{
    const qint32 unit = unitOf(distribution, level, true);
    QStringList lines{QStringLiteral("レベル%1 （★=%2）").arg(level).arg(unit)};
    lines += bucketLines(distribution, level, true, unit);
    return lines;
}

} // namespace teacher

#include "hub/Rankings.h"

#include <algorithm>

namespace hub {

namespace {
const QString &ownRightMark()
{
    static const QString mark = QString::fromUtf16(kOwnMark);
    return mark;
}
const QString &otherRightMark()
{
    static const QString mark(QChar(0x3000));
    return mark;
}
} // namespace

QString bestTimeRow(int rank, const QString &mark, const QString &name5, qint32 best, bool own)
{
    QString row;
    row.reserve(20);
    if (best >= records::kNoBest) {
        row += QStringLiteral("--");
        row += mark;
        row += name5;
        row += QStringLiteral("------");
    } else {
        row += rankText(rank);
        row += mark;
        row += name5;
        row += best == records::kFailedBest ? QStringLiteral("*失敗*") : rightAligned(best, 6);
    }
    row += u' ';
    row += own ? ownRightMark() : otherRightMark();
    return row;
}

QString pointsRow(int rank, const QString &mark, const QString &name5, qint64 todayPoints,
                  qint64 allTimePoints)
{
    QString row;
    row.reserve(20);
    row += rankText(rank);
    row += mark;
    row += name5;
    row += rightAligned(todayPoints, 3);
    row += u'/';
    row += rightAligned(allTimePoints, 5);
    return row;
}

std::vector<RankedStudent> rankByBestTime(const RowStudents &students,
                                          const LevelStudentTable<qint32> &personalBest, int level)
{
    std::vector<RankedStudent> ranked;
    ranked.reserve(students.listed.size());
    for (qint16 s : students.listed)
        ranked.push_back({s, 0, personalBest(level, s)});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const RankedStudent &a, const RankedStudent &b) { return a.key < b.key; });
    for (std::size_t k = 0; k < ranked.size(); ++k)
        ranked[k].rank = k > 0 && ranked[k].key == ranked[k - 1].key ? ranked[k - 1].rank : int(k) + 1;
    return ranked;
}

std::vector<RankedStudent> rankByPoints(const RowStudents &students, const records::Statistics &statistics,
                                        int level, PointsOrder order)
{
    struct Entry
    {
        qint64 primary;
        qint64 secondary;
        int student;
    };
    std::vector<Entry> entries;
    entries.reserve(students.listed.size());
    for (qint16 s : students.listed) {
        const qint64 today = statistics.todayPoints(level, s);
        const qint64 allTime = statistics.allTimePoints(level, s);
        if (order == PointsOrder::Today)
            entries.push_back({today, allTime, s});
        else
            entries.push_back({allTime, today, s});
    }
    // More points first; equal points by the other points, more first; then roster order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.primary != b.primary ? a.primary > b.primary : a.secondary > b.secondary;
    });
    std::vector<RankedStudent> ranked;
    ranked.reserve(entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const int rank =
            k > 0 && entries[k].primary == entries[k - 1].primary ? ranked.back().rank : int(k) + 1;
        ranked.push_back({entries[k].student, rank, entries[k].primary});
    }
    return ranked;
}

RankedList bestTimeRanking(const RowStudents &students, const LevelStudentTable<qint32> &personalBest,
                           int level)
{
    RankedList list;
    list.rows.reserve(qsizetype(students.listed.size()));
    for (const RankedStudent &r : rankByBestTime(students, personalBest, level)) {
        if (!students.isShown(r.student))
            continue;
        const bool own = r.student == students.own;
        if (own)
            list.ownRow = int(list.rows.size());
        list.rows << bestTimeRow(r.rank, students.mark(r.student), students.rankingName(r.student),
                                 qint32(r.key), own);
    }
    return list;
}

RankedList pointsRanking(const RowStudents &students, const records::Statistics &statistics, int level,
                         PointsOrder order)
{
    RankedList list;
    list.rows.reserve(qsizetype(students.listed.size()));
    for (const RankedStudent &r : rankByPoints(students, statistics, level, order)) {
        if (!students.isShown(r.student))
            continue;
        const qint64 today = statistics.todayPoints(level, r.student);
        if (order == PointsOrder::Today && today == 0)
            continue;
        if (r.student == students.own)
            list.ownRow = int(list.rows.size());
        list.rows << pointsRow(r.rank, students.mark(r.student), students.rankingName(r.student), today,
                               statistics.allTimePoints(level, r.student));
    }
    return list;
}

} // namespace hub

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
    if (best >= kNoRun) {
        row += QStringLiteral("--");
        row += mark;
        row += name5;
        row += QStringLiteral("------");
    } else {
        row += rankText(rank);
        row += mark;
        row += name5;
        row += best == kFailedRun ? QStringLiteral("*失敗*") : rightAligned(best, 6);
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

RankedList bestTimeRanking(const RowStudents &students, const LevelStudentTable<qint32> &personalBest,
                           int level)
{
    struct Entry
    {
        qint32 key;
        int student;
    };
    std::vector<Entry> entries;
    entries.reserve(students.listed.size());
    for (qint16 s : students.listed)
        entries.push_back({personalBest(level, s), s});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.key < b.key; });

    RankedList list;
    list.rows.reserve(qsizetype(entries.size()));
    int rank = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (k == 0 || entries[k].key != entries[k - 1].key)
            rank = int(k) + 1;
        const int s = entries[k].student;
        if (!students.isShown(s))
            continue;
        const bool own = s == students.own;
        if (own)
            list.ownRow = int(list.rows.size());
        list.rows << bestTimeRow(rank, students.mark(s), students.rankingName(s), entries[k].key, own);
    }
    return list;
}

RankedList pointsRanking(const RowStudents &students, const Statistics &statistics, int level,
                         PointsOrder order)
{
    struct Entry
    {
        qint64 primary;
        qint64 secondary;
        qint64 today;
        qint64 allTime;
        int student;
    };
    std::vector<Entry> entries;
    entries.reserve(students.listed.size());
    for (qint16 s : students.listed) {
        const qint64 today = statistics.todayPoints(level, s);
        const qint64 allTime = statistics.allTimePoints(level, s);
        if (order == PointsOrder::Today)
            entries.push_back({today, allTime, today, allTime, s});
        else
            entries.push_back({allTime, today, today, allTime, s});
    }
    // More points first; equal points by the other points, more first; then roster order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.primary != b.primary ? a.primary > b.primary : a.secondary > b.secondary;
    });

    RankedList list;
    list.rows.reserve(qsizetype(entries.size()));
    int rank = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (k == 0 || entries[k].primary != entries[k - 1].primary)
            rank = int(k) + 1;
        const Entry &e = entries[k];
        if (!students.isShown(e.student))
            continue;
        if (order == PointsOrder::Today && e.today == 0)
            continue;
        if (e.student == students.own)
            list.ownRow = int(list.rows.size());
        list.rows << pointsRow(rank, students.mark(e.student), students.rankingName(e.student), e.today,
                               e.allTime);
    }
    return list;
}

} // namespace hub

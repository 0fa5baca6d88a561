#include "hub/RunLists.h"

#include "platform/DelimitedItems.h"

#include <QStringList>

namespace hub {

QString todayRunRow(qint32 time, double clock, const QString &mark, const QString &name5, int points)
{
    return time5(time) + u' ' + clockText(clock) + mark + name5 + mark + QString::number(points);
}

QString todayFailedRow(double clock, const QString &mark, const QString &name5)
{
    return QString::fromUtf16(kFailedPrefix) + clockText(clock) + mark + name5 + mark;
}

QString periodRunRow(RunDisplay display, qint32 time, double date, const QString &mark, const QString &name5,
                     int points)
{
    if (display == RunDisplay::Points)
        return rightAligned(points, 5) + u' ' + dayText(date) + mark + name5 + mark + timeText(time);
    return time5(time) + u' ' + dayText(date) + mark + name5 + mark + QString::number(points);
}

QString periodFailedRow(double date, const QString &mark, const QString &name5)
{
    return QString::fromUtf16(kFailedPrefix) + dayText(date) + mark + name5 + mark;
}

QString personalRow(double date, double clock, qint32 time)
{
    const QString shown = time >= records::kFailedTimeFrom ? QStringLiteral("*失敗*") : time5(time);
    return fullDateText(date).right(10) + u' ' + fullClockText(clock).right(10) + shown;
}

ListColour runListColour(const QStringList &rows, qint32 targetTime, qint32 minimumTime)
{
    ListColour colour = ListColour::None;
    for (const QString &row : rows) {
        if (row.size() >= 3 && row.at(2) == u'×')
            continue;
        // The first five characters hold the time. (Reading only characters 2 to 5, as the rows of
        // times below 1000 would allow, takes 1234 seconds for 234.)
        const double time = platform::leadingNumber(QStringView(row).left(5));
        if (time <= targetTime)
            colour = ListColour::WithinTarget;
        else if (time <= minimumTime)
            colour = ListColour::WithinMinimum;
        else
            colour = ListColour::Over;
    }
    return colour;
}

quint32 listColourRgb(ListColour colour)
{
    switch (colour) {
    case ListColour::WithinTarget:
        return 0x00C000;
    case ListColour::WithinMinimum:
        return 0xC0FFC0;
    case ListColour::Over:
        return 0xC0C0C0;
    case ListColour::None:
    default:
        return 0xFFFFFF;
    }
}

} // namespace hub

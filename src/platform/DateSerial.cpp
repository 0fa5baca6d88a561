#include "platform/DateSerial.h"

#include <cmath>

namespace platform {

namespace {
// A function-local date, so that it is right even when called during static initialisation.
QDate epoch()
{
    static const QDate date(1899, 12, 30);
    return date;
}
constexpr double kMsPerDay = 86400000.0;
} // namespace

double dateSerial(QDate date)
{
    return double(epoch().daysTo(date));
}

QDate dateFromSerial(double serial)
{
    if (!std::isfinite(serial) || std::abs(serial) > 3.0e6)
        return {};
    return epoch().addDays(qint64(std::floor(serial)));
}

double timeFraction(QTime time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / kMsPerDay : 0.0;
}

QTime timeFromFraction(double fraction)
{
    if (!std::isfinite(fraction))
        return QTime(0, 0);
    double part = fraction - std::floor(fraction);
    int ms = int(std::llround(part * kMsPerDay));
    if (ms >= 86400000)
        ms = 86400000 - 1;
    return QTime::fromMSecsSinceStartOfDay(ms);
}

double dateTimeSerial(const QDateTime &dateTime)
{
    return dateSerial(dateTime.date()) + timeFraction(dateTime.time());
}

} // namespace platform

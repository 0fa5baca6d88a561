#include "platform/DateSerial.h"

#include <cmath>

namespace platform {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

double dateSerial(QDate date)
{
    return double(kEpoch.daysTo(date));
}

QDate dateFromSerial(double serial)
{
    if (!std::isfinite(serial) || std::abs(serial) > 3.0e6)
        return {};
    return kEpoch.addDays(qint64(std::floor(serial)));
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

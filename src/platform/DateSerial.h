#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// Dates as the results file and the period rules keep them: whole days since 30 December 1899 as a
// double, and the time of day as a fraction of a day.
namespace platform {

double dateSerial(QDate date);
QDate dateFromSerial(double serial); // the whole days of the serial; an invalid date when out of range
double timeFraction(QTime time);     // 0 <= fraction < 1
QTime timeFromFraction(double fraction);
double dateTimeSerial(const QDateTime &dateTime); // date serial plus time fraction

} // namespace platform

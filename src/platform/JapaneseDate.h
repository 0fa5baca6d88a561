#pragma once

#include <QDate>
#include <QString>

namespace platform {

// A date in the Japanese calendar as the splash shows it: era name and year, month, two-digit day and
// the one-character day of the week, "令和8年 12月 08日（火）". The era comes from ICU's Japanese
// calendar, so a new era is known as soon as the system's ICU data knows it.
QString japaneseEraDateText(QDate date);

} // namespace platform

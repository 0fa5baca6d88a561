#include "platform/JapaneseDate.h"

#include <memory>
#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace platform {

QString japaneseEraDateText(QDate date)
{
    if (!date.isValid())
        return {};
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale("ja_JP@calendar=japanese");
    icu::SimpleDateFormat format(icu::UnicodeString(u"GGGGy年 M月 dd日（E）"), locale, status);
    if (U_FAILURE(status))
        return {};
    // Format noon of the date in UTC, so no time zone can move it to another day.
    std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("Etc/UTC"));
    format.setTimeZone(*utc);
    icu::GregorianCalendar gregorian(*utc, icu::Locale::getRoot(), status);
    gregorian.clear();
    gregorian.set(date.year(), date.month() - 1, date.day(), 12, 0, 0);
    const UDate instant = gregorian.getTime(status);
    if (U_FAILURE(status))
        return {};
    icu::UnicodeString out;
    format.format(instant, out);
    return QString(reinterpret_cast<const QChar *>(out.getBuffer()), out.length());
}

} // namespace platform

#pragma once

#include <QString>

namespace startup {

// The background colour of a month (0xRRGGBB), used by the name screen and the hub.
quint32 seasonColour(int month);

// The school text of the common settings: when the number formed by its first five characters is not
// 0, those five characters are the school code and the rest is the school name; otherwise the whole
// text is the school name and the code stays empty.
struct SchoolText
{
    QString code;
    QString name;
};
SchoolText splitSchoolText(const QString &text);

} // namespace startup

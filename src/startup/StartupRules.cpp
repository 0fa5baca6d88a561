#include "startup/StartupRules.h"

#include "platform/DelimitedItems.h"

namespace startup {

quint32 seasonColour(int month)
{
    auto rgb = [](quint32 r, quint32 g, quint32 b) { return (r << 16) | (g << 8) | b; };
    switch (month) {
    case 1:
    case 2:
        return rgb(255, 128, 0);
    case 3:
    case 4:
    case 5:
        return rgb(192, 255, 192);
    case 6:
    case 7:
    case 8:
        return rgb(0, 192, 192);
    case 9:
    case 10:
    case 11:
        return rgb(192, 64, 0);
    default:
        return rgb(192, 255, 192);
    }
}

SchoolText splitSchoolText(const QString &text)
{
    if (platform::leadingNumber(QStringView(text).left(5)) != 0.0)
        return {text.left(5), text.mid(5)};
    return {QString(), text};
}

} // namespace startup

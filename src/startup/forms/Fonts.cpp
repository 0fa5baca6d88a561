#include "startup/forms/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace fonts {

namespace {
QString firstInstalled(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return families.isEmpty() ? QString() : families.first();
}
} // namespace

QFont ui(qreal pointSize, bool bold)
{
    static const QString family = firstInstalled(
        {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
         QStringLiteral("Meiryo UI"), QStringLiteral("ＭＳ Ｐゴシック")});
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont mono(qreal pointSize)
{
    static const QString family = firstInstalled({QStringLiteral("IPAGothic"),
                                                  QStringLiteral("Noto Sans Mono CJK JP"),
                                                  QStringLiteral("ＭＳ ゴシック")});
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace fonts

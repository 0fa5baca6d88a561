#include "app/forms/TextFit.h"

#include "app/forms/Style.h"

#include <QFontMetrics>
#include <QLabel>

namespace app::controls {

void fitText(QLabel *label, const QString &text, int largest, int smallest, bool bold)
{
    const int width = label->contentsRect().width();
    QFont font;
    for (int size = largest; size >= smallest; --size) {
        font = style::font(size, bold);
        if (QFontMetrics(font).horizontalAdvance(text) <= width)
            break;
    }
    label->setFont(font);
    // elidedText cuts between whole characters (grapheme clusters), never through one.
    const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
    label->setAccessibleName(text);
}

} // namespace app::controls

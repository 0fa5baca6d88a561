#include "startup/forms/NotBuiltScreen.h"

#include "app/forms/Style.h"

#include <QLabel>
#include <QVBoxLayout>

namespace style = app::style;

NotBuiltScreen::NotBuiltScreen(const QString &screenName, const app::PathsAndSettings &settings,
                               QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("NotBuiltScreen"));
    style::background(this, QColor::fromRgb(settings.seasonColour));

    auto *label = new QLabel(QStringLiteral("%1は、まだできていません。").arg(screenName), this);
    label->setObjectName(QStringLiteral("lblNotBuilt"));
    label->setFont(style::font(24, true));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

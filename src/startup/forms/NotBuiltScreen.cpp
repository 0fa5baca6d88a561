#include "startup/forms/NotBuiltScreen.h"

#include "startup/forms/Fonts.h"

#include <QLabel>
#include <QVBoxLayout>

NotBuiltScreen::NotBuiltScreen(const QString &screenName, AppContext &context, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NotBuiltScreen"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(context.state.settings.seasonColour));
    setPalette(pal);

    auto *label = new QLabel(QStringLiteral("%1は、まだできていません。").arg(screenName), this);
    label->setObjectName(QStringLiteral("lblNotBuilt"));
    label->setFont(fonts::ui(24, true));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

#include "startup/forms/VersionBox.h"

#include "app/ProgramVersion.h"
#include "app/forms/Style.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace style = app::style;

VersionBox::VersionBox(const QString &programTitle, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmver"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    // A window of its own over the scaled window, which has no style sheet: it takes the canvas's.
    style::install(this);

    auto *title = new QLabel(programTitle, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setFont(style::font(24, true));
    auto *version = new QLabel(app::versionLine(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setFont(style::font(14));
    auto *family = new QLabel(QStringLiteral("Kamirato"), this);
    family->setObjectName(QStringLiteral("lblFamily"));
    family->setFont(style::font(14));
    auto *ok = new QPushButton(QStringLiteral("O.K."), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setFont(style::font(14));
    ok->setDefault(true);
    ok->setMinimumSize(120, 40);
    style::accentButton(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setSpacing(12);
    for (QLabel *label : {title, version, family}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

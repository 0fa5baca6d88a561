#include "startup/forms/VersionBox.h"

#include "app/ProgramVersion.h"
#include "startup/forms/Fonts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

VersionBox::VersionBox(const QString &programTitle, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmver"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);

    auto *title = new QLabel(programTitle, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setFont(fonts::ui(24, true));
    auto *version = new QLabel(app::versionLine(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setFont(fonts::ui(14));
    auto *family = new QLabel(QStringLiteral("Kamirato"), this);
    family->setObjectName(QStringLiteral("lblFamily"));
    family->setFont(fonts::ui(14));
    auto *ok = new QPushButton(QStringLiteral("O.K."), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setFont(fonts::ui(14));
    ok->setDefault(true);
    ok->setMinimumSize(120, 40);
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

#include "hub/forms/PasswordPanel.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/Style.h"
#include "drill/LevelCatalogue.h"
#include "teacher/TeacherEntry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace hub {

namespace style = app::style;

PasswordPanel::PasswordPanel(std::function<bool(const QString &)> matches, QWidget *parent)
    : QFrame(parent), m_matches(std::move(matches))
{
    setObjectName(QStringLiteral("picPassword"));
    style::raisedPanel(this);
    resize(420, 250);

    QLabel *caption =
        app::controls::label(this, QStringLiteral("lblPassword"), QStringLiteral("データ変更パスワード"),
                             style::font(16, true), QRect(24, 18, 372, 34));

    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("txtPassword"));
    m_box->setEchoMode(QLineEdit::Password);
    m_box->setFont(style::font(16));
    m_box->setGeometry(24, 60, 372, 40);
    m_box->setAccessibleName(caption->text());
    caption->setBuddy(m_box);

    m_records = app::controls::button(this, QStringLiteral("Command10_0"), QStringLiteral("データ変更"),
                                      style::font(13), QRect(24, 118, 180, 48));
    m_standards =
        app::controls::button(this, QStringLiteral("Command10_1"), QStringLiteral("合格タイムデータ変更"),
                              style::font(13), QRect(216, 118, 180, 48));
    m_back = app::controls::button(this, QStringLiteral("cmdPasswordBack"), QStringLiteral("戻る"),
                                   style::font(13), QRect(276, 184, 120, 44));
    for (QPushButton *b : {m_records, m_standards, m_back})
        style::plainButton(b);

    connect(m_records, &QPushButton::clicked, this, [this] { buttonClicked(Tool::RecordsBrowser); });
    connect(m_standards, &QPushButton::clicked, this, [this] { buttonClicked(Tool::StandardsEditor); });
    connect(m_back, &QPushButton::clicked, this, [this] {
        hide();
        emit closed();
    });
    hide();
}

void PasswordPanel::open()
{
    m_box->clear();
    show();
    raise();
    m_box->setFocus();
    emit opened();
}

void PasswordPanel::buttonClicked(Tool tool)
{
    if (!m_matches(m_box->text())) {
        emit wrongPassword();
        m_box->selectAll();
        m_box->setFocus();
        return;
    }
    emit toolChosen(tool);
}

PasswordPanel *attachPasswordPanel(QWidget *hub, QPushButton *dataProcessing,
                                   const PasswordPanel::Parts &parts, AppContext &context,
                                   std::function<void()> leaving)
{
    AppContext *c = &context;
    auto *panel = new PasswordPanel(
        [parts](const QString &typed) {
            return teacher::passwordMatches(parts.settings.teacherPassword, typed);
        },
        hub);
    panel->move((hub->width() - panel->width()) / 2, 230);
    QObject::connect(dataProcessing, &QPushButton::clicked, panel, &PasswordPanel::open);
    QObject::connect(panel, &PasswordPanel::wrongPassword, panel, [c, parts] {
        app::report(c->services,
                    app::warning(catalogue::messageTitle(parts.catalogue), teacher::wrongPasswordMessage()));
    });
    QObject::connect(panel, &PasswordPanel::toolChosen, panel, [c, leaving](PasswordPanel::Tool tool) {
        leaving();
        if (tool == PasswordPanel::Tool::RecordsBrowser)
            c->navigator.showRecordsBrowser();
        else
            c->navigator.showStandardsEditor();
    });
    return panel;
}

} // namespace hub

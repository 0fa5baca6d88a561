#pragma once

#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "drill/Catalogue.h"

#include <QFrame>

#include <functional>

class QLineEdit;
class QPushButton;

namespace hub {

// The hub's password panel, through which a teacher reaches the teacher tools: the caption
// "データ変更パスワード", a masked box (txtPassword), "データ変更" (Command10_0, the records browser),
// "合格タイムデータ変更" (Command10_1, the standards editor) and "戻る" (cmdPasswordBack).
//
// The panel only takes the password; the hub decides what the buttons open. A button with a wrong
// password says "パスワードを入力して下さい" and leaves the panel open for another try.
class PasswordPanel : public QFrame
{
    Q_OBJECT
public:
    enum class Tool { RecordsBrowser, StandardsEditor };

    // What the hub hands the panel of the shared state: the password, and the title of its message.
    struct Parts
    {
        const app::PathsAndSettings &settings;
        const drill::Catalogue &catalogue;
    };

    // `matches` tells whether a typed text is the password.
    PasswordPanel(std::function<bool(const QString &)> matches, QWidget *parent);

    // Shows the panel in front with an empty box that has the focus.
    void open();

    QLineEdit *passwordBox() const { return m_box; }

signals:
    // The panel came to the front, and went away through "戻る".
    void opened();
    void closed();
    // The right password and a tool's button.
    void toolChosen(PasswordPanel::Tool tool);
    // A wrong password: the hub shows the message.
    void wrongPassword();

private:
    void buttonClicked(Tool tool);

    std::function<bool(const QString &)> m_matches;
    QLineEdit *m_box;
    QPushButton *m_records;
    QPushButton *m_standards;
    QPushButton *m_back;
};

// Puts the panel on the hub, centred over the level columns: `dataProcessing` ("データ処理") opens it, a
// wrong password shows the message, and the right one calls `leaving` (the hub stops taking starts)
// and shows the chosen tool, which unloads the hub.
PasswordPanel *attachPasswordPanel(QWidget *hub, QPushButton *dataProcessing,
                                   const PasswordPanel::Parts &parts, AppContext &context,
                                   std::function<void()> leaving);

} // namespace hub

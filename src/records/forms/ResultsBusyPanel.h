#pragma once

#include "platform/RetryWait.h"

#include <QFrame>

class QLabel;

namespace records {

// The waiting panel that the window shows over whatever screen is up (the drill's end notice, the
// splash, the hub) while a wait on the results file goes on for more than about a second: "Just a
// moment, please." and a line that says why, such as another PC using the file. It is the program's
// wait notice (of the wait it is given) for as long as it exists.
class ResultsBusyPanel : public QFrame, public platform::WaitNotice
{
    Q_OBJECT
public:
    ResultsBusyPanel(QWidget *window, platform::ResponsiveWait &programWait);
    ~ResultsBusyPanel() override;

    void showWaiting(const QString &line) override;
    void hideWaiting() override;

    QString line() const;

private:
    platform::ResponsiveWait &m_programWait;
    QLabel *m_line;
};

} // namespace records

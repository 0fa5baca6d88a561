#pragma once

#include "records/RetryWait.h"

#include <QFrame>

class QLabel;

// The waiting panel that the window shows over whatever screen is up (the drill's end notice, the
// splash, the hub) while a wait on the results file goes on for more than about a second: "Just a
// moment, please." and a line that says why, such as another PC using the file. It is the program's
// wait notice for as long as it exists.
class ResultsBusyPanel : public QFrame, public records::WaitNotice
{
    Q_OBJECT
public:
    explicit ResultsBusyPanel(QWidget *window);
    ~ResultsBusyPanel() override;

    void showWaiting(const QString &line) override;
    void hideWaiting() override;

    QString line() const;

private:
    QLabel *m_line;
};

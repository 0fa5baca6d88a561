#include "records/forms/ResultsBusyPanel.h"

#include "app/forms/Style.h"
#include "app/forms/WaitingPanel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace records {

namespace style = app::style;

ResultsBusyPanel::ResultsBusyPanel(QWidget *window, platform::ResponsiveWait &programWait)
    : QFrame(window), m_programWait(programWait)
{
    setObjectName(QStringLiteral("picResultsWait"));
    style::raisedPanel(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 20, 32, 20);
    auto *title = new QLabel(QStringLiteral("Just a moment, please."), this);
    title->setFont(style::font(24, true));
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_line = new QLabel(this);
    m_line->setFont(style::font(18));
    m_line->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_line);
    hide();
    m_programWait.setNotice(this);
}

ResultsBusyPanel::~ResultsBusyPanel()
{
    if (m_programWait.notice() == this)
        m_programWait.setNotice(nullptr);
}

void ResultsBusyPanel::showWaiting(const QString &line)
{
    m_line->setText(line);
    setAccessibleName(QStringLiteral("Just a moment, please. ") + line);
    adjustSize();
    // The screen's own notices (the drill's "時間切れ") stay in sight beside it.
    if (QWidget *window = parentWidget())
        setGeometry(app::waiting::placeClearOf(window->rect(), size(), app::waiting::noticesInSight(window)));
    show();
    raise();
    repaint(); // the wait lets events run, but show it now
}

void ResultsBusyPanel::hideWaiting()
{
    hide();
}

QString ResultsBusyPanel::line() const
{
    return m_line->text();
}

} // namespace records

#include "records/forms/ResultsBusyPanel.h"

#include "startup/forms/Fonts.h"

#include <QLabel>
#include <QVBoxLayout>

ResultsBusyPanel::ResultsBusyPanel(QWidget *window) : QFrame(window)
{
    setObjectName(QStringLiteral("picResultsWait"));
    setStyleSheet(QStringLiteral(
        "#picResultsWait { background: #ffffff; border: 2px solid #5a6b7b; border-radius: 14px; }"
        "QLabel { color: #23303d; background: transparent; border: none; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 20, 32, 20);
    auto *title = new QLabel(QStringLiteral("Just a moment, please."), this);
    title->setFont(fonts::ui(24, true));
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_line = new QLabel(this);
    m_line->setFont(fonts::ui(18));
    m_line->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_line);
    hide();
    records::responsiveWait().setNotice(this);
}

ResultsBusyPanel::~ResultsBusyPanel()
{
    if (records::responsiveWait().notice() == this)
        records::responsiveWait().setNotice(nullptr);
}

void ResultsBusyPanel::showWaiting(const QString &line)
{
    m_line->setText(line);
    setAccessibleName(QStringLiteral("Just a moment, please. ") + line);
    adjustSize();
    if (QWidget *window = parentWidget())
        move((window->width() - width()) / 2, (window->height() - height()) / 2);
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

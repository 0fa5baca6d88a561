#include "app/forms/WaitingPanel.h"

#include "app/forms/Style.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace style = app::style;

WaitingPanel::WaitingPanel(const QString &text, bool withProgress, QWidget *parent) : QFrame(parent)
{
    setBackground(QColor::fromRgb(style::kPanel));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 20, 32, 20);
    m_label = new QLabel(text, this);
    m_label->setFont(style::font(24, true));
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
    if (withProgress) {
        m_progress = new QProgressBar(this);
        m_progress->setTextVisible(false);
        m_progress->setFixedHeight(14);
        layout->addWidget(m_progress);
    }
    setAccessibleName(text);
    hide();
}

void WaitingPanel::setBackground(const QColor &colour)
{
    style::raisedPanel(this, colour);
}

void WaitingPanel::begin(int maximum)
{
    m_started.start();
    if (m_progress) {
        m_progress->setRange(0, std::max(maximum, 1));
        m_progress->setValue(0);
        m_progress->show();
    }
}

void WaitingPanel::step(int value)
{
    if (m_progress)
        m_progress->setValue(std::min(value, m_progress->maximum()));
    if (!m_started.isValid())
        m_started.start();
    if (!isVisible()) {
        if (m_started.elapsed() < kShowAfterMs)
            return;
        show();
        raise();
        paintNow();
    } else if (m_lastPaint.elapsed() >= 50) {
        paintNow();
    }
}

void WaitingPanel::showNow()
{
    show();
    raise();
    paintNow();
}

void WaitingPanel::end()
{
    hide();
    m_started.invalidate();
}

void WaitingPanel::paintNow()
{
    m_lastPaint.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

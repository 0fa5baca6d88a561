#include "app/forms/WaitingPanel.h"

#include "app/forms/Style.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

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

namespace app::waiting {

namespace {
const char *const kInSightProperty = "keptInSight";
constexpr int kGap = 16;
} // namespace

void keepInSight(QWidget *notice)
{
    notice->setProperty(kInSightProperty, true);
}

QList<QRect> noticesInSight(const QWidget *window)
{
    QList<QRect> places;
    for (const QWidget *notice : window->findChildren<QWidget *>()) {
        if (notice->property(kInSightProperty).toBool() && notice->isVisibleTo(window) && window->isVisible())
            places.append(QRect(notice->mapTo(window, QPoint(0, 0)), notice->size()));
    }
    return places;
}

QRect placeClearOf(const QRect &area, const QSize &panel, const QList<QRect> &inSight)
{
    const int left = area.left() + (area.width() - panel.width()) / 2;
    QList<int> tops{area.top() + (area.height() - panel.height()) / 2};
    for (const QRect &notice : inSight) {
        tops.append(notice.bottom() + 1 + kGap);
        tops.append(notice.top() - kGap - panel.height());
    }
    for (int top : tops) {
        const QRect place(QPoint(left, top), panel);
        if (!area.contains(place))
            continue;
        if (std::none_of(inSight.begin(), inSight.end(),
                         [&](const QRect &notice) { return notice.intersects(place); }))
            return place;
    }
    return QRect(QPoint(left, tops.first()), panel);
}

} // namespace app::waiting

#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QList>
#include <QRect>

class QLabel;
class QProgressBar;

// The "Just a moment, please." panel of the name screen and the hub. A step that is over quickly
// shows nothing: the panel appears only once a step has run long enough to be noticed, and then it
// repaints as the step goes on. Only paint events run meanwhile, so no click or key can start work
// over the step's half-done state.
class WaitingPanel : public QFrame
{
    Q_OBJECT
public:
    WaitingPanel(const QString &text, bool withProgress, QWidget *parent);

    // Starts a step; with progress, the bar runs from 0 to maximum.
    void begin(int maximum = 0);
    // The step has come this far; shows the panel when the step has been running for a while.
    void step(int value);
    // Shows the panel in front at once and paints it (before the screen is left).
    void showNow();
    void end();

    // The panel's background (white unless a screen gives its own colour).
    void setBackground(const QColor &colour);
    bool isRunning() const { return m_started.isValid(); }

    QProgressBar *progressBar() const { return m_progress; }

    // A step shorter than this shows no panel.
    static constexpr qint64 kShowAfterMs = 150;

private:
    void paintNow();

    QLabel *m_label;
    QProgressBar *m_progress = nullptr;
    QElapsedTimer m_started;
    QElapsedTimer m_lastPaint;
};

// A notice that a wait notice shown over its screen must leave in sight (the drill's "時間切れ" and
// "成績記録中" while the end of a drill waits for the results file).
namespace app::waiting {

void keepInSight(QWidget *notice);

// The shown notices under `window` marked by keepInSight, in the window's coordinates.
QList<QRect> noticesInSight(const QWidget *window);

// Where a panel of size `panel` goes on `area`: in the middle, unless it would cover one of `inSight`;
// then, centred across, just below or just above one of them, the first place that covers none.
QRect placeClearOf(const QRect &area, const QSize &panel, const QList<QRect> &inSight);

} // namespace app::waiting

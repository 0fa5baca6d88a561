#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Sounds play synchronously: while one plays, nothing else of the program runs. Clicks and keys a
// student makes meanwhile are not answers to what comes after the sound, so they are dropped when the
// sound has ended instead of being delivered late. Timers and repaints that fell due run as usual.
class InputDiscard : public QObject
{
public:
    // Runs the pending events once with every mouse, key and touch input dropped.
    static void dropPendingInput();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Runs a blocking play call, then drops the input that arrived while it played.
template <typename Play> auto playDroppingInput(Play &&play)
{
    if constexpr (std::is_void_v<decltype(play())>) {
        play();
        InputDiscard::dropPendingInput();
    } else {
        auto result = play();
        InputDiscard::dropPendingInput();
        return result;
    }
}

// While one lives, only the given window runs: the timers, queued calls and input of every other widget
// of the program, and of the objects those widgets own, are dropped. It stands behind a box after which
// the program ends, so that nothing (the drill's clock, a record, a change of screen) happens behind it.
class OnlyWindowRuns : public QObject
{
public:
    explicit OnlyWindowRuns(QWidget *window);
    ~OnlyWindowRuns() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
};

#pragma once

#include <QObject>

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
template <typename Play>
auto playDroppingInput(Play &&play)
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

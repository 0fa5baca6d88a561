#pragma once

#include "drill/LastDrill.h"
#include "platform/Clock.h"

#include <vector>

// What a test and a practice drill share: the clock that runs from the start (penalties move its start
// earlier), the time limit that ends a drill at a tick, and the start of the end. The drill screen
// holds one session and renders what it answers; the session never touches a widget, so its flow runs
// in tests without a display.
//
// The end of a drill is shared state (LastDrill.endingInProgress and drillEndReason), read and written
// here by reference, because the rest of the program reads it too.
namespace drill {

// Sounds of the sound set that a drill plays (the sound set's kind numbers).
enum class Sound { RightAnswer = 2, WrongAnswer = 4 };

// The idiom's voice files: the meaning read out before the reading stage, the reading after a
// judgement (the last character of the voice file's name).
enum class Voice { Reading = 1, Meaning = 2 };

// What a session needs to know of its level, made by startLevel (LevelStart.h) from the standards and
// the catalogue.
struct LevelRules
{
    int timeLimit = 0;          // a tick at or past it ends the drill
    int targetTime = 0;         // the lamps of the last row go out over the ten seconds before it
    int minimumTime = 0;        // and the minimum-line countdown over the ten seconds before this
    bool practiceLevel = false; // its caption holds "練": the end returns to the hub unrecorded
    bool recordedLevel = false; // a finished drill is recorded and judged
};

class DrillSession
{
public:
    DrillSession(LastDrill &lastDrill, platform::Clock &clock, const LevelRules &rules);
    virtual ~DrillSession() = default;
    DrillSession(const DrillSession &) = delete;
    DrillSession &operator=(const DrillSession &) = delete;

    // The clock starts now.
    void start();
    // Whole seconds since the start, penalties included.
    int elapsed() const;
    qint64 startMs() const { return m_startMs; }

    // The end of the drill has begun: nothing more is answered or judged.
    bool ending() const { return m_lastDrill.endingInProgress; }
    bool timedOut() const { return m_lastDrill.drillEndReason == 1; }
    // A judgement is under way (from "O.K." until the next question has been made).
    bool busy() const { return m_busy; }

    // One tick of the one-second clock.
    struct Tick
    {
        int elapsed = 0;
        std::vector<int> lampsOut; // lamps 30 to 39 to put out now
        bool pastLimit = false;    // the time bar is full
        bool timeOut = false;      // the drill ends now: stop the clock and finish
    };
    Tick tick();

    // The start of the end (a finished test or a time-out). Refused when the end has begun already.
    struct End
    {
        enum class Then {
            Refused,   // a second request: nothing happens
            BackToHub, // a practice level: nothing is recorded
            Stay,      // a level that is not recorded: the notice stands
            Record     // stop the clock, fixResultTime(), record, pause, result screen
        };
        Then then = Then::Refused;
        bool timeUp = false; // the notice says "時間切れ" rather than "成績記録中"
    };
    End beginEnd();
    // The time judged and recorded: a finished test is timed to its last answer, not to the clock's last
    // tick; a time-out is recorded as 99999.
    void fixResultTime();

protected:
    void penalise(int seconds);

    LastDrill &m_lastDrill;
    platform::Clock &m_clock;
    LevelRules m_rules;
    qint64 m_startMs = 0;
    bool m_busy = false;
};

} // namespace drill

#pragma once

#include "app/CurrentRun.h"
#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "app/Services.h"
#include "drill/Catalogue.h"
#include "drill/LastDrill.h"
#include "records/ResultSummary.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"

#include <QList>
#include <QString>

namespace records {

// What the result screen uses of the shared state.
struct ResultScreenState
{
    app::PathsAndSettings &settings;
    const drill::Catalogue &catalogue;
    const app::CurrentRun &run; // the student and the level just drilled
    const Standards &standards;
    Results &results;
    Statistics &statistics;      // recomputed from the results file as the screen opens
    drill::LastDrill &lastDrill; // the judged run; its record flags are cleared once shown
};

// One showing of the result screen after a recorded drill, apart from its widgets: what each label
// says, which of them stand, and what the activation, the half-second timer and the two buttons change.
//
// The activation is cut where the screen lets pending events run or plays a sound, because the
// half-second timer may tick there: begin, recompute, fillIn, announce (the sounds to play), finish.
// Each part changes only what its step shows, so a tick that comes in between leaves the same screen
// as it did before the step.
class ResultSession
{
public:
    // What the screen shows.
    struct View
    {
        QString levelCount; // Label13: " (このレベル　 3回目)"
        QString dayCount;   // Label14: "（ 5回目)"
        QString title;      // Label15
        QString levelName;  // Label16
        QString name;       // Label17: the student's name, trimmed
        QString time;       // Label18
        QString points;     // Label19
        QString message;    // Label20
        bool messageShown = false;
        QString cleared = QStringLiteral("このレベルクリア"); // Label2
        bool clearedShown = false;
        bool congratulationShown = false; // Picture1
        bool menuShown = false;           // Command4 "メニューへ"
        bool menuEnabled = true;
        bool againShown = false; // Command5 "もう一度"
        bool againEnabled = true;
    };

    ResultSession(const ResultScreenState &state, Services &services);

    const View &view() const { return m_view; }

    // The level's count as it stood before the drill, plus this run, until the statistics are read.
    void begin();
    // Reads the results file again; the cleared label and, at the final level, the congratulation.
    // A results file that cannot be read gives its failure; the activation goes no further when it
    // ends the program.
    app::Status recompute();
    // Time, points, names and today's counts; the day's total is kept in the shared state.
    void fillIn();
    // The message of a time-out or a record; returns the sounds to play now, in order.
    QList<result_screen::Sound> announce();
    // Once the sounds have played: the congratulation stays only at a cleared final level, and the
    // record flags are cleared.
    void finish();
    bool activated() const { return m_activated; }

    // The half-second timer's tick: the congratulation is put away and the buttons come, "もう一度"
    // unless the level is closed for over-practice.
    void timerTick();

    // "メニューへ": the screen goes back to the hub.
    void menu();
    // "もう一度": both buttons are disabled; returns the level to drill again.
    int again();

private:
    int level() const;
    bool levelCleared() const;

    ResultScreenState m_state;
    Services &m_services;
    View m_view;
    bool m_cleared = false;
    bool m_activated = false;
};

} // namespace records

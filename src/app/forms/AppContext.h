#pragma once

#include "app/AppState.h"
#include "app/Services.h"

#include <QCoreApplication>

class QWidget;

// Shows the screens of the program, one at a time, in the one 1024 × 768 window. A screen is created
// when it is shown and destroyed when it is left, so every showing starts fresh.
class Navigator
{
public:
    virtual ~Navigator() = default;
    virtual void showNameSelection() = 0;
    virtual void showHub() = 0;
    virtual void showDrill() = 0;
    // Starts a drill of state.run.currentLevel once the caller has cleared the drill's running state
    // (the hub's start buttons, the result screen's "もう一度"): lets pending events run and shows the
    // drill screen.
    void startDrill()
    {
        QCoreApplication::processEvents();
        showDrill();
    }
    virtual void showResult() = 0;
    // The worksheet screen, over the current screen, which is left as it is and comes back when it closes;
    // `signedIn`: the run's student opens it (the hub), not somebody still choosing a name.
    // (Navigators of tests that never print need not show it.)
    virtual void showWorksheet(bool signedIn) { (void)signedIn; }
    // The version box, centred over the given screen, modal.
    virtual void showVersionBox(QWidget *over) = 0;
    // The teacher tools (from the hub's password panel); they return to the hub.
    virtual void showStandardsEditor() {}
    virtual void showRecordsBrowser() {}
};

// What every screen is handed.
struct AppContext
{
    AppState &state;
    Services &services;
    Navigator &navigator;
};

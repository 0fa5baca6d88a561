#pragma once

#include "app/Services.h"

class QWidget;

// Shows the screens of the program, one at a time, in the one 1024 × 768 window. A screen is created
// when it is shown and destroyed when it is left, so every showing starts fresh.
class Navigator
{
public:
    virtual ~Navigator() = default;
    virtual void showNameSelection() = 0;
    virtual void showHub() = 0;
    // Starts a drill of `level` (the hub's start buttons and level titles, the result screen's
    // "もう一度"): sets what a drill starts from (catalogue::prepareDrill), lets pending events run and
    // shows the drill screen.
    virtual void showDrill(int level) = 0;
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

// What every screen is handed beside the parts of the shared state it uses (declared with the screen).
struct AppContext
{
    Services &services;
    Navigator &navigator;
};

#pragma once

#include "app/CurrentRun.h"
#include "app/PathsAndSettings.h"
#include "drill/Catalogue.h"
#include "drill/DrillRunState.h"
#include "drill/IdiomData.h"
#include "drill/LastDrill.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"
#include "roster/Roster.h"
#include "sound/SoundState.h"

// The state that all screens of the program share. The application owns exactly one AppState; the
// window hands each screen the parts it uses, by reference, and a test builds its own. Screens talk
// mostly by setting members here before they show the next screen and by reading them when they become
// active. Nothing here is saved as such: what must survive is written to the standards table and the
// results file.
//
// Each subsystem owns the part it keeps; a screen and the rules of a subsystem take the parts they use,
// never the whole state, so that only the start-up (the window, the splash and main()) sees it.
struct AppState
{
    app::PathsAndSettings settings;
    drill::Catalogue catalogue;
    app::CurrentRun run;
    drill::LastDrill lastDrill;
    records::Standards standards;
    records::Results results;
    records::Statistics statistics;
    roster::Roster roster;
    drill::IdiomData idioms;
    sound::SoundState sound;
    drill::DrillRunState drill;
};

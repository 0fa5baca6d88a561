#include "startup/forms/ScreenParts.h"

using hub::HubScreen;
using printing::WorksheetScreen;
using records::ResultScreen;
using roster::NameScreen;
using teacher::RecordsScreen;
using teacher::StandardsScreen;

namespace startup::parts {

NameScreen::Parts nameScreen(AppState &state)
{
    return {{state.settings, state.catalogue, state.standards, state.results, state.statistics, state.roster,
             state.run},
            state.sound};
}

HubScreen::Parts hubScreen(AppState &state)
{
    return {state.settings,  state.catalogue, state.run,        state.lastDrill,
            state.standards, state.results,   state.statistics, state.roster};
}

drill::DrillScreen::Parts drillScreen(AppState &state)
{
    return {state.settings, state.catalogue, state.run,       state.lastDrill, state.drill,
            state.idioms,   state.sound,     state.standards, state.results,   state.statistics};
}

ResultScreen::Parts resultScreen(AppState &state)
{
    return {{state.settings, state.catalogue, state.run, state.standards, state.results, state.statistics,
             state.lastDrill},
            state.sound};
}

WorksheetScreen::Parts worksheetScreen(AppState &state)
{
    return {state.settings, state.run, state.roster, state.idioms};
}

StandardsScreen::Parts standardsScreen(AppState &state)
{
    return {state.settings, state.standards};
}

RecordsScreen::Parts recordsScreen(AppState &state)
{
    return {state.settings, state.catalogue, state.standards};
}

} // namespace startup::parts

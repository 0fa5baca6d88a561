#pragma once

#include "drill/forms/DrillScreen.h"
#include "hub/forms/HubScreen.h"
#include "printing/forms/WorksheetScreen.h"
#include "records/forms/ResultScreen.h"
#include "roster/forms/NameScreen.h"
#include "startup/AppState.h"
#include "teacher/forms/RecordsScreen.h"
#include "teacher/forms/StandardsScreen.h"

// Each screen's parts of the one shared state: the window hands them to the screens it makes, and a test
// that makes a screen of its own takes them from its own state the same way.
namespace startup::parts {

roster::NameScreen::Parts nameScreen(AppState &state);
hub::HubScreen::Parts hubScreen(AppState &state);
drill::DrillScreen::Parts drillScreen(AppState &state);
records::ResultScreen::Parts resultScreen(AppState &state);
printing::WorksheetScreen::Parts worksheetScreen(AppState &state);
teacher::StandardsScreen::Parts standardsScreen(AppState &state);
teacher::RecordsScreen::Parts recordsScreen(AppState &state);

} // namespace startup::parts

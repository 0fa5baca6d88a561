#pragma once

#include "startup/forms/AppContext.h"

namespace drill {

// Starts a drill of state.run.currentLevel: clears the drill's running state, lets pending events run
// and shows the drill screen. The hub's start buttons and the result screen's "もう一度" call it.
void launchDrill(AppContext &context);

} // namespace drill

// The hub and the result screen start a drill by this name.
using drill::launchDrill;

#pragma once

class ScaledWindow;

// What screen readers and magnifiers learn of the scaled canvas (see ScaledWindow). The toolkit sees the
// canvas as a window of its own, 1024 x 768 units, that nothing shows: it would report it as a second
// top-level window, give each control its size in canvas units at a position scaled by the view,
// report controls scrolled out of their panel (the levels beyond the fifth) as showing, and the focus
// on the outer window. Installed once, before any interface is asked for, this answers for the canvas
// as it is seen: the canvas is a child of the view's viewport, every rectangle is where the control is
// drawn on the display, a control clipped away is off screen, and the focus is the focused control.
namespace scaledaccessible {

// Installs the answers (once) and renews what was already answered for the view and its canvas.
void install(ScaledWindow &view);

} // namespace scaledaccessible

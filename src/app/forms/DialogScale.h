#pragma once

class QWidget;

// The dialogs of the program (message boxes, the version box, the printer and file dialogs) are windows
// of their own beside the scaled canvas (see ScaledWindow). They are scaled here, in one place, by the
// canvas's factor, so that their text is as large as the text of the screen behind them.
namespace app::dialogscale {

// The window to make a dialog over `over` a child of. A widget of the canvas is drawn by the scaled
// window's graphics scene, and a window made as its child would be drawn into the scene with it: a
// modal dialog there would not stop the clicks on the screen behind it. So a dialog over the canvas
// belongs to the window that shows the canvas; over anything else, to `over` itself.
QWidget *dialogParent(QWidget *over);

// Scales a dialog that has not been shown yet by `factor`: its fonts (its own and every font set on one
// of its controls), the margins and spacing of its layouts, the sizes set on its controls, the icon of
// a message box, and its size when one was given. A dialog is scaled once; a factor of 1 or less leaves
// it as it is.
void scaleDialog(QWidget *dialog, double factor);

// The factor a dialog was scaled by (1 when it was not).
double scaleOf(const QWidget *dialog);

// Display pixels per unit of a widget of the canvas: the scale of the view that shows the canvas, 1 for
// a widget that no view shows. Pictures drawn for the screen are drawn at this resolution.
double displayScale(const QWidget *canvasWidget);

} // namespace app::dialogscale

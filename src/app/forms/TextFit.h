#pragma once

#include <QString>

class QLabel;

namespace app::controls {

// Shows `text` on a one-line label at the largest whole point size from `largest` down to `smallest` at
// which it fits the label's width. A text still too wide at `smallest` is cut after its last whole
// character with "…"; the whole text stays the label's tool tip and accessible name, so nothing is
// drawn through a glyph or under the control beside it.
void fitText(QLabel *label, const QString &text, int largest, int smallest, bool bold);

} // namespace app::controls

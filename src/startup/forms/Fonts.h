#pragma once

#include <QFont>

namespace fonts {

// A Japanese font for labels and buttons.
QFont ui(qreal pointSize, bool bold = false);

// A monospaced Japanese font in which a full-width character is exactly two half-width ones, for rows
// aligned with blanks and ideographic spaces.
QFont mono(qreal pointSize);

} // namespace fonts

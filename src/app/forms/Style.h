#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractItemView;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The one look of every screen: the palette, the card frame, the fonts and the functions the forms style
// their controls with. A form names what a control is (a card, the button to press next, a hint) and
// this module decides how that looks, so that the screens agree and a colour is changed in one place.
//
// The palette is calm: the season colour as the background where the screens use it, white panels,
// one accent for what the student must do next (the same blue on every screen), red only for a mistake
// or a lock. Every text colour meets WCAG AA (4.5 : 1) on the background it is used on.
//
// Printed sheets keep the colours of their paper; their painters do not use this palette.
namespace app::style {

// The palette, as 0xRRGGBB.
inline constexpr QRgb kCanvas = 0xEEF1F4;   // background of the screens that have no season colour
inline constexpr QRgb kPanel = 0xFFFFFF;    // cards and panels
inline constexpr QRgb kInk = 0x1F2A36;      // text
inline constexpr QRgb kQuietInk = 0x4A5663; // hints, captions and key hints
inline constexpr QRgb kLine = 0x8A96A3;     // borders of controls and lists
inline constexpr QRgb kSoftLine = 0xD5DBE1; // the card frame's border, grid lines
inline constexpr QRgb kPlain = 0xF1F3F5;    // buttons other than the next step
inline constexpr QRgb kPlainPressed = 0xD5D9DE;
inline constexpr QRgb kFixedCell = 0xE9ECEF; // header cells and fixed columns
inline constexpr QRgb kDisabled = 0xE4E7EB;
inline constexpr QRgb kDisabledInk = 0x5C6670;
inline constexpr QRgb kAccent = 0x1E6FD9; // what the student must do next
inline constexpr QRgb kAccentPressed = 0x1557B0;
inline constexpr QRgb kAccentInk = 0xFFFFFF;  // text on the accent
inline constexpr QRgb kAccentTint = 0xE3EDFB; // what has been chosen: selections, the chosen name
inline constexpr QRgb kMistake = 0xC62828;    // red: a mistake or a lock, and nothing else
inline constexpr QRgb kMistakeTint = 0xFFF1F1;
inline constexpr QRgb kMistakeInk = 0xFFFFFF; // text on the red
inline constexpr QRgb kSuccess = 0x2E7D32;    // a cleared level, the target line
inline constexpr QRgb kSuccessInk = 0xFFFFFF;
inline constexpr QRgb kCelebration = 0xFFF8E1; // the congratulation panel, with a gold frame
inline constexpr QRgb kCelebrationLine = 0xF9A825;
inline constexpr QRgb kTimeBar = 0xF2A33A;  // the drill's elapsed time
inline constexpr QRgb kFocusInk = 0x1F2A36; // the focus ring on an accent button

// The drill's tally lamps: passed runs, best times, the student's own bests.
inline constexpr QRgb kLampPass = 0x43A047;
inline constexpr QRgb kLampBest = 0x1E88E5;
inline constexpr QRgb kLampOwnBest = 0xFB8C00;

// The background pictures of the splash and the result screen.
inline constexpr QRgb kPaperShadow = 0x28000000; // black at 40 of 255
inline constexpr QRgb kPaperTop = 0xFFFDF6;
inline constexpr QRgb kPaperBottom = 0xF4EEDC;
inline constexpr QRgb kPaperFrame = 0x5A4A3A; // the ink frame of the splash sheet
inline constexpr QRgb kPaperInk = 0x202020;
inline constexpr QRgb kPaperQuietInk = 0x605040;
inline constexpr QRgb kSkyTop = 0xE3F2FD;
inline constexpr QRgb kSkyBottom = 0xFFFDE7;
inline constexpr QRgb kSun = 0xFFECB3;

inline constexpr int kCardRadius = 12;
inline constexpr int kButtonRadius = 10;

// "#rrggbb", for style sheets.
QString css(QRgb colour);

// A style sheet of a form with the palette's names in it: "@accent", "@ink", "@panel" and so on (the
// names of the constants above without their k, first letter small: kQuietInk is "@quietInk"). A name
// the palette does not have is left as it is and reported once with qWarning.
QString sheet(const QString &text);

// WCAG 2 relative luminance (0 for black, 1 for white) and the contrast ratio of two colours (1 to 21).
double relativeLuminance(const QColor &colour);
double contrastRatio(const QColor &a, const QColor &b);

// The text colour for a background: the ink, or white where the ink would not be read (the autumn and
// winter season colours).
QColor textOn(const QColor &background);

// Fonts. A Japanese font for labels and buttons, and a monospaced Japanese one in which a full-width
// character is exactly two half-width ones, for rows aligned with blanks and ideographic spaces. Each is
// the first of its list installed on the machine.
QFont font(qreal pointSize, bool bold = false);
QFont monoFont(qreal pointSize);

// A screen's background: the season colour (settings.seasonColour) where the screen uses it, else
// kCanvas. Text drawn straight on it takes textOn(colour).
void background(QWidget *screen, QColor colour);

// A white card: the panel colour, a soft border and the card radius.
void card(QFrame *frame);
// A panel over the screen (waiting panels, the password panel): a card with a strong border; the
// background is white unless a screen gives its own (the name screen's waiting panel takes the season
// colour), and the panel's labels take the text colour for it.
void raisedPanel(QFrame *panel, QColor colour = QColor::fromRgb(kPanel));

// The button for what the student must do next (start, O.K., print): filled with the accent. Marked with
// the dynamic property "accent" = true.
void accentButton(QPushButton *button, int radius = kButtonRadius);
// Every other button.
void plainButton(QPushButton *button, int radius = kButtonRadius - 2);
// A button that reads as a link (the version line).
void linkButton(QPushButton *button);

// Text in the ink, and quieter text (hints, captions, the key hints of the levels screen).
void ink(QWidget *label);
void quiet(QWidget *label);

// The red of a lock ("ロック" over a level's start button), a marker (the development layout) in ink.
void lockBadge(QLabel *label);
void marker(QLabel *label);

// Lists and tables on white (or the given background), with the chosen rows in the accent's tint.
void list(QAbstractItemView *view, QColor colour = QColor::fromRgb(kPanel));
// A picture of a sheet or a preview: white with a thin border.
void picture(QWidget *widget);
// An entry box; `next` frames it in the accent (the standards editor's box over its cell).
void entry(QLineEdit *box, bool next = false);

} // namespace app::style

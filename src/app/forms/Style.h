#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

class QAbstractItemView;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The one look of every screen: the palette, the style sheet generated from it, the fonts and the
// functions the forms style their controls with. A form names what a control is (a card, the button to
// press next, a hint) and this module decides how that looks, so that the screens agree and a colour is
// changed in one place.
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

// "#rrggbb", for style sheets.
QString css(QRgb colour);
// The colours a style sheet can name (below): the palette above but for the background pictures'.
QList<QRgb> paletteColours();

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

// The roles of the controls. Every screen is styled by one style sheet, generated once from the palette
// and installed on the program's windows (install); its rules are keyed by the dynamic property "role",
// whose values are these names, the same on every screen. A form names what a control is and this module
// decides how that looks, so that the screens agree and a colour is changed in one place.
enum class Role {
    Card,          // "card": a white card with a soft border (a label on one keeps its text off the border)
    Panel,         // "panel": a white panel over the screen with a strong border
    ColouredPanel, // "colouredPanel": a panel in a colour of the screen's own (see raisedPanel)
    StatusBar,     // "statusBar": the white strip along the top of the drill
    Notice,        // "notice": a notice over the screen, framed in the accent (the end of a drill)
    Choice,        // "choice": where the student chooses next, in the accent's tint (the reading's kana)
    MistakePanel,  // "mistakePanel": what a mistake shows, in the red's tint (the correct answer)
    Celebration,   // "celebration": the congratulation, with a gold frame
    Action,        // "action": the button for what the student must do next
    Plain,         // "plain": every other button
    Link,          // "link": a button that reads as a link
    Ink,           // "ink": text in the ink
    Caption,       // "caption": quieter text (hints, captions, key hints)
    Figure,        // "figure": a figure in bold ink (the drill's counts)
    Mistake,       // "mistake": text in the red of a mistake
    Box,           // "box": an answer box
    Correction,    // "correction": a box of the correct answer after a mistake
    Chosen,        // "chosen": what has been chosen (the chosen name)
    Cleared,       // "cleared": the green badge of a cleared level
    Lock,          // "lock": the red badge of a lock
    Marker,        // "marker": white on ink (the development layout)
    Note,          // "note": a text box on white (the standards editor's help)
    List,          // "list": a list, the chosen rows in the accent's tint
    MarkedList,    // "markedList": a list whose chosen rows are filled with the accent
    CardList,      // "cardList": a list without a border of its own, on a card
    Tiles,         // "tiles": a list whose items are tiles, the chosen ones framed in the accent
    Grid,          // "grid": a table with fixed header cells
    Picture,       // "picture": a picture of a sheet or a preview, white with a thin border
    Entry,         // "entry": an entry box (the property "next" = true frames it in the accent)
    Gauge,         // "gauge": the frame of the drill's time bar
    TimeBar,       // "timeBar": the elapsed time in it
    TargetLine,    // "targetLine": the target time's mark on it
    MinimumLine,   // "minimumLine": the minimum line's mark on it
    LampPass,      // "lampPass", "lampBest", "lampOwnBest": the drill's tally lamps, lit while the
    LampBest,      //   property "lit" is true
    LampOwnBest,
};

// Every role, in the order above.
QList<Role> roles();
// The name a role has in the style sheet ("card", "lampOwnBest").
QString roleName(Role role);

// The one style sheet of every screen, generated from the palette.
const QString &applicationSheet();
// How a control's role fills it: the radius of the rounded corners outside which its background may
// leave what is behind it to show, or -1 when the sheet does not fill the control with an opaque colour
// in every state (no background, a transparent one, one only while a property says so). Read from the
// sheet's rules for the role and the control's class.
int solidCorner(const QWidget &widget);

// Installs it on a window of the program: every control inside takes its look from its role. A window
// inside one that has it already (a dialog over the canvas) is left as it is.
void install(QWidget *window);

// Gives the control its role. A control already shown is styled again at once.
void setRole(QWidget *widget, Role role);

// A background in a colour the sheet cannot name: the season colour (settings.seasonColour) where a screen
// uses it, kCanvas on the others, a colour sample of a list. It goes through the palette (the window
// colour, filled in by the widget); text drawn straight on it takes textOn(colour).
void background(QWidget *widget, QColor colour);

// A native control straight on such a background (a scroll bar, a radio button) takes its parent's
// palette: under the sheet a control does not inherit it, and would be drawn in the toolkit's own shades.
void inheritColours(QWidget *control);

// A white card: the panel colour, a soft border and the card radius. A frame without a name is named
// "card".
void card(QFrame *frame);
// A panel over the screen (waiting panels, the password panel): a card with a strong border; the
// background is white unless a screen gives its own (the name screen's waiting panel takes the season
// colour), and the panel's labels take the text colour for it.
void raisedPanel(QFrame *panel, QColor colour = QColor::fromRgb(kPanel));

// The size of a button: the large ones of a screen's main step (start, O.K., print) have rounder corners.
enum class Size { Normal, Large };

// The button for what the student must do next (start, O.K., print): filled with the accent. The role
// "action" is what marks it.
void accentButton(QPushButton *button, Size size = Size::Normal);
// Every other button.
void plainButton(QPushButton *button, Size size = Size::Normal);
// A button that reads as a link (the version line).
void linkButton(QPushButton *button);

// Text in the ink, and quieter text (hints, captions, the key hints of the levels screen).
void ink(QWidget *label);
void quiet(QWidget *label);

// The red of a lock ("ロック" over a level's start button), a marker (the development layout) in ink.
void lockBadge(QLabel *label);
void marker(QLabel *label);

// The drill's tally lamps.
enum class Lamp { Pass, Best, OwnBest };
void lamp(QLabel *label, Lamp kind, bool lit);

// Lists and tables on white (or the given background, through the palette's base colour), with the chosen
// rows in the accent's tint.
void list(QAbstractItemView *view, QColor colour = QColor::fromRgb(kPanel));
// A picture of a sheet or a preview: white with a thin border.
void picture(QWidget *widget);
// An entry box; `next` frames it in the accent (the standards editor's box over its cell).
void entry(QLineEdit *box, bool next = false);

} // namespace app::style

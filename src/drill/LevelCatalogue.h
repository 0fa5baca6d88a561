#pragma once

#include "app/CurrentRun.h"
#include "drill/Catalogue.h"
#include "drill/DrillRunState.h"
#include "drill/LastDrill.h"

#include <QString>

// The level catalogue: what this drill program offers. Twenty levels; an odd level is practice (its
// name carries "練"), an even level a test; (level + 1) / 2 is the range of idioms a level drills.
namespace drill::catalogue {

inline constexpr int kLevelCount = 20;

// Title, print mode and the open-levels setting, made once at start-up.
void applyStartupSettings(Catalogue &catalogue);

// Level count, final level, names and recorded flags, made each time a student confirms a name.
void setUpLevels(Catalogue &catalogue);

// "範囲１練", "範囲１", …, "範囲１０"; empty outside 1 to 20.
QString levelName(int level);

int rangeNumber(int level);

// A level whose caption holds "練" is practice: its drills are not recorded.
bool isPracticeLevel(const QString &levelCaption);
// The same for a level of the catalogue by its number; a number outside the catalogue's slots is not.
bool isPracticeLevel(const Catalogue &catalogue, int level);

// Whether the drill screen runs the level as flash cards: an odd level, or one whose caption holds "練".
bool runsAsPractice(const Catalogue &catalogue, int level);

// Whether a finished drill of the level is judged and recorded (its recorded flag is 1).
bool isRecordedLevel(const Catalogue &catalogue, int level);

// The number of levels the screens and tables show: the catalogue's, within 0 to 35.
int levelCount(const Catalogue &catalogue);

// The catalogue's last level, 0 to 35 (0 before the levels are set up).
int finalLevel(const Catalogue &catalogue);
// Whether `level` is the catalogue's last level.
bool isFinalLevel(const Catalogue &catalogue, int level);

// The title of the program's message boxes: the catalogue's title, "四字熟語" before it is made.
QString messageTitle(const Catalogue &catalogue);

// What starting a drill of `level` sets (the hub's start buttons and level titles, "もう一度"): the run's
// current level, and the drill's running state cleared. The navigator does it as it shows the drill.
void prepareDrill(app::CurrentRun &run, LastDrill &lastDrill, DrillRunState &drill, int level);

} // namespace drill::catalogue

// The other folders name the catalogue by its short name.
namespace catalogue = drill::catalogue;

#pragma once

#include "app/AppState.h"

// The level catalogue: what this drill program offers. Twenty levels; an odd level is practice (its
// name carries "練"), an even level a test; (level + 1) / 2 is the range of idioms a level drills.
namespace catalogue {

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
// The same by the level's number in the catalogue (false outside 0 to 35).
bool isPracticeLevel(const Catalogue &catalogue, int level);

// The catalogue's last level, 0 to 35 (0 before the levels are set up).
int finalLevel(const Catalogue &catalogue);
// Whether `level` is the catalogue's last level.
bool isFinalLevel(const Catalogue &catalogue, int level);

// Clears the drill's running state before each drill (the hub's start buttons, "もう一度").
void resetDrillRunState(AppState &state);

} // namespace catalogue

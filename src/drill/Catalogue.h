#pragma once

#include "app/Tables.h"

#include <QString>

namespace drill {

// What this drill program offers (the level catalogue).
struct Catalogue
{
    QString programTitle;             // "四字熟語"
    int levelCount = 0;               // 20: the hub lists levels 1 to 20
    Value finalLevel;                 // the last level (20)
    PerLevel<QString> levelNames{};   // a caption containing "練" marks a practice level
    PerLevel<qint16> recordedLevel{}; // 1 when a finished drill of the level is judged and recorded
    qint16 printMode = 0;             // 2: the hub's print button is always shown; 1: for teachers only
    bool allLevelsOpen = false;       // every level can be started whether or not the one before is cleared
};

} // namespace drill

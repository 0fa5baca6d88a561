#pragma once

#include "drill/Catalogue.h"
#include "drill/DrillRunState.h"
#include "drill/DrillSession.h"
#include "drill/LastDrill.h"

// How a drill of a level starts, as the drill screen's initial settings make it: the mode it runs in,
// the rules its session runs by, and the time bar of the status panel. A recorded level's time limit is
// five times its minimum time, and the time bar's frame stands for that limit.
namespace drill {

// The level's two times from the standards table.
struct LevelTimes
{
    qint32 targetTime = 0;
    qint32 minimumTime = 0;
};

// The time bar: the elapsed bar grows inside the frame's border from its left; the target and
// minimum-line markers start at the frame's left edge and reach their times on the scale.
struct TimeBar
{
    static constexpr int kBorder = 2;
    int frameWidth = 0;
    double scale = 0.0;    // frame width per second of the time limit
    int targetMarker = 0;  // width of the target marker
    int minimumMarker = 0; // width of the minimum-line marker

    // The elapsed bar's width at a tick: the seconds on the scale, the whole inside once the limit is
    // passed, never outside the frame.
    int elapsedWidth(const DrillSession::Tick &tick) const;
};

struct LevelStart
{
    bool practice = false; // flash cards: an odd level, or one whose caption holds "練"
    bool recorded = false; // the elapsed label shows the clock, and the time bar was set up
    LevelRules rules;
    TimeBar timeBar;
};

// The start of a drill of `level`: the end of the last drill is forgotten (endingInProgress), and for
// a recorded level the shared timeLimit and timeBarScale are set, for a time frame `timeFrameWidth`
// wide. At a level that is not recorded they keep what the start of the drill left in them.
LevelStart startLevel(DrillRunState &drill, LastDrill &lastDrill, const Catalogue &catalogue, int level,
                      const LevelTimes &times, int timeFrameWidth);

} // namespace drill

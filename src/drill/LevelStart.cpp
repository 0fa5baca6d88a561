#include "drill/LevelStart.h"

#include "drill/DrillRules.h"
#include "drill/LevelCatalogue.h"

#include <algorithm>

namespace drill {

int TimeBar::elapsedWidth(const DrillSession::Tick &tick) const
{
    const int inside = frameWidth - 2 * kBorder;
    if (tick.pastLimit)
        return inside;
    return std::clamp(int(tick.elapsed * scale), 0, inside);
}

LevelStart startLevel(DrillRunState &drill, LastDrill &lastDrill, const Catalogue &catalogue, int level,
                      const LevelTimes &times, int timeFrameWidth)
{
    lastDrill.endingInProgress = false;
    LevelStart start;
    start.practice = catalogue::runsAsPractice(catalogue, level);
    start.recorded = catalogue::isRecordedLevel(catalogue, level);
    if (start.recorded) {
        drill.timeLimit = timeLimitFor(times.minimumTime);
        drill.timeBarScale = drill.timeLimit > 0 ? double(timeFrameWidth) / drill.timeLimit : 0.0;
        start.timeBar.targetMarker = std::min(timeFrameWidth, int(times.targetTime * drill.timeBarScale));
        start.timeBar.minimumMarker = std::min(timeFrameWidth, int(times.minimumTime * drill.timeBarScale));
    }
    start.timeBar.frameWidth = timeFrameWidth;
    start.timeBar.scale = drill.timeBarScale;
    start.rules.timeLimit = drill.timeLimit;
    start.rules.targetTime = times.targetTime;
    start.rules.minimumTime = times.minimumTime;
    start.rules.practiceLevel = catalogue::isPracticeLevel(catalogue, level);
    start.rules.recordedLevel = start.recorded;
    return start;
}

} // namespace drill

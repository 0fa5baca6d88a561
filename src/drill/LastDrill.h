#pragma once

#include <QtGlobal>

namespace drill {

// The time a timed-out drill is judged and recorded with (the results file and the statistics read
// it as records::kTimeOut).
inline constexpr qint32 kTimedOutTime = 99999;

// The result of the last drill and its judgement.
struct LastDrill
{
    qint32 elapsedTime = 0;        // measured time in whole seconds, penalties included
    qint16 drillEndReason = 0;     // 0 finished, 1 time-out
    bool endingInProgress = false; // the end-of-drill sequence is running; a second request is ignored
    qint32 resultTime =
        0; // the time judged and recorded: elapsedTime, or drill::kTimedOutTime after a time-out
    bool newPersonalBest = false;
    bool newOverallBest = false;
    bool alreadyCleared = false; // before this drill the student had already cleared the level
    qint16 todayTotalCount = 0;  // the student's drills today over all levels
};

} // namespace drill

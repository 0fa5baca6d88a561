#pragma once

#include <QtGlobal>

// The result of the last drill and its judgement.
struct LastDrill
{
    qint32 elapsedTime = 0;        // measured time in whole seconds, penalties included
    qint16 drillEndReason = 0;     // 0 finished, 1 time-out
    bool endingInProgress = false; // the end-of-drill sequence is running; a second request is ignored
    qint32 resultTime = 0; // the time judged and recorded: elapsedTime, or records::kTimeOut after a time-out
    bool newPersonalBest = false;
    bool newOverallBest = false;
    bool alreadyCleared = false; // before this drill the student had already cleared the level
    qint16 todayTotalCount = 0;  // the student's drills today over all levels
};

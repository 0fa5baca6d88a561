#pragma once

#include "drill/Catalogue.h"
#include "drill/LastDrill.h"
#include "records/Standards.h"

#include <QList>
#include <QString>

// What the result screen shows after a recorded drill, worked out from the shared state once the
// statistics have been recomputed.
namespace records::result_screen {

// A number with a blank in the sign position when it is not negative (" 3", "-1").
QString signedNumber(qint64 n);

QString levelCountText(qint64 count); // " (このレベル　 3回目)"
QString dayCountText(qint64 total);   // "（ 5回目)"
QString timeText(qint32 resultTime);  // "今の成績：85秒", or "記録なし" after a time-out
QString pointsText(qint32 resultTime, qint32 targetTime, qint32 multiplier); // "獲得ポイント：11点×3→33点"

enum class Message { None, TimeUp, PersonalBest, OverallBest };
Message message(const drill::LastDrill &lastDrill);
QString messageText(Message message);

// The sound that goes with the result: a kind of the sound set (8 personal best, 10 within the
// minimum line), a fixed file ("最高1.wav"), or nothing (kind 0, empty file).
struct Sound
{
    int kind = 0;
    QString fixedFile;
};
Sound sound(const drill::LastDrill &lastDrill, qint32 minimumTime);

// Every sound the result screen plays, in order: the result's sound (when there is one), then
// "合格.wav" when the final level has just been cleared for the first time (cleared now, not
// lastDrill.alreadyCleared before the drill).
QList<Sound> sounds(const drill::LastDrill &lastDrill, qint32 minimumTime, bool cleared, bool finalLevel);

// Whether the final level's congratulation applies: the level is the final one and no level is set
// up as never to be cleared (a clear count of records::kNoRequirement).
bool congratulationApplies(const drill::Catalogue &catalogue, const Standards &standards, int level);

// "もう一度" after the half-second timer: withheld while the level is over-practised and cleared,
// unless the final level has been cleared. The label may change to "次のレベルへ進みましょう".
struct AgainDecision
{
    bool showAgain = true;
    enum class Label { Keep, Hide, GoOn } label = Label::Keep;
};
AgainDecision againDecision(bool overPractised, bool cleared, bool isFinalLevel, bool finalLevelCleared);

} // namespace records::result_screen

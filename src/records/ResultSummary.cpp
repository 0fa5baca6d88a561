#include "records/ResultSummary.h"

#include "drill/LevelCatalogue.h"
#include "records/Judgement.h"

namespace records::result_screen {

QString signedNumber(qint64 n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

QString levelCountText(qint64 count)
{
    return QStringLiteral(" (このレベル　") + signedNumber(count) + QStringLiteral("回目)");
}

QString dayCountText(qint64 total)
{
    return QStringLiteral("（") + signedNumber(total) + QStringLiteral("回目)");
}

QString timeText(qint32 resultTime)
{
    if (resultTime >= records::kZeroPointLimit)
        return QStringLiteral("記録なし");
    return QStringLiteral("今の成績：") + QString::number(resultTime) + QStringLiteral("秒");
}

QString pointsText(qint32 resultTime, qint32 targetTime, qint32 multiplier)
{
    // runPoints gives nothing from the zero-point limit on (a time-out, no record).
    const double base = records::runPoints(resultTime, targetTime, false);
    const qint32 points = records::addedPoints(base, multiplier);
    return QStringLiteral("獲得ポイント：%1点×%2→%3点").arg(qint64(base)).arg(multiplier).arg(points);
}

Message message(const drill::LastDrill &d)
{
    if (d.drillEndReason == 1)
        return Message::TimeUp;
    if (d.newOverallBest)
        return Message::OverallBest;
    if (d.newPersonalBest)
        return Message::PersonalBest;
    return Message::None;
}

QString messageText(Message m)
{
    switch (m) {
    case Message::TimeUp:
        return QStringLiteral("時間切れ");
    case Message::PersonalBest:
        return QStringLiteral("新記録おめでとう");
    case Message::OverallBest:
        return QStringLiteral("！！！最高新記録！！！");
    case Message::None:
        break;
    }
    return {};
}

Sound sound(const drill::LastDrill &d, qint32 minimumTime)
{
    switch (message(d)) {
    case Message::TimeUp:
        return {};
    case Message::PersonalBest:
        return {8, {}};
    case Message::OverallBest:
        return {0, QStringLiteral("最高1.wav")};
    case Message::None:
        break;
    }
    if (d.resultTime <= minimumTime)
        return {10, {}};
    return {};
}

QList<Sound> sounds(const drill::LastDrill &d, qint32 minimumTime, bool cleared, bool finalLevel)
{
    QList<Sound> list;
    const Sound first = sound(d, minimumTime);
    if (first.kind != 0 || !first.fixedFile.isEmpty())
        list.append(first);
    if (cleared && finalLevel && !d.alreadyCleared)
        list.append({0, QStringLiteral("合格.wav")});
    return list;
}

bool congratulationApplies(const drill::Catalogue &catalogue, const Standards &standards, int level)
{
    if (!catalogue::isFinalLevel(catalogue, level))
        return false;
    for (int l = 1; l <= kMaxLevel; ++l) {
        if (standards.clearCount[l] == records::kNoRequirement)
            return false;
    }
    return true;
}

AgainDecision againDecision(bool overPractised, bool cleared, bool isFinalLevel, bool finalLevelCleared)
{
    AgainDecision d;
    if (!overPractised || !cleared)
        return d;
    if (isFinalLevel) {
        d.label = AgainDecision::Label::Hide;
        return d;
    }
    if (!finalLevelCleared) {
        d.label = AgainDecision::Label::GoOn;
        d.showAgain = false;
    }
    return d;
}

} // namespace records::result_screen

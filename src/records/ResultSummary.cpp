#include "records/ResultSummary.h"

#include "records/Judgement.h"

namespace result_screen {

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
    if (resultTime > 99997)
        return QStringLiteral("記録なし");
    return QStringLiteral("今の成績：") + QString::number(resultTime) + QStringLiteral("秒");
}

QString pointsText(qint32 resultTime, qint32 targetTime, qint32 multiplier)
{
    const qint64 base = resultTime > 99997 ? 0 : qint64(records::runPoints(resultTime, targetTime, false));
    const qint64 points = qint64(double(multiplier) * double(base));
    return QStringLiteral("獲得ポイント：%1点×%2→%3点").arg(base).arg(multiplier).arg(points);
}

Message message(const LastDrill &d)
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

Sound sound(const LastDrill &d, qint32 minimumTime)
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

bool congratulationApplies(const Catalogue &catalogue, const Standards &standards, int level)
{
    if (level != int(catalogue.finalLevel.toDouble()))
        return false;
    for (int l = 1; l <= kMaxLevel; ++l) {
        if (standards.clearCount[l] == 9999)
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

} // namespace result_screen

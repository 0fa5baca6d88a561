#include "drill/DrillSession.h"

#include "drill/DrillRules.h"

namespace drill {

DrillSession::DrillSession(LastDrill &lastDrill, platform::Clock &clock, const LevelRules &rules)
    : m_lastDrill(lastDrill), m_clock(clock), m_rules(rules)
{
}

void DrillSession::start()
{
    m_startMs = m_clock.monotonicMs();
}

int DrillSession::elapsed() const
{
    return elapsedSeconds(m_clock.monotonicMs(), m_startMs);
}

void DrillSession::penalise(int seconds)
{
    m_startMs -= qint64(seconds) * 1000;
}

DrillSession::Tick DrillSession::tick()
{
    Tick t;
    t.elapsed = elapsed();
    m_lastDrill.elapsedTime = t.elapsed;
    t.lampsOut = lampsToPutOut(t.elapsed, m_rules.targetTime, m_rules.minimumTime);
    t.pastLimit = t.elapsed >= m_rules.timeLimit;
    // A judgement under way (the correction panel included) holds the time-out back until the next
    // question has been made.
    if (t.pastLimit && !m_busy && !m_lastDrill.endingInProgress) {
        m_lastDrill.drillEndReason = 1;
        t.timeOut = true;
    }
    return t;
}

DrillSession::End DrillSession::beginEnd()
{
    End end;
    if (m_lastDrill.endingInProgress)
        return end;
    m_lastDrill.endingInProgress = true;
    end.timeUp = timedOut();
    if (m_rules.practiceLevel)
        end.then = End::Then::BackToHub;
    else if (!m_rules.recordedLevel)
        end.then = End::Then::Stay;
    else
        end.then = End::Then::Record;
    return end;
}

void DrillSession::fixResultTime()
{
    if (!timedOut())
        m_lastDrill.elapsedTime = elapsed();
    m_lastDrill.resultTime = timedOut() ? kTimedOutTime : m_lastDrill.elapsedTime;
}

} // namespace drill

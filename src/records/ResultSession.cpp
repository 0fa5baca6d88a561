#include "records/ResultSession.h"

#include "drill/LevelCatalogue.h"
#include "records/Judgement.h"
#include "records/Statistics.h"

#include <algorithm>

namespace records {

using namespace result_screen;

ResultSession::ResultSession(const ResultScreenState &state, Services &services)
    : m_state(state), m_services(services)
{
}

int ResultSession::level() const
{
    return std::clamp<int>(m_state.run.currentLevel, 0, kMaxLevel);
}

bool ResultSession::levelCleared() const
{
    return isCleared(m_state.standards, m_state.statistics, m_state.run.currentLevel,
                     m_state.run.studentNumber);
}

void ResultSession::begin()
{
    m_view.levelCount =
        levelCountText(todayLevelRuns(m_state.statistics, level(), m_state.run.studentNumber) + 1);
}

app::Status ResultSession::recompute()
{
    // After a failure that does not end the program the screen goes on with the sums of the last reading.
    app::Status status = computeStatistics({m_state.settings, m_state.catalogue}, m_state.standards,
                                           m_state.results, m_state.statistics, m_services);
    m_cleared = levelCleared();
    if (m_cleared) {
        m_view.clearedShown = true;
        if (congratulationApplies(m_state.catalogue, m_state.standards, level()))
            m_view.congratulationShown = true;
    }
    return status;
}

void ResultSession::fillIn()
{
    const int l = level();
    const drill::LastDrill &drill = m_state.lastDrill;
    m_view.points =
        pointsText(drill.resultTime, m_state.standards.targetTime[l], m_state.standards.pointMultiplier[l]);
    m_view.time = timeText(drill.resultTime);
    m_view.name = m_state.run.studentName.trimmed();
    m_view.title = m_state.catalogue.programTitle;
    m_view.levelName = m_state.catalogue.levelNames[l];
    m_view.levelCount = levelCountText(todayLevelRuns(m_state.statistics, l, m_state.run.studentNumber));
    m_state.lastDrill.todayTotalCount =
        keptDayTotal(todayTotalRuns(m_state.statistics, m_state.run.studentNumber));
    m_view.dayCount = dayCountText(m_state.lastDrill.todayTotalCount);
}

QList<Sound> ResultSession::announce()
{
    const Message m = message(m_state.lastDrill);
    if (m != Message::None) {
        m_view.message = messageText(m);
        m_view.messageShown = true;
    }
    return sounds(m_state.lastDrill, m_state.standards.minimumTime[level()], m_cleared,
                  catalogue::isFinalLevel(m_state.catalogue, level()));
}

void ResultSession::finish()
{
    if (!(m_cleared && catalogue::isFinalLevel(m_state.catalogue, level())))
        m_view.congratulationShown = false;
    m_state.lastDrill.newPersonalBest = false;
    m_state.lastDrill.newOverallBest = false;
    m_activated = true;
}

void ResultSession::timerTick()
{
    m_view.congratulationShown = false;
    m_view.menuShown = true;
    const int drilled = m_state.run.currentLevel;
    const AgainDecision decision = againDecision(
        isOverPractised(m_state.standards, m_state.statistics, drilled, m_state.run.studentNumber),
        levelCleared(), catalogue::isFinalLevel(m_state.catalogue, drilled), m_state.run.finalLevelCleared);
    switch (decision.label) {
    case AgainDecision::Label::Keep:
        break;
    case AgainDecision::Label::Hide:
        m_view.cleared.clear();
        m_view.clearedShown = false;
        break;
    case AgainDecision::Label::GoOn:
        m_view.cleared = QStringLiteral("次のレベルへ進みましょう");
        break;
    }
    m_view.againShown = decision.showAgain;
}

void ResultSession::menu()
{
    m_view.menuEnabled = false;
}

int ResultSession::again()
{
    m_view.menuEnabled = false;
    m_view.againEnabled = false;
    return m_state.run.currentLevel;
}

} // namespace records

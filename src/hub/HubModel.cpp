#include "hub/HubModel.h"

#include "drill/LevelCatalogue.h"
#include "hub/HubLabels.h"
#include "hub/HubRules.h"

#include <algorithm>

namespace hub {

namespace {
constexpr int kPeriodCount = 5;
} // namespace

HubModel::HubModel(const HubSources &sources)
    : m_sources(sources), m_levelCount(catalogue::levelCount(sources.catalogue)),
      m_captions(listChoiceCaptionsForTimes()), m_period(kDefaultPeriod),
      m_gradeItems(hub::gradeFilterItems())
{
}

int HubModel::scrollMaximum() const
{
    return m_levelCount > kColumnsInView ? m_levelCount - (kColumnsInView - 1) : 1;
}

int HubModel::scrollPosition() const
{
    return m_sources.run.hubScrollPosition;
}

void HubModel::scrollTo(int position)
{
    m_sources.run.hubScrollPosition = position;
}

void HubModel::beginActivation()
{
    m_keyboardReady = false;
    m_captions = listChoiceCaptionsOnActivation();
}

HubView HubModel::activate()
{
    app::CurrentRun &run = m_sources.run;
    if (run.hubScrollPosition <= 0 || run.hubScrollPosition > scrollMaximum())
        run.hubScrollPosition = 1;

    // What was chosen here stays across drills until the name screen is shown again.
    if (run.hubGradeFilter.isEmpty())
        run.hubGradeFilter = run.gradeGroup;
    m_gradeItems = hub::gradeFilterItems();
    int group = int(m_gradeItems.indexOf(run.hubGradeFilter));
    if (group < 0 && !run.hubGradeFilter.isEmpty()) {
        m_gradeItems << run.hubGradeFilter;
        group = int(m_gradeItems.size()) - 1;
    }
    m_gradeIndex = std::max(group, 0);
    if (run.hubPeriod < 1 || run.hubPeriod > kPeriodCount)
        run.hubPeriod = kDefaultPeriod;
    m_period = run.hubPeriod;

    m_display = Display::Points;
    m_displayMode = 2;
    m_listChoice = 1;
    return view();
}

HubView HubModel::chooseDisplay(int option)
{
    switch (option) {
    case 0:
        m_display = Display::Times;
        m_displayMode = 1;
        m_captions = listChoiceCaptionsForTimes();
        break;
    case 1:
        m_display = Display::Points;
        m_displayMode = 2;
        m_captions = listChoiceCaptionsForPoints();
        break;
    case 2:
        // The list choices keep their captions and the period's runs their display mode.
        m_display = Display::PersonalTimes;
        break;
    default:
        break;
    }
    return view();
}

std::optional<HubView> HubModel::chooseList(int choice)
{
    if (!listChoicesEnabled() || choice < 1 || choice > 3)
        return std::nullopt;
    m_listChoice = choice;
    return view();
}

std::optional<HubView> HubModel::choosePeriod(int period)
{
    if (!periodShown() || period < 1 || period > kPeriodCount)
        return std::nullopt;
    m_period = period;
    m_sources.run.hubPeriod = period;
    return view();
}

HubView HubModel::chooseGradeFilter(int index)
{
    if (index >= 0 && index < m_gradeItems.size())
        m_gradeIndex = index;
    m_sources.run.hubGradeFilter = gradeFilter();
    return view();
}

HubView HubModel::view() const
{
    if (m_display == Display::PersonalTimes)
        return HubView::PersonalTimes;
    if (m_listChoice == 3)
        return HubView::PeriodRuns;
    if (m_displayMode == 1)
        return m_listChoice == 1 ? HubView::BestTimes : HubView::TodayRuns;
    return m_listChoice == 1 ? HubView::AccumulatedPoints : HubView::TodayPoints;
}

int HubModel::recordsToRead(HubView view) const
{
    switch (view) {
    case HubView::TodayRuns:
        return kTodayRecords;
    case HubView::PeriodRuns:
    case HubView::PersonalTimes:
        return kPeriodRecords;
    default:
        return 0;
    }
}

RowStudents HubModel::rowStudents() const
{
    return rowStudentsFor(m_sources.roster, m_sources.run.studentNumber, gradeFilter());
}

namespace {
View viewLists(const HubSources &s, HubView view, const RowStudents &students,
               const QList<records::ResultRecord> &runs, QDate today, int period, int displayMode,
               const LevelProgress &progress)
{
    switch (view) {
    case HubView::BestTimes:
        return bestTimeView(s.catalogue, s.results, students, progress);
    case HubView::AccumulatedPoints:
        return pointsView(s.catalogue, s.statistics, students, PointsOrder::Accumulated, progress);
    case HubView::TodayPoints:
        return pointsView(s.catalogue, s.statistics, students, PointsOrder::Today, progress);
    case HubView::TodayRuns:
        return todayRunsView(s.catalogue, s.standards, runs, students, today);
    case HubView::PeriodRuns:
        return periodRunsView(s.catalogue, s.standards, runs, students, today, period,
                              displayMode == 1 ? RunDisplay::Times : RunDisplay::Points);
    case HubView::PersonalTimes:
        return personalTimesView(s.catalogue, runs, students, today);
    }
    return {};
}
} // namespace

View HubModel::lists(HubView view, const QList<records::ResultRecord> &runs, QDate today,
                     const LevelProgress &progress)
{
    View lists = viewLists(m_sources, view, rowStudents(), runs, today, m_period, m_displayMode, progress);
    m_colours.resize(std::max(m_colours.size(), lists.colours.size()), ListColour::None);
    for (std::size_t level = 0; level < lists.colours.size(); ++level) {
        if (lists.colours[level] != ListColour::None)
            m_colours[level] = lists.colours[level];
    }
    return lists;
}

ListColour HubModel::listColour(int level) const
{
    return level >= 0 && std::size_t(level) < m_colours.size() ? m_colours[std::size_t(level)]
                                                               : ListColour::None;
}

ColumnTexts HubModel::columnTexts(int level) const
{
    return hub::columnTexts(m_sources.catalogue, m_sources.standards, m_sources.statistics,
                            m_sources.run.studentNumber, level);
}

void HubModel::endListWork()
{
    m_availability =
        levelAvailability(m_sources.catalogue, m_sources.standards, m_sources.statistics, m_sources.run);
    m_sources.run.finalLevelCleared = m_availability.finalLevelCleared;
    m_listsReady = true;
}

HubModel::KeyOutcome HubModel::key(int qtKey, bool control, bool alt)
{
    if (!m_keyboardReady || m_passwordPanelOpen)
        return KeyOutcome::Pass;
    const HubKey action = hubKey(qtKey, control, alt);
    switch (action.action) {
    case HubKey::Action::StartLevel:
        m_keyLevel = action.level;
        return action.level <= m_levelCount && startEnabled(action.level) ? KeyOutcome::Start
                                                                          : KeyOutcome::Taken;
    case HubKey::Action::Back:
        return backEnabled() ? KeyOutcome::Back : KeyOutcome::Taken;
    case HubKey::Action::None:
        break;
    }
    return KeyOutcome::Pass;
}

bool HubModel::start(int level)
{
    if (m_leaving || m_passwordPanelOpen || level < 1 || level > m_levelCount || !startEnabled(level))
        return false;
    leave();
    return true;
}

bool HubModel::back()
{
    if (m_leaving || !backEnabled())
        return false;
    leave();
    return true;
}

void HubModel::leave()
{
    m_leaving = true;
    m_keyboardReady = false;
}

} // namespace hub

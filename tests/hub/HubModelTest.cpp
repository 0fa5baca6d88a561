#include "hub/HubModel.h"
#include "drill/LevelCatalogue.h"
#include "hub/HubLabels.h"
#include "platform/DateSerial.h"
#include "records/ResultRecord.h"
#include "startup/AppState.h"

#include "hub/QStringPrinter.h"

#include <Qt>

#include <gtest/gtest.h>

#include <memory>

using namespace hub;

namespace {
const QDate kHubToday(2026, 12, 8);

// The twenty levels of the drill, all of them asking for points; student 22 is the student of the run.
struct HubModelSchool
{
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    HubModelSchool()
    {
        AppState &s = *state;
        catalogue::applyStartupSettings(s.catalogue);
        catalogue::setUpLevels(s.catalogue);
        s.catalogue.allLevelsOpen = false;
        s.run.studentNumber = 22;
        for (int level = 1; level <= 20; ++level) {
            s.standards.clearCount[std::size_t(level)] = 3;
            s.standards.clearPoints[std::size_t(level)] = 30;
            s.standards.overPracticeCountLimit[std::size_t(level)] = 5;
        }
        s.results.personalBest.fill(99999);
        s.roster.currentSchoolYear = 2026;
        s.roster.rosterCount = 1;
        s.roster.rosterNumbers[1] = 22;
        s.roster.studentNames[22] = QStringLiteral("石田") + QString(18, u' ');
        s.roster.studentBirthYears[22] = 2013;
    }
    HubSources sources()
    {
        AppState &s = *state;
        return {s.run, s.catalogue, s.standards, s.results, s.statistics, s.roster};
    }
    // Level 2 cleared and practised up to its limit: locked, and level 4 open behind it.
    void overPractiseLevelTwo()
    {
        records::Statistics &st = state->statistics;
        st.passPeriodCount(2, 22) = 3;
        st.passPeriodPoints(2, 22) = 30;
        st.overPracticePeriodCount(2, 22) = 5;
    }
};

records::ResultRecord runToday(int level, qint32 time)
{
    return records::newRecord(platform::dateSerial(kHubToday), 0.5, 22, qint16(level), time,
                              QStringLiteral("12345"));
}

// A model as an activation leaves it: the lists built, the keys working.
void activate(HubModel &model)
{
    model.beginActivation();
    model.activate();
    model.beginListWork();
    model.endListWork();
    model.finishActivation();
}
} // namespace

TEST(HubModelActivation, PointsFirstWithTheFilterAndPeriodChosenSinceTheNameScreen)
{
    HubModelSchool school;
    app::CurrentRun &run = school.state->run;
    run.gradeGroup = QStringLiteral("小３");
    HubModel model(school.sources());
    model.beginActivation();
    EXPECT_FALSE(model.keyboardReady());
    EXPECT_EQ(model.listChoiceCaptions(), listChoiceCaptionsOnActivation());
    EXPECT_EQ(model.activate(), HubView::AccumulatedPoints);
    EXPECT_EQ(model.display(), HubModel::Display::Points);
    EXPECT_EQ(model.displayMode(), 2);
    EXPECT_EQ(model.listChoice(), 1);
    EXPECT_FALSE(model.graphShown());
    EXPECT_FALSE(model.periodShown());
    // Nothing chosen since the name screen: its grade group and one month.
    EXPECT_EQ(model.gradeFilter(), QStringLiteral("小３"));
    EXPECT_EQ(run.hubGradeFilter, QStringLiteral("小３"));
    EXPECT_EQ(model.period(), 3);
    EXPECT_EQ(run.hubPeriod, 3);
    EXPECT_EQ(model.gradeFilterItems(), gradeFilterItems());

    // What was chosen in an earlier showing is kept; a period out of range is not.
    run.hubGradeFilter = QStringLiteral("中１");
    run.hubPeriod = 1;
    HubModel again(school.sources());
    again.activate();
    EXPECT_EQ(again.gradeFilter(), QStringLiteral("中１"));
    EXPECT_EQ(again.gradeFilterIndex(), int(gradeFilterItems().indexOf(QStringLiteral("中１"))));
    EXPECT_EQ(again.period(), 1);
    run.hubPeriod = 6;
    again.activate();
    EXPECT_EQ(again.period(), 3);

    // A grade group that is not among the filter's items becomes the last of them.
    run.hubGradeFilter.clear();
    run.gradeGroup = QStringLiteral("家族");
    HubModel family(school.sources());
    family.activate();
    EXPECT_EQ(family.gradeFilterItems().size(), gradeFilterItems().size() + 1);
    EXPECT_EQ(family.gradeFilterIndex(), family.gradeFilterItems().size() - 1);
    EXPECT_EQ(family.gradeFilter(), QStringLiteral("家族"));

    // Without a grade group the filter shows its first item and keeps nothing.
    run.hubGradeFilter.clear();
    run.gradeGroup.clear();
    HubModel none(school.sources());
    none.activate();
    EXPECT_EQ(none.gradeFilter(), QStringLiteral("全学年"));
    EXPECT_TRUE(run.hubGradeFilter.isEmpty());
}

TEST(HubModelActivation, TheFirstVisibleColumnIsKeptWhileInRange)
{
    HubModelSchool school;
    app::CurrentRun &run = school.state->run;
    HubModel model(school.sources());
    EXPECT_EQ(model.scrollMaximum(), 17); // levels 17 to 20 in view at the end
    for (const auto &[kept, shown] : {std::pair{0, 1}, {5, 5}, {17, 17}, {18, 1}, {30, 1}}) {
        run.hubScrollPosition = kept;
        model.activate();
        EXPECT_EQ(model.scrollPosition(), shown) << kept;
        EXPECT_EQ(run.hubScrollPosition, shown) << kept;
    }
    model.scrollTo(7);
    EXPECT_EQ(run.hubScrollPosition, 7);

    school.state->catalogue.levelCount = 4;
    EXPECT_EQ(HubModel(school.sources()).scrollMaximum(), 1);
}

TEST(HubModelViews, DisplayOptionsListChoicesAndThePeriod)
{
    HubModelSchool school;
    app::CurrentRun &run = school.state->run;
    HubModel model(school.sources());
    model.activate();

    EXPECT_EQ(model.chooseDisplay(0), HubView::BestTimes);
    EXPECT_EQ(model.displayMode(), 1);
    EXPECT_EQ(model.listChoiceCaptions(), listChoiceCaptionsForTimes());
    EXPECT_EQ(model.chooseList(2), HubView::TodayRuns);
    EXPECT_FALSE(model.periodShown());
    EXPECT_EQ(model.choosePeriod(1), std::nullopt); // the period list is not shown
    EXPECT_EQ(model.period(), 3);
    EXPECT_EQ(model.chooseList(3), HubView::PeriodRuns);
    EXPECT_TRUE(model.periodShown());
    EXPECT_EQ(model.choosePeriod(1), HubView::PeriodRuns);
    EXPECT_EQ(model.period(), 1);
    EXPECT_EQ(run.hubPeriod, 1);

    // The points display keeps the list choice.
    EXPECT_EQ(model.chooseDisplay(1), HubView::PeriodRuns);
    EXPECT_EQ(model.displayMode(), 2);
    EXPECT_EQ(model.listChoiceCaptions(), listChoiceCaptionsForPoints());
    EXPECT_EQ(model.chooseList(1), HubView::AccumulatedPoints);
    EXPECT_EQ(model.chooseList(2), HubView::TodayPoints);
    EXPECT_EQ(model.chooseList(4), std::nullopt);

    // The personal times: the graph button, no list choices and no period; the captions and the display
    // mode stay those of the display before.
    EXPECT_EQ(model.chooseDisplay(0), HubView::TodayRuns);
    EXPECT_EQ(model.chooseList(3), HubView::PeriodRuns);
    EXPECT_EQ(model.chooseDisplay(2), HubView::PersonalTimes);
    EXPECT_TRUE(model.graphShown());
    EXPECT_FALSE(model.listChoicesEnabled());
    EXPECT_FALSE(model.periodShown());
    EXPECT_EQ(model.listChoiceCaptions(), listChoiceCaptionsForTimes());
    EXPECT_EQ(model.displayMode(), 1);
    EXPECT_EQ(model.chooseList(1), std::nullopt);
    EXPECT_EQ(model.choosePeriod(2), std::nullopt);
    EXPECT_EQ(model.period(), 1);

    // A grade filter builds the view shown again, and is kept in the run.
    const int juniorHigh = int(gradeFilterItems().indexOf(QStringLiteral("中学生全体")));
    EXPECT_EQ(model.chooseGradeFilter(juniorHigh), HubView::PersonalTimes);
    EXPECT_EQ(run.hubGradeFilter, QStringLiteral("中学生全体"));
    EXPECT_EQ(model.chooseDisplay(0), HubView::PeriodRuns);
    EXPECT_TRUE(model.listChoicesEnabled());
    EXPECT_EQ(model.chooseGradeFilter(0), HubView::PeriodRuns);
    EXPECT_EQ(run.hubGradeFilter, QStringLiteral("全学年"));
}

TEST(HubModelViews, RunListsReadTheLastRecordsAndRankingsNone)
{
    HubModelSchool school;
    const HubModel model(school.sources());
    EXPECT_EQ(model.recordsToRead(HubView::TodayRuns), 1000);
    EXPECT_EQ(model.recordsToRead(HubView::PeriodRuns), 20000);
    EXPECT_EQ(model.recordsToRead(HubView::PersonalTimes), 20000);
    EXPECT_EQ(model.recordsToRead(HubView::BestTimes), 0);
    EXPECT_EQ(model.recordsToRead(HubView::AccumulatedPoints), 0);
    EXPECT_EQ(model.recordsToRead(HubView::TodayPoints), 0);
}

TEST(HubModelStarts, KeysStartOpenLevelsOnlyWhenTheHubIsReady)
{
    using Key = HubModel::KeyOutcome;
    HubModelSchool school;
    school.overPractiseLevelTwo();
    school.state->catalogue.levelCount = 12;
    HubModel model(school.sources());

    // Before the activation has filled the screen the keys go to the focused control, and nothing starts.
    model.beginActivation();
    model.activate();
    EXPECT_EQ(model.key(Qt::Key_1, false, false), Key::Pass);
    EXPECT_FALSE(model.start(1));
    EXPECT_FALSE(model.backEnabled());
    EXPECT_FALSE(model.back());
    model.beginListWork();
    model.endListWork();
    model.finishActivation();
    EXPECT_FALSE(school.state->run.finalLevelCleared);

    EXPECT_EQ(model.key(Qt::Key_1, false, false), Key::Start);
    EXPECT_EQ(model.keyLevel(), 1);
    EXPECT_EQ(model.key(Qt::Key_4, false, false), Key::Start);
    EXPECT_EQ(model.keyLevel(), 4);
    // Level 2 is locked, level 6 shut behind level 4, level 13 beyond the catalogue: the key is taken.
    EXPECT_TRUE(model.availability().locked[2]);
    EXPECT_EQ(model.key(Qt::Key_2, false, false), Key::Taken);
    EXPECT_EQ(model.key(Qt::Key_6, false, false), Key::Taken);
    EXPECT_EQ(model.key(Qt::Key_D, false, false), Key::Taken);
    EXPECT_EQ(model.key(Qt::Key_E, false, false), Key::Pass);
    EXPECT_EQ(model.key(Qt::Key_5, true, false), Key::Pass);
    EXPECT_EQ(model.key(Qt::Key_0, false, false), Key::Back);
    EXPECT_FALSE(model.start(2));
    EXPECT_FALSE(model.start(13));

    // While the lists are rebuilt nothing starts and "戻る" waits.
    model.beginListWork();
    EXPECT_EQ(model.key(Qt::Key_4, false, false), Key::Taken);
    EXPECT_EQ(model.key(Qt::Key_0, false, false), Key::Taken);
    EXPECT_FALSE(model.startEnabled(4));
    EXPECT_FALSE(model.start(4));
    model.endListWork();

    // The password panel in front takes no starts and leaves the keys to the panel.
    model.setPasswordPanelOpen(true);
    EXPECT_EQ(model.key(Qt::Key_4, false, false), Key::Pass);
    EXPECT_FALSE(model.start(4));
    EXPECT_TRUE(model.startEnabled(4));
    model.setPasswordPanelOpen(false);

    // One start leaves the hub: nothing else starts and the keys are no longer the hub's.
    EXPECT_TRUE(model.start(4));
    EXPECT_FALSE(model.keyboardReady());
    EXPECT_EQ(model.key(Qt::Key_1, false, false), Key::Pass);
    EXPECT_FALSE(model.start(1));
    EXPECT_FALSE(model.back());
}

TEST(HubModelStarts, BackAndTheTeacherToolsLeaveTheHub)
{
    HubModelSchool school;
    HubModel model(school.sources());
    activate(model);
    EXPECT_TRUE(model.back());
    EXPECT_FALSE(model.back());
    EXPECT_FALSE(model.start(1));

    HubModel teacher(school.sources());
    activate(teacher);
    teacher.leave();
    EXPECT_FALSE(teacher.keyboardReady());
    EXPECT_FALSE(teacher.start(1));

    // Clearing the final level is told to the run.
    records::Statistics &st = school.state->statistics;
    st.passPeriodCount(20, 22) = 3;
    st.passPeriodPoints(20, 22) = 30;
    HubModel cleared(school.sources());
    activate(cleared);
    EXPECT_TRUE(school.state->run.finalLevelCleared);
}

TEST(HubModelViews, OnlyTheColourPassOfARunListChangesAListsColour)
{
    HubModelSchool school;
    for (int level : {2, 4}) {
        school.state->standards.targetTime[std::size_t(level)] = 100;
        school.state->standards.minimumTime[std::size_t(level)] = 200;
    }
    HubModel model(school.sources());
    model.activate();
    EXPECT_EQ(model.listColour(2), ListColour::None);

    // Today's runs: level 2 within its target; level 4 has only a failed run, which the pass skips.
    model.chooseDisplay(0);
    const HubView today = *model.chooseList(2);
    model.lists(today, {runToday(2, 60), runToday(4, 99999)}, kHubToday);
    EXPECT_EQ(model.listColour(2), ListColour::WithinTarget);
    EXPECT_EQ(model.listColour(4), ListColour::None);

    // The rankings, the points display and the personal times keep it; so does a run list without a
    // run that did not fail.
    model.lists(*model.chooseList(1), {}, kHubToday);
    EXPECT_EQ(model.listColour(2), ListColour::WithinTarget);
    model.lists(model.chooseDisplay(1), {}, kHubToday);
    EXPECT_EQ(model.listColour(2), ListColour::WithinTarget);
    model.lists(*model.chooseList(3), {runToday(2, 150)}, kHubToday); // the points display: no pass
    EXPECT_EQ(model.listColour(2), ListColour::WithinTarget);
    model.lists(model.chooseDisplay(2), {runToday(2, 150)}, kHubToday);
    EXPECT_EQ(model.listColour(2), ListColour::WithinTarget);
    model.chooseDisplay(0);
    model.lists(*model.chooseList(2), {runToday(2, 99999)}, kHubToday);
    EXPECT_EQ(model.listColour(2), ListColour::WithinTarget);

    // The next pass that finds a run decides.
    model.lists(today, {runToday(2, 150)}, kHubToday);
    EXPECT_EQ(model.listColour(2), ListColour::WithinMinimum);
}

#pragma once

#include "app/CurrentRun.h"
#include "drill/Catalogue.h"
#include "hub/HubViews.h"
#include "hub/LevelAvailability.h"
#include "records/ResultRecord.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"
#include "roster/Roster.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The hub screen's state and what it answers: which view the lists show and what the view controls
// read, which levels may start and what a key does. The form builds the widgets, hands every input
// here and shows what comes back.
namespace hub {

// The level columns in view at once.
inline constexpr int kColumnsInView = 4;

// The lists the level columns show.
enum class HubView { BestTimes, AccumulatedPoints, TodayPoints, TodayRuns, PeriodRuns, PersonalTimes };

// The parts of the shared state the hub works from. The run holds what the hub keeps across drills
// (the grade filter, the period, the first visible column) and learns whether the final level is
// cleared.
struct HubSources
{
    app::CurrentRun &run;
    const drill::Catalogue &catalogue;
    const records::Standards &standards;
    const records::Results &results;
    const records::Statistics &statistics;
    const roster::Roster &roster;
};

class HubModel
{
public:
    // The display options "ﾀｲﾑ表示", "ﾎﾟｲﾝﾄ表示" and "個人ﾀｲﾑ" (Option2_0 to Option2_2).
    enum class Display { Times = 0, Points = 1, PersonalTimes = 2 };
    // What a key pressed in the hub's window does.
    enum class KeyOutcome {
        Pass,  // the key goes on to the focused control
        Taken, // the hub takes the key and does nothing with it
        Start, // start keyLevel()
        Back,  // "戻る"
    };

    explicit HubModel(const HubSources &sources);

    int levelCount() const { return m_levelCount; }

    // The first columns of the scroll bar: levels 1 to levelCount − 3 (one when fewer than five levels),
    // four columns in view.
    int scrollMaximum() const;
    int scrollPosition() const;
    void scrollTo(int position);

    // Every showing starts here: the keys wait, and the list choices read as on activation.
    void beginActivation();
    // The view of an activation: the points display, accumulated order. The grade filter is the one
    // chosen since the name screen, else the name screen's grade group; the period likewise, else one
    // month; the first visible column is kept unless it is out of range.
    HubView activate();
    // The activation has filled the screen: the keys work.
    void finishActivation() { m_keyboardReady = true; }

    // The view controls. A list choice while the personal times show, and a period while the period's
    // runs do not, change nothing.
    HubView chooseDisplay(int option);
    std::optional<HubView> chooseList(int choice);
    std::optional<HubView> choosePeriod(int period);
    HubView chooseGradeFilter(int index);

    Display display() const { return m_display; }
    int displayMode() const { return m_displayMode; } // 1 times, 2 points
    int listChoice() const { return m_listChoice; }   // 1 to 3
    QStringList listChoiceCaptions() const { return m_captions; }
    bool listChoicesEnabled() const { return m_display != Display::PersonalTimes; }
    bool periodShown() const { return m_display != Display::PersonalTimes && m_listChoice == 3; }
    bool graphShown() const { return m_display == Display::PersonalTimes; }
    int period() const { return m_period; }
    QStringList gradeFilterItems() const { return m_gradeItems; }
    int gradeFilterIndex() const { return m_gradeIndex; }
    QString gradeFilter() const { return m_gradeItems.value(m_gradeIndex); }
    HubView view() const;

    // The view's lists. Run lists are made of the last records of the results file: recordsToRead
    // says how many (0: the view reads none).
    int recordsToRead(HubView view) const;
    View lists(HubView view, const QList<records::ResultRecord> &runs, QDate today,
               const LevelProgress &progress = {});
    // The colour a level's list is painted with: only the colour pass of a run list changes it, and a
    // list keeps it through the views without one (None: white, as before a first colour pass).
    ListColour listColour(int level) const;
    RowStudents rowStudents() const;
    ColumnTexts columnTexts(int level) const;

    // While the lists are rebuilt nothing starts and "戻る" waits; afterwards the levels open as the
    // standings say, and the run learns whether the final level is cleared.
    void beginListWork() { m_listsReady = false; }
    void endListWork();
    const Availability &availability() const { return m_availability; }
    bool startEnabled(int level) const { return m_listsReady && m_availability.canStart(level); }
    bool backEnabled() const { return m_listsReady; }

    // The password panel in front: starts, level titles and keys wait.
    void setPasswordPanelOpen(bool open) { m_passwordPanelOpen = open; }

    KeyOutcome key(int qtKey, bool control, bool alt);
    int keyLevel() const { return m_keyLevel; }
    // A start button, a level title or a key: true when the level starts; the hub is left then, and
    // nothing else starts.
    bool start(int level);
    // "戻る": true when the hub is left for the name screen.
    bool back();
    // A teacher tool is opened: the hub is left.
    void leave();
    bool keyboardReady() const { return m_keyboardReady; }

private:
    HubSources m_sources;
    int m_levelCount = 0;
    Display m_display = Display::Points;
    int m_displayMode = 2;
    int m_listChoice = 1;
    QStringList m_captions;
    int m_period = 0;
    QStringList m_gradeItems;
    int m_gradeIndex = 0;
    bool m_listsReady = false;
    bool m_keyboardReady = false;
    bool m_leaving = false;
    bool m_passwordPanelOpen = false;
    int m_keyLevel = 0;
    Availability m_availability;
    std::vector<ListColour> m_colours;
};

} // namespace hub

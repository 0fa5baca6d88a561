#pragma once

#include "app/CurrentRun.h"
#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "app/Services.h"
#include "drill/Catalogue.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"
#include "roster/NameListModel.h"
#include "roster/Roster.h"

#include <QString>

namespace roster {

// The name selection screen without its widgets: the display mode, the grade group, the list of names
// (a NameListModel, for the screen's list view), the chosen name and student, and the sign-in. The
// screen forwards every click and key to it and shows what it answers; a failure comes back to the
// screen to be reported, and nothing here opens a box or plays a sound.
//
//   activate()            each showing: display mode 1, grade group "全学年", the list, nothing chosen
//   chooseGradeGroup()    the grade group box; chooseDisplayMode() the four options: the list again
//   choose(row)           a click (or a double click) on a row: the chosen name and student
//   confirm()             O.K., "1", Enter, a double click: signs the chosen student in, once
//   startProgramMenu()    the family's program menu; the screen then ends the program
//
// Every drawing of the list first recomputes the statistics from the results file, so that the figures
// beside the names are those of the file as it is now.
class NameSelection
{
public:
    // The parts of the shared state the name selection reads and writes.
    struct Parts
    {
        app::PathsAndSettings &settings;
        drill::Catalogue &catalogue;
        const records::Standards &standards;
        records::Results &results;
        records::Statistics &statistics;
        Roster &roster;
        app::CurrentRun &run;
    };

    NameSelection(const Parts &parts, Services &services);

    // Each showing: seeds the random source, sets the grade group ("全学年", also the run's) and display
    // mode 1, forgets the hub's own grade filter and period, draws the list; nothing is chosen.
    app::Status activate();
    // 名簿表示: the statistics, then the list for the display mode and grade group; nothing is chosen. A
    // failure (the results file or the roster cannot be read) ends the program once it is reported, and
    // the list stays as it was.
    app::Status redraw();
    // A grade group chosen in the box: it becomes the run's grade group too, and the list is drawn again.
    app::Status chooseGradeGroup(const QString &group);
    // A display mode chosen: the list is drawn again, unless the mode is the one shown.
    app::Status chooseDisplayMode(int mode);

    // A click on a row of the list, or a double click (the chosen name is then the text up to the
    // figures). The separator chooses nobody.
    void choose(int row, bool doubleClick);

    enum class Confirmation {
        Ignored,      // signed in already: nothing more happens on this screen
        NoNameChosen, // nothing changes; the screen answers with kNoNameSound
        SignedIn,     // the run's student is set and the levels are set up: the hub follows
    };
    // Signs the chosen student in: the run's student, name, grade and sign-in time, and the level
    // catalogue. Made once; afterwards the screen waits for the hub.
    Confirmation confirm();
    // The sound set's sound for a confirmation without a chosen name (the wrong-answer sound).
    static constexpr int kNoNameSound = 4;

    // Starts the family's program menu launcher; a launcher that cannot be started gives a failure
    // titled "プログラムメニュー". Either way this program ends next (the screen ends it after the report).
    app::Status startProgramMenu();

    NameListModel &names() { return m_names; }
    const NameListModel &names() const { return m_names; }
    int displayMode() const { return m_displayMode; }
    const QString &gradeGroup() const { return m_gradeGroup; }
    // The chosen-name label: "名前を選びなさい" while nobody is chosen.
    const QString &chosenName() const { return m_chosenName; }
    // The chosen student's number; -1 before a student is chosen. Choosing the separator leaves it.
    int chosenStudent() const { return m_chosenStudent; }
    bool signedIn() const { return m_signedIn; }
    bool developmentMarkerShown() const { return m_parts.settings.developmentLayout; }

private:
    Parts m_parts;
    Services &m_services;
    NameListModel m_names;
    int m_displayMode = namelist::PointsTodayAndTotal;
    QString m_gradeGroup;
    QString m_chosenName;
    int m_chosenStudent = -1;
    bool m_signedIn = false;
};

} // namespace roster

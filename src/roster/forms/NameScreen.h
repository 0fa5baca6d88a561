#pragma once

#include "app/forms/AppContext.h"
#include "roster/NameSelection.h"
#include "sound/SoundState.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class QStringListModel;
class WaitingPanel;

namespace roster {

// The name selection screen: the first screen a student sees. It lists the roster with two figures
// of each student's results, narrowed to a grade group; confirming a name sets the student of the run
// and opens the hub. It also leads back to the family's program menu. What it shows and what a choice
// does are the NameSelection's; the screen forwards clicks and keys to it, shows the waiting panel
// while the list is drawn, plays the sound and reports the failures it answers with.
//
// Controls: List1 (names, over the selection's NameListModel "List1Model"), Combo1 (grade group),
// Option1_0..3 (figures), Command14 (O.K.), Command1 (印刷), Command13 and Command7 (program menu),
// lblChosenName and lblChosenNumber, lblVersion, picWait (waiting panel), lblDevelopment (marker). The
// hidden working lists List2 (full, sorted) and List3 (numbered) are models, not widgets.
class NameScreen : public QWidget
{
    Q_OBJECT
public:
    // The parts of the shared state the screen reads and writes: those of its selection, and the sound.
    struct Parts
    {
        roster::NameSelection::Parts selection;
        sound::SoundState &sound;
    };

    NameScreen(const Parts &parts, AppContext &context, QWidget *parent = nullptr);

    // Each showing: the marker, display mode 1, the grade groups, the list; nothing chosen.
    void activate();

    // 名簿表示: redraws the three lists for the display mode and grade group. False when a failure has
    // ended the program: the caller stops there.
    bool showRoster();

    int displayMode() const { return m_selection.displayMode(); }
    const roster::namelist::Lists &lists() const { return m_selection.names().lists(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Draws the list through the selection (`draw` is one of its drawing steps) with the waiting
    // panel shown, then shows the choice and reports a failure; false when that failure has ended the
    // program.
    bool drawList(const std::function<app::Status()> &draw);
    void listDrawn();
    void chooseRow(int row, bool doubleClick);
    void showChoice();
    void confirm();
    void leaveForProgramMenu();
    void installKeyPreview();

    Parts m_parts;
    AppContext &m_context;
    roster::NameSelection m_selection;
    bool m_redrawing = false;

    QLabel *m_title;
    QListView *m_list1;
    QStringListModel *m_full;
    QStringListModel *m_numbered;
    QComboBox *m_combo1;
    QButtonGroup *m_modes;
    QRadioButton *m_option1[roster::namelist::kDisplayModeCount];
    QLabel *m_chosenName;
    QLabel *m_chosenNumber;
    QPushButton *m_ok;
    QPushButton *m_print;
    QPushButton *m_programMenu;
    QPushButton *m_programMenu0;
    QPushButton *m_version;
    QLabel *m_developmentMarker;
    WaitingPanel *m_wait;
};

} // namespace roster

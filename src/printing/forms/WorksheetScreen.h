#pragma once

#include "app/CurrentRun.h"
#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "printing/WorksheetChoices.h"
#include "printing/forms/PrintLayoutScreen.h"

#include <QPointer>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class QStandardItemModel;

namespace printing {

// The worksheet screen: the teacher or student picks ranges, the order and the number of blanks, sees
// the sheet in small and goes on to the print layout screen. Every change builds the sheet anew (new
// order, new blanks) from the idiom data file, read afresh each time.
//
// It is shown over the screen that opened it (the name screen or the hub), which stays as it was;
// "もどる" closes it. The print layout screen opens over it in turn.
//
// The idioms come from the chosen ranges or, from the answer history, from a student's weak idioms or a
// grade group's (cboSource; WeakWorksheet.h says who is offered which). The choices and the sheet are
// WorksheetChoices'; this form forwards the input to it and shows what it holds.
//
// Controls: cboSource, List1 (ranges "1" to "10", several at once), Check1 (順序を変える), Option1_1..5
// (blanks), Command3 (再並べ替え), Command1 (印刷へ), Command2 (もどる), lblCount (idioms chosen),
// picPreview.
class WorksheetScreen : public QWidget
{
    Q_OBJECT
public:
    // `signedIn`: opened by the signed-in student of the current run (from the hub), who is offered his
    // or her weak idioms; a teacher is offered everybody's. From the name screen nobody is signed in.
    // The parts of the shared state the screen uses: its folders and colour, the student of the run, the
    // roster for the weak-idiom sources, and the idiom data the sheets are built from.
    struct Parts
    {
        const app::PathsAndSettings &settings;
        const app::CurrentRun &run;
        const roster::Roster &roster;
        drill::IdiomData &idioms;
    };

    WorksheetScreen(const Parts &parts, AppContext &context, bool signedIn, QWidget *parent = nullptr);
    ~WorksheetScreen() override;

    // Load: the range list with "1" selected, and the first sheet.
    void activate();

    // Builds the sheet from the model's choices and shows it.
    void rebuild();

    const printing::WorksheetChoices &choices() const { return m_choices; }
    const printing::Worksheet &worksheet() const { return m_choices.worksheet(); }
    // The print layout screen while it is open.
    PrintLayoutScreen *printLayout() const { return m_printLayout; }

signals:
    void closed();

private:
    void openPrintLayout();
    void printLayoutClosed();
    void close();
    // The ranges selected in List1 go to the model, and the sheet is built again.
    void rangesClicked();

    Parts m_parts;
    AppContext &m_context;
    printing::WorksheetChoices m_choices;
    bool m_showing = true; // while activate() shows the model's choices, their widgets' signals build nothing
    bool m_signedIn = false;

    QFrame *m_page;
    QComboBox *m_source;
    QLabel *m_rangeHint;
    QListView *m_list1;
    QStandardItemModel *m_ranges;
    QCheckBox *m_check1;
    QButtonGroup *m_options;
    QRadioButton *m_option1[6] = {};
    QPushButton *m_rebuild;
    QPushButton *m_toPrinting;
    QPushButton *m_back;
    QLabel *m_count;
    QLabel *m_preview;
    QPointer<PrintLayoutScreen> m_printLayout;
};

} // namespace printing

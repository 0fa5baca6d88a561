#pragma once

#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "drill/LastDrill.h"
#include "hub/HubModel.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStringListModel;
class WaitingPanel;

namespace hub {

class PasswordPanel;
class PersonalDataPanel;

// The hub: the levels side by side, four in view, each with its standard, the student's standing and a
// list of rankings or runs; the start buttons, locked for over-practice where the rules say so.
//
// Controls: per level N the column pnlLevel_N with Label3_N (title, a button), Command4_N (start),
// Text1_N (lock box), Label7_N (standard), Label8_N (pass period), Label9_N/Label14_N (today),
// Label10_N/Label15_N (so far) and List5_N (list); HScroll1; the header lblTitle, lblStudent,
// lblNumber, lblElapsed, lblDayTotal, lblHint; Command1 (back), Command27 (print), Command8 (data
// processing), Command17 (graph); Option2_0..2 (display), Option1_1..3 (list choice), Combo1 (grade
// filter), Combo2 (period), Label5 (heading); picWait and picRankingWait (waiting panels);
// pnlPersonalData (the personal data panel, PersonalDataPanel.h).
class HubScreen : public QWidget
{
    Q_OBJECT
public:
    // The parts of the shared state the hub, its model and its two panels read and write.
    struct Parts
    {
        app::PathsAndSettings &settings; // every routine on the results file counts in its fileNumber
        const drill::Catalogue &catalogue;
        app::CurrentRun &run;
        drill::LastDrill &lastDrill; // the day's total
        records::Standards &standards;
        records::Results &results;
        records::Statistics &statistics;
        const roster::Roster &roster;
    };

    HubScreen(const Parts &parts, AppContext &context, QWidget *parent = nullptr);

    // Every showing: recompute the statistics, fill the columns and the points ranking, decide which
    // levels may start.
    void activate();

    // Start level N (a start button or its key).
    void startLevel(int level);

    const hub::HubModel &model() const { return m_model; }
    bool keyboardReady() const { return m_model.keyboardReady(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Column
    {
        QFrame *panel = nullptr;
        QPushButton *title = nullptr;
        QPushButton *start = nullptr;
        QLabel *lock = nullptr;
        QLabel *standard = nullptr;
        QLabel *passPeriod = nullptr;
        QLabel *todayCaption = nullptr;
        QLabel *todayValue = nullptr;
        QLabel *soFarCaption = nullptr;
        QLabel *soFarValue = nullptr;
        QListView *list = nullptr;
        QStringListModel *model = nullptr;
        hub::ListColour colour = hub::ListColour::None;
    };

    // Gives the focus back to the hub after a view change.
    class FocusKeeper
    {
    public:
        explicit FocusKeeper(HubScreen *hub);
        ~FocusKeeper();

    private:
        HubScreen *m_hub;
        QPointer<QWidget> m_focused;
    };

    void buildHeader();
    void buildViewControls();
    void buildColumns();
    void installKeyPreview();

    int levelCount() const { return m_model.levelCount(); }
    bool isPractice(int level) const;
    bool isTeacher() const;

    // View control handlers.
    void displayOptionClicked(int index);
    void listChoiceClicked(int index);
    void periodChosen(int index);
    void gradeFilterChosen(int index);

    // The views.
    void showView(hub::HubView view);
    void rankingProgress(int level);
    void applyView(const hub::View &view);
    void setListColour(Column &column, hub::ListColour colour);
    QList<records::ResultRecord> readRecords(int maxCount);

    void clearLists();
    void beginListWork();
    void endListWork();
    void showLevelLists();
    void showViewControls(bool working);
    void setListChoiceCaptions(const QStringList &captions);

    void applyAvailability();
    void disableStartButtons();
    void placeColumns();
    void fillColumnTexts();
    void fitStudentLine();

    void titleClicked(int level);
    void goBack();

    Parts m_parts;
    AppContext &m_context;
    hub::HubModel m_model;
    std::array<Column, kMaxLevel + 1> m_columns{};

    QLabel *m_title;
    QLabel *m_student;
    QLabel *m_number;
    QLabel *m_elapsed;
    QLabel *m_dayTotal;
    QLabel *m_hint;
    QPushButton *m_back;
    QPushButton *m_print;
    QPushButton *m_dataProcessing;
    QPushButton *m_graph;
    QRadioButton *m_option2[3];
    QRadioButton *m_option1[4]{}; // members 1 to 3
    QButtonGroup *m_displayGroup;
    QButtonGroup *m_choiceGroup;
    QComboBox *m_combo1;
    QComboBox *m_combo2;
    QLabel *m_heading;
    QLabel *m_text4;
    QLabel *m_text5;
    QWidget *m_columnArea;
    QScrollBar *m_hscroll;
    WaitingPanel *m_wait;
    WaitingPanel *m_rankingWait;
    PersonalDataPanel *m_personalData;
    PasswordPanel *m_passwordPanel = nullptr; // the model is told when it is in front
};

} // namespace hub

#pragma once

#include "app/CurrentRun.h"
#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "drill/Catalogue.h"
#include "drill/DrillRunState.h"
#include "drill/IdiomData.h"
#include "drill/LastDrill.h"
#include "drill/LevelStart.h"
#include "drill/PracticeSession.h"
#include "drill/TestSession.h"
#include "records/Results.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"
#include "sound/SoundState.h"

#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace drill {

// The drill screen (objectName "MainFrm"). An odd level runs as flash cards (practice); an even level as
// a timed test: each question shows a meaning, the student picks the first four kana of the reading,
// then the four characters of the idiom. The flow lives in a session (TestSession, PracticeSession):
// this screen forwards each click and tick to it, plays the sounds it names and shows what it answers.
//
// Handlers let pending events run in the middle of their work (so that the screen repaints and the
// clock ticks), and check after each such step whether the end of the drill has begun meanwhile. The
// guards that keep re-entry harmless (busy flag, next guard, endingInProgress) are the session's. Once
// the end has begun the drill takes no more answers: every button does nothing, and a handler that
// meets the end at one of its pending-events steps stops there.
class DrillScreen : public QWidget
{
    Q_OBJECT
public:
    // The parts of the shared state the drill reads and writes. The run and the statistics are read as
    // they stood when the drill began; the judgement of a test goes to the results and the last drill.
    struct Parts
    {
        app::PathsAndSettings &settings; // every routine on the results file counts in its fileNumber
        const Catalogue &catalogue;
        const app::CurrentRun &run;
        LastDrill &lastDrill;
        DrillRunState &drill;
        IdiomData &idioms; // read afresh from the idiom data file for every drill
        sound::SoundState &sound;
        const records::Standards &standards;
        records::Results &results;
        const records::Statistics &statistics;
    };

    DrillScreen(const Parts &parts, AppContext &context, QWidget *parent = nullptr);
    ~DrillScreen() override;

    // The activation: status panel, questions of the level, clock, then practice or the first question.
    void activate();

    bool isPractice() const;

private:
    // Set-up
    void buildScreen();
    void initialSettings();                           // the status panel and time bar
    bool loadLevelQuestions(QuestionList &questions); // false (after a message) when the level cannot run
    void startSession(QuestionList questions);        // the session of the level's mode; its clock starts

    // Practice
    void startPractice();
    void showAnswerClicked();
    void nextCardClicked();
    void memorisedClicked();
    void backClicked();

    // Test
    void makeQuestion();
    void kanaClicked(int button);
    void readingContinueClicked();
    void beginKanjiStage();
    void kanjiClicked(int button);
    void clearAllClicked();
    void clearLastClicked();
    void judgeClicked();
    void correctionNextClicked();

    // Clocks and the end
    void clockTick();
    void minutesTick();
    void finishDrill();
    void leaveForHub();

    // The end of the drill has begun (the end notice stands), or a failure has ended the program:
    // nothing more is answered or judged.
    bool ending() const;
    DrillSession *session() const;

    // Practice: the buttons and texts of a step of the flash cards.
    void showCard(const PracticeSession::Card &card);
    void showPracticeStep(const PracticeSession::Step &step);

    void playSound(Sound sound);
    void playVoice(Voice voice);
    void showMeaning(const QString &meaning);
    void setBoxes(const std::array<QString, kIdiomLength> &boxes);
    // What the answer box (1–4) or correction box (5–8) shows, and tells a screen reader.
    void setBox(int box, const QString &text);
    // A lamp that goes out keeps its place (drawn as nothing) so that a screen reader can tell it is out.
    void setLampLit(int item, bool lit);
    // The time bar's elapsed and limit seconds for a screen reader.
    void describeTimeBar(int elapsedSeconds);
    void setKanjiButtonsEnabled(bool enabled);
    void setKanaButtonsEnabled(bool enabled);

    Parts m_parts;
    AppContext &m_context;

    // What the student sees
    QLabel *m_question;                      // Label9
    std::array<QLabel *, 9> m_boxes{};       // Label10 items 1–8 (answer 1–4, correction 5–8)
    QLabel *m_readingLine;                   // Label1
    QFrame *m_readingPanel;                  // Picture2
    std::array<QPushButton *, 7> m_kana{};   // Label15 items 1–6
    QPushButton *m_readingContinue;          // Command14
    QFrame *m_kanjiPanel;                    // Picture4
    std::array<QPushButton *, 13> m_kanji{}; // Label14 items 1–12
    QPushButton *m_judge;                    // Command3
    QPushButton *m_clearAll;                 // Command2
    QPushButton *m_clearLast;                // Command6
    QFrame *m_correctionPanel;               // Picture3
    QLabel *m_correctionReading;             // Label2
    QPushButton *m_correctionNext;           // Command4
    QPushButton *m_back;                     // Command8
    QPushButton *m_nextCard;                 // Command10
    QPushButton *m_memorised;                // Command9
    QPushButton *m_showAnswer;               // Command11
    QLabel *m_remaining;                     // sLabel9
    QLabel *m_elapsed;                       // sLabel10
    QLabel *m_minutes;                       // sLabel13
    QFrame *m_timeFrame;                     // sShape5
    QFrame *m_timeBar;                       // sShape2
    QFrame *m_targetMarker;                  // sShape3
    QFrame *m_minimumMarker;                 // sShape4
    std::array<QLabel *, 40> m_lamps{};      // sPicture3 items 10–39
    QFrame *m_endNotice;                     // sPicture2
    QLabel *m_recordingLabel;                // lblsss1
    QLabel *m_timeUpLabel;                   // lblsss2
    QTimer *m_clock;                         // sTimer1
    QTimer *m_minutesClock;                  // sTimer2

    // How the level starts (its mode, its session's rules, the time bar), made by the initial settings.
    LevelStart m_start;
    // The drill: one of the two sessions, made once the level's questions are loaded.
    std::unique_ptr<TestSession> m_test;
    std::unique_ptr<PracticeSession> m_practice;
    // A sound failure that ends the program was reported. The program ends inside the report; where it
    // does not (a test's program end), the handler that met it stops all the same.
    bool m_programEnding = false;
};

} // namespace drill

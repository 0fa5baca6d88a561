#pragma once

#include "app/forms/AppContext.h"
#include "records/ResultSession.h"
#include "sound/SoundState.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QFrame;
class QTimer;

namespace records {

// The result screen after every recorded drill: time, points, today's counts, a record message with
// its sound, the cleared label and, at the final level, the congratulation. Half a second after it
// opens it offers "メニューへ" and, unless the level is closed for over-practice, "もう一度".
// What it shows and decides is its session's (records::ResultSession): the screen runs the steps,
// lets events run and plays the sounds between them, and renders the session's view after each.
class ResultScreen : public QWidget
{
    Q_OBJECT
public:
    // The parts of the shared state the screen reads and writes: those of its session, and the sound.
    struct Parts
    {
        records::ResultScreenState session;
        sound::SoundState &sound;
    };

    ResultScreen(const Parts &parts, AppContext &context, QWidget *parent = nullptr);

    // The activation sequence, once per showing.
    void activate();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void timer1Tick();
    void menuClicked();
    void againClicked();
    void render();

    Parts m_parts;
    AppContext &m_context;
    records::ResultSession m_session;
    QLabel *m_levelCount;     // Label13
    QLabel *m_dayCount;       // Label14
    QLabel *m_title;          // Label15
    QLabel *m_levelName;      // Label16
    QLabel *m_name;           // Label17
    QLabel *m_time;           // Label18
    QLabel *m_points;         // Label19
    QLabel *m_message;        // Label20
    QLabel *m_cleared;        // Label2
    QFrame *m_congratulation; // Picture1 with Label1
    QPushButton *m_menu;      // Command4
    QPushButton *m_again;     // Command5
    QTimer *m_timer1;
};

} // namespace records

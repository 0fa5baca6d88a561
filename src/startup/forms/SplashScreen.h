#pragma once

#include "app/forms/AppContext.h"
#include "startup/AppState.h"

#include <QWidget>

class QLabel;
class QTimer;

// The splash: a picture with today's date while the program starts. On the first tick of Timer1 it
// loads the settings and hands over to the name selection screen.
class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    // The splash fills the whole shared state as the program starts.
    SplashScreen(AppState &state, AppContext &context, QString applicationFolder, QWidget *parent = nullptr);

    // The start-up sequence: paint, seed the random numbers, date, season colour, development layout,
    // then Timer1 on.
    void begin();

    // LoadSettings, then the name selection screen; on a failure the message and the program's end.
    void startMainProgram();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void timer1Tick();

    AppState &m_state;
    AppContext &m_context;
    QString m_applicationFolder;
    QLabel *m_dateLabel;
    QLabel *m_waitLabel;
    QLabel *m_developmentMarker;
    QTimer *m_timer1;
};

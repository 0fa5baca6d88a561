#include "startup/forms/MainWindow.h"

#include "app/forms/DialogScale.h"
#include "app/forms/Style.h"
#include "drill/LevelCatalogue.h"
#include "drill/forms/DrillScreen.h"
#include "hub/forms/HubScreen.h"
#include "printing/forms/WorksheetScreen.h"
#include "records/forms/ResultScreen.h"
#include "records/forms/ResultsBusyPanel.h"
#include "roster/forms/NameScreen.h"
#include "startup/forms/ProgramApplication.h"
#include "startup/forms/SplashScreen.h"
#include "startup/forms/VersionBox.h"
#include "teacher/forms/RecordsScreen.h"
#include "teacher/forms/StandardsScreen.h"

#include <QCoreApplication>
#include <QTimer>

MainWindow::MainWindow(AppState &state, Services &services, QString applicationFolder, QWidget *parent)
    : QWidget(parent), m_context{state, services, *this}, m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("四字熟語"));
    app::style::install(this); // every screen on the canvas takes its look from the one style sheet
    // Shown over any screen while the results file is busy for long.
    new ResultsBusyPanel(this, services.wait);
}

void MainWindow::start()
{
    changeScreen([this] { return new SplashScreen(m_context, m_applicationFolder); },
                 [this](QWidget *splash) {
                     show();
                     static_cast<SplashScreen *>(splash)->begin();
                 });
}

void MainWindow::changeScreen(std::function<QWidget *()> make, std::function<void(QWidget *)> shown)
{
    std::function<void()> change = [this, make = std::move(make), shown = std::move(shown)] {
        QWidget *screen = make();
        if (m_screen) {
            m_screen->hide();
            // No handler of it is running (see below), so it can go at once, timers and all.
            delete m_screen;
        }
        m_screen = screen;
        screen->setParent(this);
        screen->setGeometry(0, 0, kWidth, kHeight);
        screen->show();
        screen->setFocus();
        if (shown)
            shown(screen);
    };
    ProgramApplication &application = ProgramApplication::running();
    const bool alreadyWaiting = bool(m_waitingChange);
    m_waitingChange = std::move(change);
    if (alreadyWaiting)
        return;
    application.whenHandlersHaveReturned(this, [this] {
        const std::function<void()> waiting = std::move(m_waitingChange);
        m_waitingChange = nullptr;
        if (waiting)
            waiting();
    });
}

// A screen's activation runs from the event loop once the screen is shown, as a form's activation
// does, so that the handler that asked for it (a start button, "もう一度") has returned first.
template <typename T> void MainWindow::showScreen(void (T::*activate)())
{
    changeScreen([this]() -> QWidget * { return new T(m_context); },
                 [activate](QWidget *screen) { QTimer::singleShot(0, static_cast<T *>(screen), activate); });
}

void MainWindow::showNameSelection()
{
    showScreen(&NameScreen::activate);
}

void MainWindow::showHub()
{
    showScreen(&HubScreen::activate);
}

void MainWindow::showDrill(int level)
{
    AppState &state = m_context.state;
    catalogue::prepareDrill(state.run, state.lastDrill, state.drill, level);
    QCoreApplication::processEvents();
    showScreen(&drill::DrillScreen::activate);
}

void MainWindow::showResult()
{
    showScreen(&ResultScreen::activate);
}

void MainWindow::showStandardsEditor()
{
    showScreen(&StandardsScreen::activate);
}

void MainWindow::showRecordsBrowser()
{
    showScreen(&RecordsScreen::activate);
}

void MainWindow::showWorksheet(bool signedIn)
{
    // The screen below keeps its state; it takes no input while the worksheet covers it.
    QPointer<QWidget> below = m_screen;
    if (below)
        below->setEnabled(false);
    auto *worksheet = new WorksheetScreen(m_context, signedIn, this);
    worksheet->setGeometry(0, 0, kWidth, kHeight);
    connect(worksheet, &WorksheetScreen::closed, this, [below] {
        if (below) {
            below->setEnabled(true);
            below->setFocus();
        }
    });
    worksheet->show();
    worksheet->raise();
    worksheet->setFocus();
    QTimer::singleShot(0, worksheet, &WorksheetScreen::activate);
}

void MainWindow::showVersionBox(QWidget *over)
{
    QWidget *base = over ? over : this;
    VersionBox box(m_context.state.catalogue.programTitle, app::dialogscale::dialogParent(base));
    box.adjustSize();
    // The centre of the screen on the display, less half the box (which may be scaled, the screen too).
    box.move(base->mapToGlobal(QPoint(base->width() / 2, base->height() / 2)) -
             QPoint(box.width() / 2, box.height() / 2));
    box.exec();
}

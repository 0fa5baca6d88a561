#include "startup/forms/MainWindow.h"

#include "app/forms/DialogScale.h"
#include "app/forms/Style.h"
#include "drill/LevelCatalogue.h"
#include "records/forms/ResultsBusyPanel.h"
#include "startup/forms/ProgramApplication.h"
#include "startup/forms/ScreenParts.h"
#include "startup/forms/SplashScreen.h"
#include "startup/forms/VersionBox.h"

#include <QCoreApplication>
#include <QTimer>

using hub::HubScreen;
using printing::WorksheetScreen;
using records::ResultsBusyPanel;
using records::ResultScreen;
using roster::NameScreen;
using teacher::RecordsScreen;
using teacher::StandardsScreen;

MainWindow::MainWindow(AppState &state, Services &services, QString applicationFolder, QWidget *parent)
    : QWidget(parent), m_state(state), m_context{services, *this},
      m_applicationFolder(std::move(applicationFolder))
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
    changeScreen([this] { return new SplashScreen(m_state, m_context, m_applicationFolder); },
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
template <typename T>
void MainWindow::showScreen(typename T::Parts (*parts)(AppState &), void (T::*activate)())
{
    changeScreen([this, parts]() -> QWidget * { return new T(parts(m_state), m_context); },
                 [activate](QWidget *screen) { QTimer::singleShot(0, static_cast<T *>(screen), activate); });
}

void MainWindow::showNameSelection()
{
    showScreen(&startup::parts::nameScreen, &NameScreen::activate);
}

void MainWindow::showHub()
{
    showScreen(&startup::parts::hubScreen, &HubScreen::activate);
}

void MainWindow::showDrill(int level)
{
    catalogue::prepareDrill(m_state.run, m_state.lastDrill, m_state.drill, level);
    QCoreApplication::processEvents();
    showScreen(&startup::parts::drillScreen, &drill::DrillScreen::activate);
}

void MainWindow::showResult()
{
    showScreen(&startup::parts::resultScreen, &ResultScreen::activate);
}

void MainWindow::showStandardsEditor()
{
    showScreen(&startup::parts::standardsScreen, &StandardsScreen::activate);
}

void MainWindow::showRecordsBrowser()
{
    showScreen(&startup::parts::recordsScreen, &RecordsScreen::activate);
}

void MainWindow::showWorksheet(bool signedIn)
{
    // The screen below keeps its state; it takes no input while the worksheet covers it.
    QPointer<QWidget> below = m_screen;
    if (below)
        below->setEnabled(false);
    auto *worksheet =
        new WorksheetScreen(startup::parts::worksheetScreen(m_state), m_context, signedIn, this);
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
    VersionBox box(m_state.catalogue.programTitle, app::dialogscale::dialogParent(base));
    box.adjustSize();
    // The centre of the screen on the display, less half the box (which may be scaled, the screen too).
    box.move(base->mapToGlobal(QPoint(base->width() / 2, base->height() / 2)) -
             QPoint(box.width() / 2, box.height() / 2));
    box.exec();
}

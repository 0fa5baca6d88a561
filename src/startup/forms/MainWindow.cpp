#include "startup/forms/MainWindow.h"

#include "app/forms/DialogScale.h"
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

#include <QTimer>

MainWindow::MainWindow(AppState &state, Services &services, QString applicationFolder, QWidget *parent)
    : QWidget(parent), m_context{state, services, *this}, m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("四字熟語"));
    new ResultsBusyPanel(this); // shown over any screen while the results file is busy for long
}

void MainWindow::start()
{
    auto *splash = new SplashScreen(m_context, m_applicationFolder);
    setScreen(splash);
    show();
    splash->begin();
}

void MainWindow::changeScreen(std::function<void()> change)
{
    ProgramApplication *application = ProgramApplication::instance();
    if (!application) {
        // Another application object cannot tell whether a handler is running: the change is made
        // now and the old screen deleted from the event loop.
        change();
        return;
    }
    const bool alreadyWaiting = bool(m_waitingChange);
    m_waitingChange = std::move(change);
    if (alreadyWaiting)
        return;
    application->whenHandlersHaveReturned(this, [this] {
        const std::function<void()> change = std::move(m_waitingChange);
        m_waitingChange = nullptr;
        if (change)
            change();
    });
}

void MainWindow::setScreen(QWidget *screen)
{
    if (m_screen) {
        m_screen->hide();
        // No handler of it is running (see changeScreen), so it can go at once, timers and all.
        if (ProgramApplication::instance())
            delete m_screen;
        else
            m_screen->deleteLater();
    }
    m_screen = screen;
    screen->setParent(this);
    screen->setGeometry(0, 0, kWidth, kHeight);
    screen->show();
    screen->setFocus();
}

// A screen's activation runs from the event loop once the screen is shown, as a form's activation
// does, so that the handler that asked for it (a start button, "もう一度") has returned first.
void MainWindow::showNameSelection()
{
    changeScreen([this] {
        auto *names = new NameScreen(m_context);
        setScreen(names);
        QTimer::singleShot(0, names, &NameScreen::activate);
    });
}

void MainWindow::showHub()
{
    changeScreen([this] {
        auto *hub = new HubScreen(m_context);
        setScreen(hub);
        QTimer::singleShot(0, hub, &HubScreen::activate);
    });
}

void MainWindow::showDrill()
{
    changeScreen([this] {
        auto *drill = new drill::DrillScreen(m_context);
        setScreen(drill);
        QTimer::singleShot(0, drill, &drill::DrillScreen::activate);
    });
}

void MainWindow::showResult()
{
    changeScreen([this] {
        auto *result = new ResultScreen(m_context);
        setScreen(result);
        QTimer::singleShot(0, result, &ResultScreen::activate);
    });
}

void MainWindow::showStandardsEditor()
{
    auto *editor = new StandardsScreen(m_context);
    setScreen(editor);
    QTimer::singleShot(0, editor, &StandardsScreen::activate);
}

void MainWindow::showRecordsBrowser()
{
    auto *browser = new RecordsScreen(m_context);
    setScreen(browser);
    QTimer::singleShot(0, browser, &RecordsScreen::activate);
}

void MainWindow::showWorksheet()
{
    // The screen below keeps its state; it takes no input while the worksheet covers it.
    QPointer<QWidget> below = m_screen;
    if (below)
        below->setEnabled(false);
    auto *worksheet = new WorksheetScreen(m_context, this);
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

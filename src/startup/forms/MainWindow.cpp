#include "startup/forms/MainWindow.h"

#include "startup/forms/Firstfrm.h"
#include "startup/forms/NotBuiltScreen.h"
#include "startup/forms/frmver.h"

MainWindow::MainWindow(AppState &state, Services &services, QString applicationFolder, QWidget *parent)
    : QWidget(parent), m_context{state, services, *this}, m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(QStringLiteral("MainWindow"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("四字熟語"));
}

void MainWindow::start()
{
    auto *splash = new Firstfrm(m_context, m_applicationFolder);
    setScreen(splash);
    show();
    splash->begin();
}

void MainWindow::setScreen(QWidget *screen)
{
    // The old screen is unloaded: it goes once the event that led here has been handled.
    if (m_screen) {
        m_screen->hide();
        m_screen->deleteLater();
    }
    m_screen = screen;
    screen->setParent(this);
    screen->setGeometry(0, 0, kWidth, kHeight);
    screen->show();
    screen->setFocus();
}

void MainWindow::showNameSelection()
{
    setScreen(new NotBuiltScreen(QStringLiteral("名前の選択画面"), m_context));
}

void MainWindow::showHub()
{
    setScreen(new NotBuiltScreen(QStringLiteral("レベル選択画面"), m_context));
}

void MainWindow::showDrill()
{
    setScreen(new NotBuiltScreen(QStringLiteral("ドリル画面"), m_context));
}

void MainWindow::showResult()
{
    setScreen(new NotBuiltScreen(QStringLiteral("結果画面"), m_context));
}

void MainWindow::showVersionBox(QWidget *over)
{
    frmver box(m_context.state.catalogue.programTitle, over ? over : this);
    QWidget *base = over ? over : this;
    box.adjustSize();
    box.move(base->mapToGlobal(QPoint((base->width() - box.width()) / 2, (base->height() - box.height()) / 2)));
    box.exec();
}

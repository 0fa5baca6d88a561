#pragma once

#include "startup/forms/AppContext.h"

#include <QWidget>
#include <QPointer>

// The program's one window. It owns nothing of the shared state; it shows the current screen.
class MainWindow : public QWidget, public Navigator
{
    Q_OBJECT
public:
    // applicationFolder: the folder that holds the program, without a final separator.
    MainWindow(AppState &state, Services &services, QString applicationFolder, QWidget *parent = nullptr);

    AppContext &context() { return m_context; }

    // Shows the splash, which runs the start-up.
    void start();

    void showNameSelection() override;
    void showHub() override;
    void showDrill() override;
    void showResult() override;
    void showWorksheet() override;
    void showVersionBox(QWidget *over) override;
    void showStandardsEditor() override;
    void showRecordsBrowser() override;

    QWidget *currentScreen() const { return m_screen; }

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

private:
    void setScreen(QWidget *screen);

    AppContext m_context;
    QString m_applicationFolder;
    QPointer<QWidget> m_screen;
};

#pragma once

#include "app/forms/AppContext.h"
#include "startup/AppState.h"

#include <QPointer>
#include <QWidget>

#include <functional>

// The program's one window. It owns nothing of the shared state; it shows the current screen and hands
// each screen it makes the parts of the state that screen uses (ScreenParts.h).
//
// A screen is changed only when no event handler is running. The handlers let pending events run in the
// middle of their work, so a request to change the screen can come from inside one (the drill's clock
// ends the drill while a sound of a click plays); the screen it would leave is still running that
// handler. So a change asked for under a handler takes effect once every handler has returned: only then
// is the old screen destroyed and the new one made and activated. Of several changes asked for
// meanwhile, the last one is made.
class MainWindow : public QWidget, public Navigator
{
    Q_OBJECT
public:
    // applicationFolder: the folder that holds the program, without a final separator.
    MainWindow(AppState &state, Services &services, QString applicationFolder, QWidget *parent = nullptr);

    AppContext &context() { return m_context; }
    AppState &state() const { return m_state; }

    // Shows the splash, which runs the start-up.
    void start();

    void showNameSelection() override;
    void showHub() override;
    void showDrill(int level) override;
    void showResult() override;
    void showWorksheet(bool signedIn) override;
    void showVersionBox(QWidget *over) override;
    void showStandardsEditor() override;
    void showRecordsBrowser() override;

    QWidget *currentScreen() const { return m_screen; }
    // True while a screen change waits for the running handlers to return.
    bool screenChangeWaiting() const { return bool(m_waitingChange); }

    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

private:
    // The one way to change the screen: now, or when the running handlers have returned, `make` builds
    // the next screen, the old one goes, the new one is shown and then `shown` runs (its activation).
    void changeScreen(std::function<QWidget *()> make, std::function<void(QWidget *)> shown);
    // A screen of type T made over its parts and the context, activated from the event loop once it is
    // shown.
    template <typename T> void showScreen(typename T::Parts (*parts)(AppState &), void (T::*activate)());

    AppState &m_state;
    AppContext m_context;
    QString m_applicationFolder;
    QPointer<QWidget> m_screen;
    std::function<void()> m_waitingChange;
};

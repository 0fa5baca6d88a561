#pragma once

#include <QApplication>
#include <QPointer>

#include <functional>
#include <vector>

// The program's application object. The screens' handlers let pending events run in the middle of
// their work, so one event can be handled while another still is (a clock tick inside a click). The
// application counts how deeply the handling of events is nested, so that work which must not happen
// under a running handler (destroying the screen it belongs to) waits until every handler has returned.
class ProgramApplication : public QApplication
{
public:
    ProgramApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The running program's application object; null when the application is another kind.
    static ProgramApplication *instance();
    // The same, for code that cannot work without it (the window's screen changes): a program, a test or
    // a benchmark that shows the window makes its application a ProgramApplication, or stops here.
    static ProgramApplication &running();

    // True while an event is being handled (between events, false).
    bool handlerRunning() const { return m_depth > 0; }

    // Runs `work` once no handler is running: at once when none is, otherwise when the outermost
    // handler has returned. Work that waits is dropped when its context is destroyed meanwhile.
    void whenHandlersHaveReturned(QObject *context, std::function<void()> work);

private:
    struct Work
    {
        QPointer<QObject> context;
        std::function<void()> run;
    };
    void runWaitingWork();

    int m_depth = 0;
    std::vector<Work> m_waiting;
};

#include "startup/forms/ProgramApplication.h"

ProgramApplication::ProgramApplication(int &argc, char **argv) : QApplication(argc, argv) {}

ProgramApplication *ProgramApplication::instance()
{
    return dynamic_cast<ProgramApplication *>(QCoreApplication::instance());
}

ProgramApplication &ProgramApplication::running()
{
    ProgramApplication *application = instance();
    if (!application)
        qFatal("The window changes its screens only under the program's own application object.");
    return *application;
}

bool ProgramApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled;
    {
        struct Nesting
        {
            int &depth;
            explicit Nesting(int &d) : depth(d) { ++depth; }
            ~Nesting() { --depth; }
        } nesting(m_depth);
        handled = QApplication::notify(receiver, event);
    }
    if (m_depth == 0 && !m_waiting.empty())
        runWaitingWork();
    return handled;
}

void ProgramApplication::whenHandlersHaveReturned(QObject *context, std::function<void()> work)
{
    if (m_depth > 0) {
        m_waiting.push_back({context, std::move(work)});
        return;
    }
    work();
}

void ProgramApplication::runWaitingWork()
{
    // Work may send events of its own (showing a screen does); what they leave waiting runs after it.
    std::vector<Work> ready;
    ready.swap(m_waiting);
    for (Work &work : ready) {
        if (work.context)
            work.run();
    }
}

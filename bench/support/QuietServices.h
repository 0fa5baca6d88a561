#pragma once

#include "app/forms/AppContext.h"
#include "platform/MediaLayer.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Services for the screen benchmarks: nothing is shown, started, ended, played or navigated to, so
// only the work of the screen itself is timed. A message that would have been shown is printed.
namespace bench_support {

class SilentMessages : public platform::MessageBoxes
{
public:
    void show(const QString &title, const QString &text, Icon) override
    {
        qWarning("%s: %s", qPrintable(title), qPrintable(text));
        ++shown;
    }
    bool ask(const QString &, const QString &) override { return false; }
    int shown = 0;
};

class NoLauncher : public platform::ProgramLauncher
{
public:
    platform::Status startDetached(const QString &, const QStringList &) override
    {
        return platform::Failure{};
    }
};

class NoEnd : public platform::ProgramEnd
{
public:
    void endProgram(int) override {}
};

class NoMedia : public platform::MediaLayer
{
public:
    int sendCommand(const QString &) override { return 0; }
    QString errorText(int) const override { return {}; }
};

class NoNavigation : public Navigator
{
public:
    void showNameSelection() override {}
    void showHub() override {}
    void showDrill(int) override {}
    void showResult() override {}
    void showVersionBox(QWidget *) override {}
};

} // namespace bench_support

#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"

// The real message boxes of the screens.
class QtMessageBoxes : public platform::MessageBoxes
{
public:
    void show(const QString &title, const QString &text, Icon icon) override;
    void showFatal(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
};

// Ends the program at once: the windows close and the process exits with the status.
class ImmediateProgramEnd : public platform::ProgramEnd
{
public:
    void endProgram(int status) override;
};

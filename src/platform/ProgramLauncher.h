#pragma once

#include "platform/Failure.h"

#include <QString>
#include <QStringList>

namespace platform {

// Starts another program in its own window without waiting for it.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    // A failure's text names the program's full path.
    virtual Status startDetached(const QString &program, const QStringList &arguments) = 0;
};

class ProcessLauncher : public ProgramLauncher
{
public:
    Status startDetached(const QString &program, const QStringList &arguments) override;
};

// Ends the program at once after a fatal message; every result is already on disk by then.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram(int status) = 0;
};

} // namespace platform

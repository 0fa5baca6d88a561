#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starts another program in its own window without waiting for it.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    // On failure returns false and puts a message naming the program's full path into *error.
    virtual bool startDetached(const QString &program, const QStringList &arguments, QString *error) = 0;
};

class ProcessLauncher : public ProgramLauncher
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, QString *error) override;
};

// Ends the program at once after a fatal message; every result is already on disk by then.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram(int status) = 0;
};

} // namespace platform

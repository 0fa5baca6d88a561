#include "platform/ProgramLauncher.h"

#include "platform/ErrorText.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QProcess>

namespace platform {

bool ProcessLauncher::startDetached(const QString &program, const QStringList &arguments, QString *error)
{
    const QFileInfo info(program);
    if (!info.exists() || !info.isFile() || !info.isExecutable()) {
        if (error)
            *error = QStringLiteral("プログラムを起動できません：%1（見つからないか、実行できません）")
                         .arg(displayPath(program));
        return false;
    }
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments(arguments);
    process.setWorkingDirectory(info.absolutePath());
    // The started program must not hold on to this program's console.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        if (error)
            *error = QStringLiteral("プログラムを起動できません：%1%2")
                         .arg(displayPath(program), bracketed(processErrorText(process.error())));
        return false;
    }
    return true;
}

} // namespace platform

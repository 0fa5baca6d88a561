#include "platform/ProgramLauncher.h"

#include "platform/ErrorText.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QProcess>

namespace platform {

Status ProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    const QFileInfo info(program);
    if (!info.exists() || !info.isFile() || !info.isExecutable())
        return Failure{.text =
                           QStringLiteral("プログラムを起動できません：%1（見つからないか、実行できません）")
                               .arg(displayPath(program))};
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments(arguments);
    process.setWorkingDirectory(info.absolutePath());
    // The started program must not hold on to this program's console.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        return Failure{.text = QStringLiteral("プログラムを起動できません：%1%2")
                                   .arg(displayPath(program), bracketed(processErrorText(process.error())))};
    return {};
}

} // namespace platform

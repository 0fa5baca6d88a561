#include "platform/ApplicationFolder.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
bool isProgramFile(const QString &path)
{
    // QFileInfo follows a link to see what it names, but keeps the link's own path.
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}
} // namespace

QString startedProgramFile(const QString &argv0, const QString &startupFolder, const QString &pathVariable)
{
    if (argv0.isEmpty())
        return {};
    if (argv0.contains(u'/')) {
        const QString path =
            QDir::cleanPath(QDir::isAbsolutePath(argv0) ? argv0 : startupFolder + u'/' + argv0);
        return isProgramFile(path) ? path : QString();
    }
    for (const QString &folder : pathVariable.split(u':')) {
        // An empty entry is the working folder, as for the shell.
        const QString base = folder.isEmpty()               ? startupFolder
                             : QDir::isAbsolutePath(folder) ? folder
                                                            : startupFolder + u'/' + folder;
        const QString path = QDir::cleanPath(base + u'/' + argv0);
        if (isProgramFile(path))
            return path;
    }
    return {};
}

QString startupWorkingFolder(const QString &pwdVariable)
{
    const QString system = QDir::currentPath();
    if (!pwdVariable.isEmpty() && QDir::isAbsolutePath(pwdVariable)) {
        const QString resolved = QFileInfo(pwdVariable).canonicalFilePath();
        if (!resolved.isEmpty() && resolved == QDir(system).canonicalPath())
            return QDir::cleanPath(pwdVariable);
    }
    return system;
}

QString applicationFolder(const QString &argv0, const QString &startupFolder, const QString &pathVariable,
                          const QString &fallback)
{
    const QString program = startedProgramFile(argv0, startupFolder, pathVariable);
    if (program.isEmpty())
        return fallback;
    const qsizetype slash = program.lastIndexOf(u'/');
    // The program at the root: the folder is the root itself.
    const QString folder = slash <= 0 ? QStringLiteral("/") : program.left(slash);
    return QDir::toNativeSeparators(folder);
}

} // namespace platform

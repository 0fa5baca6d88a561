#include "app/PathRules.h"

#include <QStringList>

namespace app {

QString appFolder(const QString &applicationFolder, QChar separator)
{
    return applicationFolder + separator;
}

QString appFolderName(const QString &applicationFolder, QChar separator)
{
    QString name = applicationFolder;
    qsizetype at;
    while ((at = name.indexOf(separator)) >= 0)
        name = name.mid(at + 1);
    return name;
}

QString pathDataFile(const QString &applicationFolder, QChar separator)
{
    return applicationFolder + separator + QStringLiteral("..") + separator +
           QStringLiteral("パスデータ.txt");
}

QString baseFolder(const QString &pathDataItem, QChar separator)
{
    if (pathDataItem.isEmpty() || pathDataItem.endsWith(separator))
        return pathDataItem;
    return pathDataItem + separator;
}

QString developmentBaseFolder(const QString &applicationFolder, QChar separator)
{
    const qsizetype first = applicationFolder.indexOf(separator);
    const QString drive = first >= 0 ? applicationFolder.left(first + 1) : QString();
    return drive + QString::fromUtf16(kDevelopmentMarker) + separator +
           QString::fromUtf16(kDevelopmentBaseName) + separator;
}

bool isDevelopmentLayout(const QString &applicationFolder)
{
    return applicationFolder.contains(QString::fromUtf16(kDevelopmentMarker));
}

QString dataFolder(const QString &baseFolder, const QString &appFolderName, const QString &applicationFolder,
                   bool developmentLayout, QChar separator)
{
    if (developmentLayout)
        return applicationFolder + separator;
    return baseFolder + appFolderName + separator;
}

QString soundFolder(const QString &baseFolder, QChar separator)
{
    return baseFolder + QStringLiteral("音フォルダ") + separator;
}

QString launcherPath(const QString &applicationFolder, bool developmentLayout, QChar separator)
{
    const QString up = QStringLiteral("..") + separator;
    if (developmentLayout)
        return applicationFolder + separator + up + up + QStringLiteral("起動") + separator +
               QStringLiteral("起動") + separator + QStringLiteral("プログラムメニュー.exe");
    return applicationFolder + separator + up + QStringLiteral("起動") + separator +
           QStringLiteral("プログラムメニューc.exe");
}

QStringList launcherArguments(bool developmentLayout)
{
    return developmentLayout ? QStringList{} : QStringList{QStringLiteral("001")};
}

} // namespace app

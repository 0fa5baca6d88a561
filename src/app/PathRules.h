#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// How the program finds its folders. Paths are built by plain concatenation with the platform's
// separator; every folder path ends with it. The functions take the separator so that the rules can be
// checked with Windows paths too.
namespace app {

// The application folder with a separator appended (appFolder).
QString appFolder(const QString &applicationFolder, QChar separator);

// The last component of the application folder path: as long as the path holds a separator, everything
// up to and including the first one is dropped.
QString appFolderName(const QString &applicationFolder, QChar separator);

// The path data file in the parent of the application folder.
QString pathDataFile(const QString &applicationFolder, QChar separator);

// The base folder as item 1 of the path data file gives it, ending with the separator. A school's file
// written without the final separator would make every file name run into the folder name, so one is
// added when it is missing.
QString baseFolder(const QString &pathDataItem, QChar separator);

// The base folder of the development layout: the drive part of the application folder up to and
// including its first separator, then "VB0006" and the development base folder.
QString developmentBaseFolder(const QString &applicationFolder, QChar separator);
inline constexpr const char16_t *kDevelopmentMarker = u"VB0006";
inline constexpr const char16_t *kDevelopmentBaseName = u"共通データ";
bool isDevelopmentLayout(const QString &applicationFolder);

QString dataFolder(const QString &baseFolder, const QString &appFolderName, const QString &applicationFolder,
                   bool developmentLayout, QChar separator);
QString soundFolder(const QString &baseFolder, QChar separator);

// The family's program menu launcher and its arguments.
QString launcherPath(const QString &applicationFolder, bool developmentLayout, QChar separator);
QStringList launcherArguments(bool developmentLayout);

} // namespace app

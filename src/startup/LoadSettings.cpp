#include "startup/LoadSettings.h"

#include "app/PathRules.h"
#include "drill/LevelCatalogue.h"
#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"
#include "records/StandardsTable.h"
#include "sound/SoundSet.h"
#include "startup/StartupRules.h"

#include <QFileInfo>

namespace startup {

namespace {

bool readSettingsItems(const QString &path, QList<platform::Item> *items, QString *error)
{
    QString text;
    if (!platform::readText932(path, &text, error))
        return false;
    platform::DelimitedItemReader reader(text);
    reader.read(kSettingsItemCount, items);
    if (items->size() < kSettingsItemCount) {
        if (error)
            *error = QStringLiteral("%1 の項目が足りません（%2 個必要ですが %3 個しかありません）。")
                         .arg(platform::displayPath(path), QString::number(kSettingsItemCount),
                              QString::number(items->size()));
        return false;
    }
    return true;
}

} // namespace

bool readPathData(const QString &path, QString *baseFolderItem, QString *error)
{
    QList<platform::Item> items;
    if (!readSettingsItems(path, &items, error))
        return false;
    if (items[0].text.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 の 1 番目の項目（共通フォルダ）が空です。")
                         .arg(platform::displayPath(path));
        return false;
    }
    *baseFolderItem = items[0].text; // items 2 to 10 belong to other programs of the family
    return true;
}

bool readCommonData(const QString &path, PathsAndSettings &settings, QString *error)
{
    QList<platform::Item> items;
    if (!readSettingsItems(path, &items, error))
        return false;
    settings.schoolYearStartMonth = platform::itemValue(items[0]);
    const SchoolText school = splitSchoolText(items[1].text);
    settings.schoolCode = school.code;
    settings.schoolName = school.name;
    settings.commonSetting3 = platform::itemValue(items[2]);
    settings.commonSetting4 = platform::itemValue(items[3]);
    settings.teacherPassword = platform::itemValue(items[5]); // items 5 and 7 to 10 are not used here
    return true;
}

namespace {

// A new installation's path data file names a base folder that is not there yet (the share is not
// mounted, or no school has been laid out): saying only that the common settings file is missing would
// not tell the administrator what to do.
bool baseFolderExists(const QString &baseFolder, const QString &pathDataFile, QString *error)
{
    if (QFileInfo(baseFolder).isDir())
        return true;
    if (error)
        *error = QStringLiteral("共通フォルダがありません：%1\n"
                                "共通フォルダは %2 の 1 番目の項目に書きます。塾の共通フォルダ（ふつうは"
                                "共有フォルダの中）を書いて、シフトJISで保存してください。\n"
                                "新しく始めるときは、yoji-data school \"%1\" で空の塾（共通データ、"
                                "名簿のひな形、音フォルダ）を作れます。")
                     .arg(baseFolder, platform::displayPath(pathDataFile));
    return false;
}

bool readEverySetting(AppState &state, const QString &applicationFolder, QChar separator, QString *error)
{
    PathsAndSettings &settings = state.settings;
    ++settings.fileNumber;
    settings.appFolder = app::appFolder(applicationFolder, separator);

    QString baseItem;
    const QString pathDataFile = app::pathDataFile(applicationFolder, separator);
    if (!readPathData(pathDataFile, &baseItem, error))
        return false;
    settings.baseFolder = app::baseFolder(baseItem, separator);
    if (settings.developmentLayout)
        settings.baseFolder = app::developmentBaseFolder(applicationFolder, separator);
    else if (!baseFolderExists(settings.baseFolder, pathDataFile, error))
        return false;

    ++settings.fileNumber;
    if (!readCommonData(settings.baseFolder + QStringLiteral("共通データ.txt"), settings, error))
        return false;

    settings.appFolderName = app::appFolderName(applicationFolder, separator);
    settings.dataFolder = app::dataFolder(settings.baseFolder, settings.appFolderName, applicationFolder,
                                          settings.developmentLayout, separator);
    settings.soundFolder = app::soundFolder(settings.baseFolder, separator);

    catalogue::applyStartupSettings(state.catalogue);

    ++settings.fileNumber;
    if (!records::standards::readStandardsTable(records::standards::filePath(settings.dataFolder),
                                                state.standards, error))
        return false;
    // A missing or broken sound set stops the start-up like the other settings files: the teacher sees
    // which file is wrong at once, rather than a drill that stays silent without telling why.
    return sound::loadSoundSet(state.settings, state.sound, error);
}

} // namespace

app::Status loadSettings(AppState &state, const QString &applicationFolder, QChar separator)
{
    QString error;
    if (!readEverySetting(state, applicationFolder, separator, &error))
        return app::Failure{QStringLiteral("起動できません"), error, platform::MessageBoxes::Icon::Critical,
                            kStartupFailureExitStatus, false};
    return {};
}

} // namespace startup

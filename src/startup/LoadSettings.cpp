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

app::Result<QList<platform::Item>> readSettingsItems(const QString &path)
{
    const app::Result<QString> text = platform::readText932(path);
    if (!text)
        return text.failure();
    QList<platform::Item> items;
    platform::DelimitedItemReader reader(text.value());
    reader.read(kSettingsItemCount, &items);
    if (items.size() < kSettingsItemCount)
        return app::Failure{
            .text = QStringLiteral("%1 の項目が足りません（%2 個必要ですが %3 個しかありません）。")
                        .arg(platform::displayPath(path), QString::number(kSettingsItemCount),
                             QString::number(items.size()))};
    return items;
}

// An item written without quotes that reads as a number is held as that number (platform::itemValue).
app::TeacherPassword teacherPassword(const platform::Item &item)
{
    const Value value = platform::itemValue(item);
    if (value.typeId() == QMetaType::QString)
        return {.number = std::nullopt, .text = value.toString()};
    return {.number = value.toDouble(), .text = value.toString()};
}

} // namespace

app::Result<QString> readPathData(const QString &path)
{
    const app::Result<QList<platform::Item>> items = readSettingsItems(path);
    if (!items)
        return items.failure();
    if (items.value()[0].text.isEmpty())
        return app::Failure{.text = QStringLiteral("%1 の 1 番目の項目（共通フォルダ）が空です。")
                                        .arg(platform::displayPath(path))};
    return items.value()[0].text; // items 2 to 10 belong to other programs of the family
}

app::Status readCommonData(const QString &path, app::PathsAndSettings &settings)
{
    const app::Result<QList<platform::Item>> read = readSettingsItems(path);
    if (!read)
        return read.status();
    const QList<platform::Item> &items = read.value();
    settings.schoolYearStartMonth = int(platform::valueNumber(platform::itemValue(items[0])));
    const SchoolText school = splitSchoolText(items[1].text);
    settings.schoolCode = school.code;
    settings.schoolName = school.name;
    settings.commonSetting3 = platform::valueNumber(platform::itemValue(items[2])) == 1.0;
    settings.commonSetting4 = int(platform::valueNumber(platform::itemValue(items[3])));
    settings.teacherPassword = teacherPassword(items[5]); // items 5 and 7 to 10 are not used here
    return {};
}

namespace {

// A new installation's path data file names a base folder that is not there yet (the share is not
// mounted, or no school has been laid out): saying only that the common settings file is missing would
// not tell the administrator what to do.
app::Status baseFolderExists(const QString &baseFolder, const QString &pathDataFile)
{
    if (QFileInfo(baseFolder).isDir())
        return std::nullopt;
    return app::Failure{
        .text = QStringLiteral("共通フォルダがありません：%1\n"
                               "共通フォルダは %2 の 1 番目の項目に書きます。塾の共通フォルダ（ふつうは"
                               "共有フォルダの中）を書いて、シフトJISで保存してください。\n"
                               "新しく始めるときは、yoji-data school \"%1\" で空の塾（共通データ、"
                               "名簿のひな形、音フォルダ）を作れます。")
                    .arg(baseFolder, platform::displayPath(pathDataFile))};
}

app::Status readEverySetting(AppState &state, const QString &applicationFolder, QChar separator)
{
    app::PathsAndSettings &settings = state.settings;
    ++settings.fileNumber;
    settings.appFolder = app::appFolder(applicationFolder, separator);

    const QString pathDataFile = app::pathDataFile(applicationFolder, separator);
    const app::Result<QString> baseItem = readPathData(pathDataFile);
    if (!baseItem)
        return baseItem.status();
    settings.baseFolder = app::baseFolder(baseItem.value(), separator);
    if (settings.developmentLayout)
        settings.baseFolder = app::developmentBaseFolder(applicationFolder, separator);
    else if (app::Status missing = baseFolderExists(settings.baseFolder, pathDataFile))
        return missing;

    ++settings.fileNumber;
    if (app::Status read = readCommonData(settings.baseFolder + QStringLiteral("共通データ.txt"), settings))
        return read;

    settings.appFolderName = app::appFolderName(applicationFolder, separator);
    settings.dataFolder = app::dataFolder(settings.baseFolder, settings.appFolderName, applicationFolder,
                                          settings.developmentLayout, separator);
    settings.soundFolder = app::soundFolder(settings.baseFolder, separator);

    catalogue::applyStartupSettings(state.catalogue);

    ++settings.fileNumber;
    if (app::Status read = records::standards::readStandardsTable(
            records::standards::filePath(settings.dataFolder), state.standards))
        return read;
    // A missing or broken sound set stops the start-up like the other settings files: the teacher sees
    // which file is wrong at once, rather than a drill that stays silent without telling why.
    return sound::loadSoundSet(state.settings, state.sound);
}

} // namespace

app::Status loadSettings(AppState &state, const QString &applicationFolder, QChar separator)
{
    app::Status failed = readEverySetting(state, applicationFolder, separator);
    if (failed) {
        failed->title = QStringLiteral("起動できません");
        failed->icon = platform::MessageBoxes::Icon::Critical;
        failed->exitStatus = kStartupFailureExitStatus;
    }
    return failed;
}

} // namespace startup

#pragma once

#include "app/Tables.h"

#include <QString>

#include <optional>

namespace app {

// The teacher password of the common settings file. Its item may have been read as a number (written
// without quotes): then `number` holds it, and the text typed must be that number; else the text.
struct TeacherPassword
{
    std::optional<double> number;
    QString text; // the item as it was read

    bool operator==(const TeacherPassword &) const = default;
};

// Folders and settings, found at start-up; the settings' items are read into their types once, there.
struct PathsAndSettings
{
    QString appFolder;     // the application folder, ending with the separator; the idiom data lives here
    QString baseFolder;    // the family's common folder, ending with the separator
    QString dataFolder;    // this program's data folder (standards table, results file)
    QString soundFolder;   // baseFolder + "音フォルダ" + separator
    QString appFolderName; // the name of the folder the program runs from
    bool developmentLayout = false; // the program runs from the development folder layout
    int schoolYearStartMonth = 0;   // month in which the school year begins (read as a number once)
    QString schoolCode;             // up to five characters written into every results record
    QString schoolName;             // shown on screens
    bool commonSetting3 = false; // roster option: its item is 1, so the students of status 2 are listed too
    int commonSetting4 = 0;      // roster screen option (its item's number)
    TeacherPassword teacherPassword; // compared by the teacher entry of the hub
    quint32 seasonColour = 0;        // background colour of the month, 0xRRGGBB
    int fileNumber = 0;              // number of the file routine last run; every file routine takes a
                                     // fresh one and closes its files when it ends
};

} // namespace app

#pragma once

#include "app/Tables.h"

#include <QString>

// Folders and settings, found at start-up.
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
    Value commonSetting3;           // roster option: 1 lists the students of status 2 too
    Value commonSetting4;           // roster screen option
    Value teacherPassword;          // compared by the teacher entry of the hub
    quint32 seasonColour = 0;       // background colour of the month, 0xRRGGBB
    int fileNumber = 0;             // number of the file routine last run; every file routine takes a
                                    // fresh one and closes its files when it ends
};

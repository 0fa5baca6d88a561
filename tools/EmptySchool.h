#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// An empty school for a new installation: what the program needs in the family's base folder before its
// first start, with the school's own data still to be filled in.
//
//   <base>/共通データ.txt            school year from April, a school name to replace, a new teacher password
//   <base>/新名簿.txt                a template: one teacher line, in the roster's eight fields
//   <base>/音フォルダ/               the sound set and its wave files (the demo school's tones)
//   <base>/<data folder>/            the program's data folder with the standards table
//
// Laying it out again writes only what is missing: a school's edited files and results stay as they are.
namespace yojidata {

// The application folder's name in the package, which names the program's data folder in the base folder.
inline constexpr const char16_t *kApplicationFolderName = u"四字熟語";

struct EmptySchool
{
    QString baseFolder; // ends with "/"
    QString dataFolder; // ends with "/"
    QString password;   // the teacher password written now; empty when the common settings were kept
    QStringList written;
};

QStringList emptyCommonDataLines(const QString &password);
QStringList rosterTemplateLines();

// A teacher password of six lower-case letters from the system's random source.
QString newTeacherPassword();

bool layOutEmptySchool(const QString &baseFolder, const QString &dataFolderName, EmptySchool *school,
                       QString *error);

} // namespace yojidata

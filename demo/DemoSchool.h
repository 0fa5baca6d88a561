#pragma once

#include "app/Failure.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The demo school: a complete installation of the program in the family's folder layout, with a roster,
// a sound set, standards and settings that look like a real school's.
//
//   <root>/パスデータ.txt                item 1 names the base folder
//   <root>/四字熟語/                     the application folder (the run command copies the program here)
//   <root>/塾データ/共通データ.txt       school code and name, teacher password
//   <root>/塾データ/新名簿.txt           about forty students and two teachers
//   <root>/塾データ/音フォルダ/          the sound set file and its wave files
//   <root>/塾データ/四字熟語/            the data folder: the standards table (and the results file)
//
// Laying it out again writes only what is missing: a school's results and edited files stay as they are.
namespace demo {

struct Layout
{
    QString root;
    QString appFolder;
    QString baseFolder;
    QString soundFolder;
    QString dataFolder;
    explicit Layout(const QString &root);
};

// Writes the file unless it exists already; a failed write comes back with its message.
app::Status writeTextIfMissing(const QString &path, const QStringList &lines, QStringList *written);

QStringList commonDataLines();
QStringList rosterLines(QDate today);
QStringList soundSetLines();
QStringList standardsLines();

// Generates the short wave files of the sound set (16-bit PCM) that are missing.
app::Status writeSounds(const QString &soundFolder, QStringList *written);

app::Status layOut(const QString &root, QDate today, QStringList *written);

} // namespace demo

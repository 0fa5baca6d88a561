#include "EmptySchool.h"

#include "DemoSchool.h"
#include "app/PathRules.h"
#include "platform/TextFile.h"
#include "records/StandardsTable.h"
#include "roster/RosterFile.h"
#include "sound/SoundSet.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace yojidata {

QStringList emptyCommonDataLines(const QString &password)
{
    // 1 school year start month, 2 school code (five digits, may be left out) and name, 3 and 4 roster
    // options, 5 unused, 6 teacher password, 7 to 10 used by other programs of the family.
    return {QStringLiteral("4"),    QStringLiteral("\"塾の名前\""),
            QStringLiteral("0"),    QStringLiteral("0"),
            QStringLiteral("\"\""), QStringLiteral("\"%1\"").arg(password),
            QStringLiteral("0"),    QStringLiteral("0"),
            QStringLiteral("0"),    QStringLiteral("0")};
}

QStringList rosterTemplateLines()
{
    // number, school year of birth, two spare numbers, name, status (0 listed), two spare texts. A name
    // with "★" or "先生" is a teacher's, who reaches the teacher tools.
    return {QStringLiteral("999,1980,0,0,\"★先生\",0,\"\",\"\"")};
}

QString newTeacherPassword()
{
    QString password;
    for (int i = 0; i < 6; ++i)
        password += QChar(u'a' + QRandomGenerator::system()->bounded(26));
    return password;
}

bool layOutEmptySchool(const QString &baseFolder, const QString &dataFolderName, EmptySchool *school,
                       QString *error)
{
    const QString base = QDir::cleanPath(QDir(baseFolder).absolutePath()) + u'/';
    school->baseFolder = base;
    school->dataFolder = base + dataFolderName + u'/';
    school->password.clear();
    school->written.clear();
    for (const QString &folder : {base, school->dataFolder}) {
        const QFileInfo info(folder);
        if ((info.exists() && !info.isDir()) || !QDir().mkpath(folder)) {
            if (error)
                *error = QStringLiteral("フォルダを作れません：%1").arg(platform::displayPath(folder));
            return false;
        }
    }
    const QString commonData = base + QStringLiteral("共通データ.txt");
    const QString password = newTeacherPassword();
    const bool newCommonData = !QFileInfo::exists(commonData);
    const QString soundFolder = app::soundFolder(base, u'/');
    if (!demo::writeTextIfMissing(commonData, emptyCommonDataLines(password), &school->written, error) ||
        !demo::writeTextIfMissing(roster::filePath(base), rosterTemplateLines(), &school->written, error) ||
        !demo::writeTextIfMissing(sound::soundSetPath(soundFolder), demo::soundSetLines(), &school->written,
                                  error) ||
        !demo::writeSounds(soundFolder, &school->written, error) ||
        !demo::writeTextIfMissing(records::standards::filePath(school->dataFolder), demo::standardsLines(),
                                  &school->written, error))
        return false;
    if (newCommonData)
        school->password = password;
    return true;
}

} // namespace yojidata

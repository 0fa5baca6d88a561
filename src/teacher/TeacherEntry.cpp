#include "teacher/TeacherEntry.h"

namespace teacher {

QString wrongPasswordMessage()
{
    return QStringLiteral("パスワードを入力して下さい");
}

bool passwordMatches(const app::TeacherPassword &teacherPassword, const QString &typed)
{
    if (!teacherPassword.number)
        return typed == teacherPassword.text;
    bool ok = false;
    const double number = typed.trimmed().toDouble(&ok);
    return ok && number == *teacherPassword.number;
}

} // namespace teacher

#include "teacher/TeacherEntry.h"

namespace teacher {

QString wrongPasswordMessage()
{
    return QStringLiteral("パスワードを入力して下さい");
}

bool passwordMatches(const Value &teacherPassword, const QString &typed)
{
    switch (teacherPassword.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: {
        bool ok = false;
        const double number = typed.trimmed().toDouble(&ok);
        return ok && number == teacherPassword.toDouble();
    }
    default:
        return typed == teacherPassword.toString();
    }
}

} // namespace teacher

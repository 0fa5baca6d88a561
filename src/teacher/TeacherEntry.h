#pragma once

#include "app/PathsAndSettings.h"

#include <QString>

// The hub's way to the teacher tools: the password of the common settings file.
namespace teacher {

// The message of a wrong password.
QString wrongPasswordMessage();

// Whether the text typed in the password box opens the tools. The password item of the settings file
// may have been read as a number (written without quotes): then the typed text must be that number
// ("0123" and "123" both open a password 123); a text password must be typed exactly. An empty box opens
// only an empty password.
bool passwordMatches(const app::TeacherPassword &teacherPassword, const QString &typed);

} // namespace teacher

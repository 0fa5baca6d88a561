#include "hub/HubRules.h"

#include <Qt>

namespace hub {

HubKey hubKey(int qtKey, bool control, bool alt)
{
    HubKey key;
    if (control)
        return key;
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9 && !alt) {
        key.action = HubKey::Action::StartLevel;
        key.level = qtKey - Qt::Key_0;
    } else if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_D) {
        key.action = HubKey::Action::StartLevel;
        key.level = 10 + (qtKey - Qt::Key_A);
    } else if (qtKey == Qt::Key_0 && !alt) {
        key.action = HubKey::Action::Back;
    }
    return key;
}

bool printButtonShown(qint16 printMode, bool teacher)
{
    return printMode == 2 || (printMode == 1 && teacher);
}

} // namespace hub

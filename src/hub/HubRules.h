#pragma once

#include <QtGlobal>

// The hub's decisions that do not depend on what the lists show: which key starts which level, and
// whether the print button is offered.
namespace hub {

// What a key pressed in the hub's window does. Keys 1 to 9 start levels 1 to 9 and A to D levels 10
// to 13 (the start buttons' access keys); 0 is "戻る". A key with Ctrl, and a digit with Alt, is left
// to the focused control. A level beyond the catalogue's count takes the key without starting anything.
struct HubKey
{
    enum class Action { None, StartLevel, Back } action = Action::None;
    int level = 0; // for StartLevel: 1 to 13
};
HubKey hubKey(int qtKey, bool control, bool alt);

// The print button: always with print mode 2, for teachers only with print mode 1, else never.
bool printButtonShown(qint16 printMode, bool teacher);

} // namespace hub

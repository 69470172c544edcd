#pragma once
// The Options dialog (six of the settings) and the About dialog.

#include "platform/gui/WinTypes.h"

namespace app {

// True when the user confirmed; the settings and the list font are then
// changed (the caller applies them to the list).
bool ShowOptions(ce::HWND owner);
void ShowAbout(ce::HWND owner);

}  // namespace app

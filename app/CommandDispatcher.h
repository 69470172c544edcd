#pragma once
// Every menu item, menu-bar button, accelerator and list gesture arrives
// here as a command of the main window.

#include "platform/gui/WinTypes.h"

namespace app {

// Carries out a command. Meanwhile commands are not idle (the main window
// refuses to close); afterwards the menus follow the selection again.
void RunCommand(ce::UINT command);

}  // namespace app

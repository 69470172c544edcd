#pragma once
// The main window's commands: every menu item, menu-bar button, accelerator
// and list gesture arrives here as a command, and one table says for each
// what it does and when it can be chosen.

#include "platform/gui/WinTypes.h"
#include "ui/CommandTable.h"

namespace app {

// The main window's table: the dispatch below, the menu state and the tests
// read it.
ui::CommandTable MainWindowCommands();

// Carries out a command. Meanwhile commands are not idle (the main window
// refuses to close); afterwards the menus follow the selection again.
void RunCommand(ce::UINT command);

}  // namespace app

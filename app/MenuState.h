#pragma once
// Enabling and radio marks of the main window's menus and menu-bar buttons.

#include "platform/gui/WinTypes.h"

namespace app {

// Updates `popup` (a popup about to open), or the menu bar's whole menu
// when it is nullptr, and the menu bar's buttons: the main window's commands
// are greyed where their rules say; the current view and sort carry the
// radio mark.
void UpdateMenus(ce::HMENU popup);

}  // namespace app

#pragma once
// The keyboard shell (tessbook): captioned dialogs centred on the screen,
// and for now a plain menu bar with the main menu's popups (its command
// bands and tool bars come later).

#include <memory>

#include "appcore/EditionShell.h"

namespace shells {

std::unique_ptr<appcore::EditionShell> MakeKeyboardShell();

}  // namespace shells

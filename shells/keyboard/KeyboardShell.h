#pragma once
// The keyboard shell (tessbook): captioned dialogs centred on the screen,
// the main window's command bands (a menu band and a toolbar band whose
// sizes persist), the record editor's command bar and the four-column list.

#include <memory>

#include "appcore/EditionShell.h"

namespace shells {

std::unique_ptr<appcore::EditionShell> MakeKeyboardShell();

}  // namespace shells

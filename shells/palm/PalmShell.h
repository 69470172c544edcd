#pragma once
// The palm-size shell (tessaly): full-screen dialogs with a Done button, a
// painted title line and a help button; the shell menu bar with menus and
// buttons.

#include <memory>

#include "appcore/EditionShell.h"

namespace shells {

std::unique_ptr<appcore::EditionShell> MakePalmShell();

}  // namespace shells

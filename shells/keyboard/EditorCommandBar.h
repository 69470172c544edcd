#pragma once
// The record editor's command bar (keyboard edition).

#include "platform/gui/CommandBar.h"

namespace shells {

// Puts the command bar along the top of the editor (its controls move down
// to make room) and centres the editor; nullptr on failure.
ce::HWND CreateEditorCommandBar(ce::HWND editor);
// Centres a window on the screen less the menu height, keeping its size.
void CentreOnScreen(ce::HWND window);

}  // namespace shells

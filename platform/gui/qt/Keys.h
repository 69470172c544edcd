#pragma once
// Qt's keys as the platform's virtual keys.

#include <QKeyEvent>

#include "platform/gui/WinTypes.h"

namespace ce::gui::qt {

// The virtual key of a Qt key, 0 for a key the platform has no code for
// (its character, if any, then arrives as WM_CHAR alone).
WORD VirtualKey(int qtKey);

// Whether the message loop turns the key into WM_CHAR itself (TranslateMessage):
// letters, digits, space, Enter, Backspace, Escape and Tab.
bool TranslatedToCharacter(WORD virtualKey);

}  // namespace ce::gui::qt

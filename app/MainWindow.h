#pragma once
// The main window: its class, its creation with the list and the menu bar,
// and its window procedure.

#include "platform/gui/WinTypes.h"

namespace app {

inline constexpr const ce::WCHAR* kMainClassName = u"MainDbDeleteClass";

bool RegisterMainClass();
// Creates, shows and lays out the main window; false (after string 12) when
// its contents cannot be made.
bool CreateMainWindow();

ce::LRESULT MainWindowProcedure(ce::HWND window, ce::UINT message, ce::WPARAM wParam,
                                ce::LPARAM lParam);

}  // namespace app

#pragma once
// The mouse cursor: only the wait cursor and "no cursor" are used. The
// backend shows the current one; headless runs only remember it.

#include "platform/gui/WinTypes.h"

namespace ce {

struct CursorTag;
using HCURSOR = CursorTag*;

inline const WCHAR* const IDC_ARROW = reinterpret_cast<const WCHAR*>(32512);
inline const WCHAR* const IDC_WAIT = reinterpret_cast<const WCHAR*>(32514);

HCURSOR LoadCursorW(HINSTANCE hInstance, const WCHAR* lpCursorName);
// Sets the cursor (nullptr removes it); returns the previous one.
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();

// Whether the wait cursor is showing, for tests.
bool WaitCursorShown();

}  // namespace ce

#pragma once
// GDI objects: fonts described by LOGFONTW. A backend turns a font into its
// own (Qt) font when it draws; headless runs keep only the description.

#include "platform/gui/WinTypes.h"

namespace ce {

HFONT CreateFontIndirectW(const LOGFONTW* lplf);
// Stock objects are never deleted; DeleteObject on one succeeds and does nothing.
HGDIOBJ GetStockObject(int fnObject);
// Copies the object's description (a LOGFONTW for a font); returns the bytes copied.
int GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, void* lpvObject);
BOOL DeleteObject(HGDIOBJ hObject);

// The description of a font, or nullptr for a handle that is not a font.
const LOGFONTW* FontDescription(HFONT font);
// Number of live (non-stock) GDI objects, for leak checks in tests.
std::size_t LiveGdiObjectCount();

}  // namespace ce

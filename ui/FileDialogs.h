#pragma once
// The open and save file dialogs with a filter from the string table, and
// creating a file with a question before an existing one is overwritten.

#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"

namespace ui {

using ce::HWND;
using ce::UINT;
using ce::WCHAR;

// Asks for a file: `path` (MAX_PATH units) receives the chosen path; on
// Cancel it is left as it was and the result is false. `filterId` is a
// string such as "Backup Files (*.bkp)|*.bkp||"; `defaultExtension` a
// pattern such as "*.bkp". Open requires the file to exist; save asks
// before overwriting.
bool AskFileName(HWND owner, WCHAR* path, bool open, UINT filterId, const WCHAR* defaultExtension);

// Creates `path` for writing (and reading back), replacing an existing file once the user
// agreed (string 99). A path that cannot be created and begins with two
// backslashes is tried again without the first. Returns the file (and the
// path used, in `usedPath` of MAX_PATH units when given), or the invalid
// handle after a No or a failure (string 76 shown).
ce::HANDLE CreateFileAsking(HWND owner, const WCHAR* path, WCHAR* usedPath = nullptr);

}  // namespace ui

#pragma once
// Commands on whole databases, started on the selected row: delete, empty,
// rename, copy and the properties dialog. Each reports its own failures and
// returns false for them and for a cancelled question or dialog.

#include "platform/core/Types.h"

namespace app {

using ce::WCHAR;

bool DeleteSelected(const WCHAR* name);
bool EmptySelected(const WCHAR* name);
// With the dialog (the Rename command) the user enters the new name; without
// it (in-place label editing) the name dialog's target name is used as set.
bool Rename(const WCHAR* oldName, bool withDialog);
bool Copy(const WCHAR* name);
// The properties of the first selected row (dialog 109).
void ShowProperties();

}  // namespace app

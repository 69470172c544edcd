#pragma once
// The two small dialogs about database names that other commands reuse:
// the name dialog ("From:" and "To:") and the "Database Exists" question.

#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"
#include "store/Database.h"

namespace app {

using ce::HWND;
using ce::WCHAR;

// The name dialog's parameters, shared by the process (one dialog at a time).
struct NameDialogParameters {
    WCHAR source[store::kDatabaseNameUnits] = {};
    // Captions the dialog "Rename Database".
    bool renameMode = false;
    // The name entered in "To:".
    WCHAR target[store::kDatabaseNameUnits] = {};
};
NameDialogParameters& NameParameters();

// The name dialog with the shared parameters: true when a new name that no
// database has was entered. An existing name keeps the dialog open (string
// 48); an empty one cancels.
bool AskName(HWND owner = nullptr);
// The name dialog in rename mode for `source`; the chosen name goes to
// `target`. False when the user cancelled.
bool AskNewName(const WCHAR* source, WCHAR (&target)[store::kDatabaseNameUnits],
                HWND owner = nullptr);

// The "Database Exists" question: kExistsRename, kExistsCancel or
// kExistsOverwrite.
inline constexpr int kExistsRename = 1;
inline constexpr int kExistsCancel = 2;
inline constexpr int kExistsOverwrite = 1011;
int AskExists(const WCHAR* name, HWND owner = nullptr);

}  // namespace app

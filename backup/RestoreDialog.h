#pragma once
// The Restore Databases dialog: the archive's databases with their sizes,
// an information line for the selected one, and OK to restore the chosen.
//
// In an unattended run the console host answers it (and the questions a
// restore asks about an existing database): it lists the databases and
// reads which to restore.

#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/WinTypes.h"

namespace backup {

class BackupArchive;

// Runs the dialog over the open archive; true when the restore ran and
// succeeded.
bool RunRestoreDialog(BackupArchive& archive, ce::HWND owner);

// The rows a console answer chooses from a line such as "1 3", "*" or "all"
// (numbers count from 1); false when the line names nothing valid.
bool ParseRowChoice(std::u16string_view line, int rows, std::vector<int>& chosen);

// Registers the console's answers to the restore dialog, the "Database
// Exists" question and the name dialog, unless others are registered.
void AnswerRestoreOnConsole();

}  // namespace backup

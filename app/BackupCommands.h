#pragma once
// The main window's Backup, Autobackup and Restore commands, and the
// browser's questions about an existing database that every restore asks.

#include "backup/BackupArchive.h"

namespace app {

// Backup: the options dialog, then the selected rows (or every row) of the
// main list, in list order, until one fails.
void BackupCommand();
// Autobackup: the script file chosen first when "Prompt for Autobackup
// script file" is on, then the script run.
void AutobackupCommand();
// Restore: an archive chosen and restored; the list is refreshed after.
void RestoreCommand();

// The "Database Exists" question and the name dialog, for restores.
backup::ExistsQuestions BrowserExistsQuestions();

}  // namespace app

#pragma once
// The Backup Options dialog: selected or all databases, compression,
// password and the Autobackup script to generate.

#include "platform/gui/WinTypes.h"

namespace backup {

class BackupArchive;

// Runs the dialog and stores its choices in `archive` (and the script name
// in the settings); false when the user cancelled.
bool ShowBackupOptions(BackupArchive& archive, ce::HWND owner);

inline constexpr const char16_t* kBackupTopic = u"backup";
inline constexpr const char16_t* kRestoreTopic = u"restore";

}  // namespace backup

#pragma once
// Numbers of the backup and restore dialogs and of their controls.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

// Dialog templates: the portrait ones, and the landscape ones used when the
// screen is wider than high (the keyboard edition has the first only).
inline constexpr UINT IDD_RESTORE = 112;
inline constexpr UINT IDD_RESTORE_WIDE = 193;
inline constexpr UINT IDD_BACKUP_OPTIONS = 118;
inline constexpr UINT IDD_BACKUP_OPTIONS_WIDE = 190;

// Backup Options.
inline constexpr UINT IDC_BACKUP_SELECTED = 1013;
inline constexpr UINT IDC_BACKUP_ALL = 1014;
inline constexpr UINT IDC_BACKUP_COMPRESS = 1015;
inline constexpr UINT IDC_BACKUP_MAKE_SCRIPT = 1017;
inline constexpr UINT IDC_BACKUP_PASSWORD = 1029;
inline constexpr UINT IDC_BACKUP_SCRIPT_NAME = 1028;
inline constexpr UINT IDC_BACKUP_SCRIPT_BROWSE = 1030;
// The keyboard edition's script name and browse button.
inline constexpr UINT IDC_BACKUP_SCRIPT_NAME_KEYBOARD = 1033;
inline constexpr UINT IDC_BACKUP_SCRIPT_BROWSE_KEYBOARD = 1034;

// Restore.
inline constexpr UINT IDC_RESTORE_LIST = 1010;
inline constexpr UINT IDC_RESTORE_INFO = 1016;

// Strings.
inline constexpr UINT IDS_CATALOGUE_DATE = 80;
inline constexpr UINT IDS_DATABASE_IN_USE_KEYBOARD = 127;
// The restore list's column widths in pixels: name, size and (when given) date.
inline constexpr UINT IDS_RESTORE_COLUMNS = 2000;

}  // namespace res

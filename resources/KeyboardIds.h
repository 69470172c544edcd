#pragma once
// Numbers of the keyboard edition's own resources and commands: its command
// bands, menus and the tooltip texts of its toolbars.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

// The command-band strip of the main window and its two bands.
inline constexpr UINT IDC_COMMAND_BANDS = 10005;
inline constexpr UINT IDC_MENU_BAND = 10007;
inline constexpr UINT IDC_TOOLBAR_BAND = 10006;
// The band images: a strip of 14-pixel-wide images.
inline constexpr UINT IDB_BAND_IMAGES = 136;

// Menus: the list's context menu and the record editor's menu bar.
inline constexpr UINT IDR_KEYBOARD_LIST_MENU = 120;
inline constexpr UINT IDR_KEYBOARD_EDITOR_MENU = 129;

// Commands that have identifiers of their own in this edition.
inline constexpr UINT IDM_KEYBOARD_LARGE_ICONS = 40010;
inline constexpr UINT IDM_KEYBOARD_AUTOBACKUP = 40026;

// Tooltip texts of the main toolbar, numbered as the commands they describe.
inline constexpr UINT IDS_TIP_DELETE_DATABASE = 40001;
inline constexpr UINT IDS_TIP_PROPERTIES_ENTER = 40003;
inline constexpr UINT IDS_TIP_SMALL_ICONS = 40007;
inline constexpr UINT IDS_TIP_LIST = 40008;
inline constexpr UINT IDS_TIP_DETAILS = 40009;
inline constexpr UINT IDS_TIP_LARGE_ICONS = 40010;
inline constexpr UINT IDS_TIP_SEND_DATABASE = 40012;
inline constexpr UINT IDS_TIP_RECEIVE_DATABASE = 40013;
inline constexpr UINT IDS_TIP_COPY_DATABASE = 40014;
inline constexpr UINT IDS_TIP_BACKUP_DATABASES = 40022;
inline constexpr UINT IDS_TIP_RESTORE_DATABASES = 40023;
inline constexpr UINT IDS_TIP_EXPORT_DATABASE = 40025;
inline constexpr UINT IDS_TIP_AUTOBACKUP_SCRIPT = 40026;

}  // namespace res

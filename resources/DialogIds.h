#pragma once
// Numbers of the dialog templates, menus, menu bars, accelerator tables and
// bitmaps, named for what they show.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

// Dialog templates.
inline constexpr UINT IDD_ABOUT = 101;
inline constexpr UINT IDD_NAME = 108;
inline constexpr UINT IDD_PROPERTIES = 109;
inline constexpr UINT IDD_OPTIONS = 111;
inline constexpr UINT IDD_DATABASE_EXISTS = 113;
inline constexpr UINT IDD_PROTECT_PASSWORD = 125;
inline constexpr UINT IDD_ENTER_PASSWORD = 126;
inline constexpr UINT IDD_PROGRESS = 127;
// Export Database, and the registry backup's selection of main keys
// (portrait and landscape; the keyboard edition has the landscape one only).
inline constexpr UINT IDD_EXPORT = 119;
inline constexpr UINT IDD_REGISTRY_BACKUP = 128;
inline constexpr UINT IDD_REGISTRY_BACKUP_WIDE = 191;

// The landscape members of the portrait/landscape pairs (118/190, 128/191,
// 129/192, 112/193): used only when the screen is wider than high.
inline constexpr bool IsLandscapeTemplate(UINT id) {
    return id >= 190 && id <= 193;
}

// Menus, the palm-size menu bar and accelerator tables.
inline constexpr UINT IDR_MAIN_MENU = 101;
inline constexpr UINT IDR_LIST_MENU = 129;
inline constexpr UINT IDR_MAIN_ACCELERATORS = 101;
inline constexpr UINT IDR_EDITOR_ACCELERATORS = 102;

// Icons and bitmaps (pairs: normal and high resolution).
inline constexpr UINT IDI_PROGRAM = 101;
inline constexpr UINT IDB_TOOLBAR = 125;
inline constexpr UINT IDB_TOOLBAR_LARGE = 148;
inline constexpr UINT IDB_SORT_MARKS_LARGE = 143;
inline constexpr UINT IDB_SORT_MARKS = 174;
inline constexpr UINT IDB_ICONS_SMALL = 144;
inline constexpr UINT IDB_ICONS = 145;
inline constexpr UINT IDB_ICONS_LARGE = 149;
inline constexpr UINT IDB_HELP = 158;
inline constexpr UINT IDB_HELP_LARGE = 159;

}  // namespace res

#pragma once
// Identifiers of dialog controls and of the commands that menus, buttons
// and accelerators send.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

// Shared by every framed dialog.
inline constexpr UINT IDC_STATIC = static_cast<UINT>(-1);
inline constexpr UINT IDC_TITLE = 1032;           // hidden; its text is the painted title
inline constexpr UINT IDC_GROUP_CAPTION = 65534;  // group boxes, drawn in the bold font
inline constexpr UINT IDC_HELP_BUTTON = 40134;    // the frame's help button (also a command)

// About.
inline constexpr UINT IDC_ABOUT_AVAILABLE = 1001;
inline constexpr UINT IDC_ABOUT_FREE = 1002;

// Name dialog.
inline constexpr UINT IDC_NAME_TO = 1001;
inline constexpr UINT IDC_NAME_FROM = 1002;

// Database properties.
inline constexpr UINT IDC_PROP_NAME = 1001;
inline constexpr UINT IDC_PROP_SIZE = 1004;
inline constexpr UINT IDC_PROP_MODIFIED = 1005;
inline constexpr UINT IDC_PROP_TYPE = 1006;
inline constexpr UINT IDC_PROP_RECORDS = 1007;

// Options (palm-size identifiers; the keyboard edition uses its own for three).
inline constexpr UINT IDC_OPT_SHOW_SYSTEM = 1009;
inline constexpr UINT IDC_OPT_BOLD = 1024;
inline constexpr UINT IDC_OPT_FULL_ROW = 1025;
inline constexpr UINT IDC_OPT_PROMPT_SCRIPT = 1031;
inline constexpr UINT IDC_OPT_SHOW_WARNING = 1044;
inline constexpr UINT IDC_OPT_DOUBLE_TAP = 1077;

// "Database Exists".
inline constexpr UINT IDC_OVERWRITE = 1011;
inline constexpr UINT IDC_EXISTS_TEXT = 1012;

// Protect Backup and Enter Password.
inline constexpr UINT IDC_PASSWORD = 1025;
inline constexpr UINT IDC_PASSWORD_CONFIRM = 1026;
inline constexpr UINT IDC_PASSWORD_ENTER = 1027;

// Export Database.
inline constexpr UINT IDC_EXPORT_FORMAT = 1018;
inline constexpr UINT IDC_EXPORT_UNICODE = 1019;

// Registry backup selection: the list of main keys and "Password-protected".
inline constexpr UINT IDC_REG_ROOTS = 1036;
inline constexpr UINT IDC_REG_PASSWORD = 1029;

// Progress window.
inline constexpr UINT IDC_PROGRESS_BAR = 1008;
inline constexpr UINT IDC_PROGRESS_TEXT = 1016;

// The database list in the main window.
inline constexpr UINT IDC_DATABASE_LIST = 10001;

// Main-window commands.
inline constexpr UINT IDM_DELETE = 40001;
inline constexpr UINT IDM_RENAME = 40002;
inline constexpr UINT IDM_PROPERTIES = 40003;
inline constexpr UINT IDM_ABOUT = 40004;
inline constexpr UINT IDM_CLOSE = 40005;
inline constexpr UINT IDM_VIEW_SMALL_ICONS = 40007;
inline constexpr UINT IDM_VIEW_LIST = 40008;
inline constexpr UINT IDM_VIEW_DETAILS = 40009;
inline constexpr UINT IDM_VIEW_LARGE_ICONS = 40011;
inline constexpr UINT IDM_SEND = 40012;
inline constexpr UINT IDM_RECEIVE = 40013;
inline constexpr UINT IDM_COPY = 40014;
inline constexpr UINT IDM_REFRESH = 40015;
inline constexpr UINT IDM_HELP = 40016;
inline constexpr UINT IDM_ARRANGE_BY_NAME = 40017;
inline constexpr UINT IDM_ARRANGE_BY_SIZE = 40018;
inline constexpr UINT IDM_ARRANGE_BY_DATE = 40019;
inline constexpr UINT IDM_OPTIONS = 40021;
inline constexpr UINT IDM_BACKUP = 40022;
inline constexpr UINT IDM_RESTORE = 40023;
inline constexpr UINT IDM_EMPTY = 40024;
inline constexpr UINT IDM_EXPORT = 40025;
inline constexpr UINT IDM_AUTOBACKUP = 40027;
inline constexpr UINT IDM_BACKUP_REGISTRY = 40035;
inline constexpr UINT IDM_RESTORE_REGISTRY = 40036;
inline constexpr UINT IDM_VIEW_MODIFY = 40084;

// Record-editor commands (accelerator table 102).
inline constexpr UINT IDM_RECORD_FIRST = 40079;
inline constexpr UINT IDM_RECORD_PREVIOUS = 40080;
inline constexpr UINT IDM_RECORD_NEXT = 40081;
inline constexpr UINT IDM_RECORD_LAST = 40082;
inline constexpr UINT IDM_EDIT_UNDO = 40108;
inline constexpr UINT IDM_EDIT_COPY = 40109;
inline constexpr UINT IDM_EDIT_PASTE = 40110;
inline constexpr UINT IDM_EDIT_CUT = 40111;
inline constexpr UINT IDM_FIND = 40113;
inline constexpr UINT IDM_FIND_NEXT = 40114;
inline constexpr UINT IDM_EDIT_SELECT_ALL = 40132;

}  // namespace res

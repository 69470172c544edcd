#pragma once
// Numbers of the string table entries, named for the code that uses them.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

inline constexpr UINT IDS_PRODUCT = 1;
inline constexpr UINT IDS_INIT_FAILED = 12;
inline constexpr UINT IDS_AVAILABLE_MEMORY = 14;
inline constexpr UINT IDS_FREE_MEMORY = 15;
inline constexpr UINT IDS_COLUMN_NAME = 16;
inline constexpr UINT IDS_COLUMN_SIZE = 17;
inline constexpr UINT IDS_COLUMN_MODIFIED = 18;
inline constexpr UINT IDS_TYPE_DATABASE = 22;
// The Type column's text for a system database (keyboard edition).
inline constexpr UINT IDS_TYPE_SYSTEM = 2220;
inline constexpr UINT IDS_COLUMN_DATABASE_TYPE = 2221;

// Error texts chosen by ReportError from the platform's error code.
inline constexpr UINT IDS_ERR_NOT_ENOUGH_STORAGE = 25;
inline constexpr UINT IDS_ERR_FILE_NOT_FOUND = 26;
inline constexpr UINT IDS_ERR_DUP_NAME = 27;
inline constexpr UINT IDS_ERR_INVALID_PARAMETER = 28;
inline constexpr UINT IDS_ERR_DISK_FULL = 29;
inline constexpr UINT IDS_ERR_SHARING_VIOLATION = 35;
inline constexpr UINT IDS_ERR_NO_DATA = 41;
inline constexpr UINT IDS_ERR_INSUFFICIENT_BUFFER = 42;
inline constexpr UINT IDS_ERR_KEY_DELETED = 43;
inline constexpr UINT IDS_ERR_NO_MORE_ITEMS = 44;
inline constexpr UINT IDS_ERR_UNKNOWN = 45;

// Failure formats of database operations.
inline constexpr UINT IDS_CANT_CREATE_DB = 30;
inline constexpr UINT IDS_CANT_OPEN_DB = 31;
inline constexpr UINT IDS_CANT_DELETE_DB = 33;
inline constexpr UINT IDS_CANT_CLOSE_DB = 36;
inline constexpr UINT IDS_CANT_FIND_RECORD = 39;
inline constexpr UINT IDS_CANT_READ_RECORD = 40;
inline constexpr UINT IDS_CANT_WRITE_RECORD = 47;
inline constexpr UINT IDS_CANT_UPDATE_DB = 49;
inline constexpr UINT IDS_CANT_DELETE_PROPERTY = 140;
inline constexpr UINT IDS_CANT_DELETE_RECORD = 142;

inline constexpr UINT IDS_CONFIRM_EMPTY = 38;
inline constexpr UINT IDS_CONFIRM_DELETE = 46;
inline constexpr UINT IDS_NAME_EXISTS = 48;
inline constexpr UINT IDS_RENAME_CAPTION = 50;

inline constexpr UINT IDS_FILTER_BACKUP = 74;
inline constexpr UINT IDS_CANT_WRITE_FILE = 75;
inline constexpr UINT IDS_CANT_CREATE_BACKUP = 76;
inline constexpr UINT IDS_CANT_READ_FILE = 77;
inline constexpr UINT IDS_CATALOGUE_NAME = 78;
inline constexpr UINT IDS_CATALOGUE_SIZE = 79;
inline constexpr UINT IDS_DATABASE_EXISTS = 81;
inline constexpr UINT IDS_RESTORE_CORRUPT = 82;
inline constexpr UINT IDS_RESTORE_NO_MEMORY = 83;
inline constexpr UINT IDS_COMPRESSED_NO_MEMORY = 85;
inline constexpr UINT IDS_INFO_COMPRESSED = 93;
inline constexpr UINT IDS_INFO_NOT_COMPRESSED = 94;
inline constexpr UINT IDS_CANT_CREATE_SCRIPT = 95;
inline constexpr UINT IDS_SCRIPT_MISSING = 96;
inline constexpr UINT IDS_BACKUP_COMPLETE = 97;
inline constexpr UINT IDS_FILE_EXISTS = 99;
inline constexpr UINT IDS_FILTER_SCRIPT = 104;
inline constexpr UINT IDS_INVALID_COMMAND_LINE = 105;
inline constexpr UINT IDS_DATABASE_IN_USE = 106;
inline constexpr UINT IDS_PASSWORD_NOT_CONFIRMED = 107;
inline constexpr UINT IDS_PASSWORD_INCORRECT = 108;
inline constexpr UINT IDS_PASSWORD_TOO_SHORT = 115;

inline constexpr UINT IDS_RESTORE_TITLE = 250;
inline constexpr UINT IDS_STORING_RECORD = 255;
inline constexpr UINT IDS_BACKUP_TITLE = 259;
inline constexpr UINT IDS_ABORT_BACKUP = 260;
inline constexpr UINT IDS_ABORT_RESTORE = 261;
inline constexpr UINT IDS_RESTORING_RECORD = 262;

inline constexpr UINT IDS_CONFIRM_ADD_RECORD = 125;

// The palm-size menu bar: menu captions and button tips.
inline constexpr UINT IDS_TIP_DELETE = 40001;
inline constexpr UINT IDS_TIP_PROPERTIES = 40003;
inline constexpr UINT IDS_TIP_BACKUP = 40022;
inline constexpr UINT IDS_TIP_RESTORE = 40023;
inline constexpr UINT IDS_TIP_AUTOBACKUP = 40027;
inline constexpr UINT IDS_MENU_TOOLS = 40030;
inline constexpr UINT IDS_MENU_EDIT = 40041;
inline constexpr UINT IDS_MENU_VIEW = 40043;

// Export to text and registry backup (ExportStrings.cpp).
inline constexpr UINT IDS_FILTER_CSV = 87;
inline constexpr UINT IDS_FILTER_TXT = 88;
inline constexpr UINT IDS_CANT_EXPORT = 89;
inline constexpr UINT IDS_TAB_SEPARATED = 90;
inline constexpr UINT IDS_COMMA_SEPARATED = 91;
inline constexpr UINT IDS_SELECT_FILE_TYPE = 92;
inline constexpr UINT IDS_CANCEL_REGISTRY_BACKUP = 102;
inline constexpr UINT IDS_REGISTRY_BACKUP_TITLE = 111;
inline constexpr UINT IDS_REG_CANT_WRITE_FILE = 2200;
inline constexpr UINT IDS_REG_CANT_READ_REGISTRY = 2201;
inline constexpr UINT IDS_REG_CANT_OPEN_FILE = 2202;
inline constexpr UINT IDS_REG_FILE_CORRUPT = 2203;
inline constexpr UINT IDS_REG_CANT_STORE_KEY = 2204;
inline constexpr UINT IDS_REG_ERROR_CODE = 2205;
inline constexpr UINT IDS_REG_SOFT_RESET = 2206;
inline constexpr UINT IDS_REG_CONFIRM_RESTORE = 2207;
inline constexpr UINT IDS_FILTER_REGISTRY = 2208;
inline constexpr UINT IDS_REG_HEADING = 2209;
inline constexpr UINT IDS_REG_RESTORE_CAPTION = 2210;
inline constexpr UINT IDS_HKEY_CLASSES_ROOT = 2211;
inline constexpr UINT IDS_HKEY_LOCAL_MACHINE = 2212;
inline constexpr UINT IDS_HKEY_CURRENT_USER = 2213;
inline constexpr UINT IDS_REG_BACKUP_CAPTION = 2214;

// Texts of our own that the command line uses.
inline constexpr UINT IDS_NOT_AVAILABLE_YET = 9000;
inline constexpr UINT IDS_COMMAND_LINE_USAGE = 9001;

}  // namespace res

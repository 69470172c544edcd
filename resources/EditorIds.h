#pragma once
// The record editor's strings, templates, menus and controls: the Find
// dialog and the Add Property wizard included.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

// ---- Strings ----
inline constexpr UINT IDS_EDITOR_TITLE = 123;  // "Database: \"" (the name and a quote follow)
inline constexpr UINT IDS_BINARY_DATA = 124;
inline constexpr UINT IDS_RECORD_COUNTER = 126;
inline constexpr UINT IDS_CONFIRM_CHANGE = 131;
inline constexpr UINT IDS_INFO_INT = 132;
inline constexpr UINT IDS_INFO_UINT = 133;
inline constexpr UINT IDS_INFO_LONG = 134;
inline constexpr UINT IDS_INFO_ULONG = 135;
inline constexpr UINT IDS_INFO_FLOAT = 136;
inline constexpr UINT IDS_CANT_SAVE_PROPERTY = 137;
inline constexpr UINT IDS_BAD_INT = 138;
inline constexpr UINT IDS_BAD_UINT = 139;
inline constexpr UINT IDS_CONFIRM_DELETE_PROPERTY = 141;
inline constexpr UINT IDS_CONFIRM_DELETE_RECORD = 143;
inline constexpr UINT IDS_LAST_RECORD_DELETED = 145;
inline constexpr UINT IDS_BAD_PROPERTY_ID = 146;
inline constexpr UINT IDS_PROPERTY_ID_IN_USE = 147;
inline constexpr UINT IDS_SELECT_PROPERTY_TYPE = 148;
inline constexpr UINT IDS_TEXT_NOT_FOUND = 149;
inline constexpr UINT IDS_CONFIRM_OVERWRITE_PROPERTY = 150;
inline constexpr UINT IDS_FIND_WRAP = 151;
inline constexpr UINT IDS_MODIFIED_BY_OTHER = 153;
inline constexpr UINT IDS_COLUMN_TYPE = 270;
inline constexpr UINT IDS_COLUMN_PROPERTY_SIZE = 271;
inline constexpr UINT IDS_COLUMN_ID = 272;
// Without numbers of their own (the editor's block 2100-2199).
inline constexpr UINT IDS_BAD_LONG = 2100;
inline constexpr UINT IDS_BAD_ULONG = 2101;
inline constexpr UINT IDS_BAD_FLOAT = 2102;
inline constexpr UINT IDS_TIP_FIRST_RECORD = 2110;
inline constexpr UINT IDS_TIP_PREVIOUS_RECORD = 2111;
inline constexpr UINT IDS_TIP_NEXT_RECORD = 2112;
inline constexpr UINT IDS_TIP_LAST_RECORD = 2113;
inline constexpr UINT IDS_TIP_FIND_TEXT = 2114;
inline constexpr UINT IDS_TIP_FIND_NEXT = 2115;
inline constexpr UINT IDS_MENU_RECORD = 2116;

// ---- Templates, menus ----
inline constexpr UINT IDD_EDITOR = 129;
inline constexpr UINT IDD_EDITOR_WIDE = 192;
inline constexpr UINT IDD_EDITOR_KEYBOARD = 128;
inline constexpr UINT IDD_FIND = 189;
inline constexpr UINT IDD_WIZARD_DATE = 184;
inline constexpr UINT IDD_WIZARD_NUMBER = 185;
inline constexpr UINT IDD_WIZARD_TEXT = 186;
inline constexpr UINT IDD_WIZARD_BOOLEAN = 187;
inline constexpr UINT IDD_WIZARD_TYPE = 188;
// The keyboard edition's captioned pages of the wizard, in the same order
// of use: type and identifier, then the date, number, text or boolean value.
inline constexpr UINT IDD_KEYBOARD_WIZARD_TYPE = 130;
inline constexpr UINT IDD_KEYBOARD_WIZARD_DATE = 131;
inline constexpr UINT IDD_KEYBOARD_WIZARD_NUMBER = 132;
inline constexpr UINT IDD_KEYBOARD_WIZARD_TEXT = 133;
inline constexpr UINT IDD_KEYBOARD_WIZARD_BOOLEAN = 134;
inline constexpr UINT IDR_EDITOR_MENU = 133;

// ---- Controls ----
inline constexpr UINT IDC_VALUE_TEXT = 1000;
inline constexpr UINT IDC_VALUE_INFO = 1016;
inline constexpr UINT IDC_DATE_PICKER = 1029;
inline constexpr UINT IDC_TIME_PICKER = 1031;
inline constexpr UINT IDC_DELETE_PROPERTY = 1042;
inline constexpr UINT IDC_PROPERTY_LIST = 1043;
inline constexpr UINT IDC_MATCH_CASE = 1044;
inline constexpr UINT IDC_NEW_RECORD = 1044;
inline constexpr UINT IDC_VALUE_TRUE = 1049;
inline constexpr UINT IDC_VALUE_FALSE = 1050;
inline constexpr UINT IDC_VALUE_NUMBER = 1056;
inline constexpr UINT IDC_ADD_PROPERTY = 1061;
inline constexpr UINT IDC_RECORD_COUNTER = 1068;
inline constexpr UINT IDC_WIZARD_BACK = 1069;
inline constexpr UINT IDC_WIZARD_FINISH = 1070;
inline constexpr UINT IDC_WIZARD_NEXT = 1071;
inline constexpr UINT IDC_PROPERTY_TYPE = 1073;
inline constexpr UINT IDC_PROPERTY_ID = 1074;
inline constexpr UINT IDC_FIND_TEXT = 1075;
inline constexpr UINT IDC_SEARCH_NUMBERS = 1076;

// ---- Commands (beside those of accelerator table 102, ControlIds.h) ----
inline constexpr UINT IDM_RECORD_DELETE = 40112;
inline constexpr UINT IDM_SORT_FIRST = 40116;  // one per sort order, up to 40119
inline constexpr UINT IDM_SORT_UNSORTED = 40131;
inline constexpr UINT IDM_RELOAD = 40133;
inline constexpr UINT IDM_EDITOR_HELP = 40134;

}  // namespace res

// The Backup Options and Restore Databases dialogs, portrait and landscape
// in the palm-size edition, captioned windows in the keyboard edition; and
// the strings that only backup and restore use.

#include "platform/gui/CommCtrl.h"
#include "resources/BackupIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"
#include "resources/StringIds.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

constexpr DWORD kCatalogue = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT |
                             LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
constexpr DWORD kBrowse = kPush;

// ---- Backup Options ----

// Portrait: the choices one under another, the script name across the width.
DialogResource BackupOptions() {
    constexpr short x = 10, width = 140, step = 14;
    return {
        IDD_BACKUP_OPTIONS,
        kDialog,
        0,
        0,
        0,
        160,
        122,
        u"Backup Databases",
        kFont,
        kFontPoints,
        {
            {u"STATIC", u"Backup Databases", IDC_TITLE, 0, 0, 0, 0, kTitle},
            {u"BUTTON", u"Options", IDC_GROUP_CAPTION, 4, 17, 152, 101, kGroup},
            {u"BUTTON", u"Selected database(s)", IDC_BACKUP_SELECTED, x, 28, width, 10,
             kRadio | WS_GROUP | WS_TABSTOP},
            {u"BUTTON", u"All databases", IDC_BACKUP_ALL, x, 28 + step, width, 10, kRadio},
            {u"BUTTON", u"Compress backup file", IDC_BACKUP_COMPRESS, x, 28 + 2 * step, width, 10,
             kCheck | WS_GROUP},
            {u"BUTTON", u"Password-protected", IDC_BACKUP_PASSWORD, x, 28 + 3 * step, width, 10,
             kCheck},
            {u"BUTTON", u"Generate Autobackup script", IDC_BACKUP_MAKE_SCRIPT, x, 28 + 4 * step,
             width, 10, kCheck},
            {u"EDIT", u"", IDC_BACKUP_SCRIPT_NAME, x, 28 + 5 * step + 2, 118, 12, kEdit},
            {u"BUTTON", u"...", IDC_BACKUP_SCRIPT_BROWSE, 132, 28 + 5 * step + 2, 18, 12, kBrowse},
            Sip(),
        }};
}

// Landscape: the same choices closer together, for the lower screen.
DialogResource BackupOptionsWide() {
    DialogResource dialog = BackupOptions();
    dialog.id = IDD_BACKUP_OPTIONS_WIDE;
    dialog.cy = 104;
    for (DialogItemResource& item : dialog.items) {
        if (item.id == IDC_GROUP_CAPTION)
            item.cy = 85;
        else if (item.y >= 28)
            item.y = static_cast<short>(26 + (item.y - 28) * 12 / 14);
    }
    return dialog;
}

DialogResource KeyboardBackupOptions() {
    return {IDD_BACKUP_OPTIONS,
            kDialog,
            0,
            0,
            0,
            250,
            104,
            u"Backup Options",
            kFont,
            kFontPoints,
            {
                {u"BUTTON", u"Backup", IDC_GROUP_CAPTION, 6, 4, 110, 40, kGroup},
                {u"BUTTON", u"&Selected database(s)", IDC_BACKUP_SELECTED, 12, 16, 100, 10,
                 kRadio | WS_GROUP | WS_TABSTOP},
                {u"BUTTON", u"&All databases", IDC_BACKUP_ALL, 12, 29, 100, 10, kRadio},
                {u"BUTTON", u"&Compress backup file", IDC_BACKUP_COMPRESS, 124, 10, 120, 10,
                 kCheck | WS_GROUP},
                {u"BUTTON", u"Password &protected", IDC_BACKUP_PASSWORD, 124, 24, 120, 10, kCheck},
                {u"BUTTON", u"&Generate Autobackup script", IDC_BACKUP_MAKE_SCRIPT, 6, 52, 160, 10,
                 kCheck},
                {u"STATIC", u"&File:", IDC_STATIC, 6, 68, 20, 10, kLabel},
                {u"EDIT", u"", IDC_BACKUP_SCRIPT_NAME_KEYBOARD, 28, 66, 194, 12, kEdit},
                {u"BUTTON", u"...", IDC_BACKUP_SCRIPT_BROWSE_KEYBOARD, 226, 66, 18, 12, kBrowse},
                {u"BUTTON", u"OK", IDOK, 140, 84, 50, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 194, 84, 50, 14, kPush},
            }};
}

// ---- Restore Databases ----

DialogResource Restore() {
    return {IDD_RESTORE,
            kDialog,
            0,
            0,
            0,
            160,
            122,
            u"Restore Databases",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Restore Databases", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Select the database(s) you want to restore and tap OK", IDC_STATIC, 4,
                 17, 152, 18, kLabel},
                {WC_LISTVIEWW, u"", IDC_RESTORE_LIST, 4, 36, 152, 62, kCatalogue},
                {u"STATIC", u"", IDC_RESTORE_INFO, 4, 100, 152, 20, kValue},
            }};
}

DialogResource RestoreWide() {
    return {IDD_RESTORE_WIDE,
            kDialog,
            0,
            0,
            0,
            160,
            100,
            u"Restore Databases",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Restore Databases", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Select the database(s) you want to restore and tap OK", IDC_STATIC, 4,
                 17, 152, 18, kLabel},
                {WC_LISTVIEWW, u"", IDC_RESTORE_LIST, 4, 36, 152, 44, kCatalogue},
                {u"STATIC", u"", IDC_RESTORE_INFO, 4, 82, 152, 18, kValue},
            }};
}

// Three columns: name, size and the date of the backup.
DialogResource KeyboardRestore() {
    return {IDD_RESTORE,
            kDialog,
            0,
            0,
            0,
            270,
            130,
            u"Restore Databases",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Select the database(s) you want to restore and press OK button:",
                 IDC_STATIC, 6, 4, 258, 10, kLabel},
                {WC_LISTVIEWW, u"", IDC_RESTORE_LIST, 6, 16, 258, 70, kCatalogue},
                {u"STATIC", u"", IDC_RESTORE_INFO, 6, 90, 258, 10, kValue},
                {u"BUTTON", u"OK", IDOK, 160, 110, 50, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 214, 110, 50, 14, kPush},
            }};
}

constexpr const char16_t* kKeyboardInUse =
    u"Database \"%s\" is in use by another application. If you restore this database, you may "
    u"need to soft-reset the device. Continue?";

const StringResource kBackupStrings[] = {
    {IDS_CATALOGUE_DATE, u"Date"},
    {IDS_RESTORE_COLUMNS, u"140 60"},
};

// The keyboard edition asks its own in-use question where the palm-size
// edition asks string 106.
const StringResource kKeyboardBackupStrings[] = {
    {IDS_DATABASE_IN_USE, kKeyboardInUse},
    {IDS_DATABASE_IN_USE_KEYBOARD, kKeyboardInUse},
    {IDS_RESTORE_COLUMNS, u"190 80 120"},
};

// The keyboard edition has one template per dialog, used on every screen.
DialogResource Renumbered(DialogResource dialog, UINT id) {
    dialog.id = id;
    return dialog;
}

}  // namespace

void AddBackupDialogs(ce::ResourceModule& module) {
    module.AddDialog(BackupOptions());
    module.AddDialog(BackupOptionsWide());
    module.AddDialog(Restore());
    module.AddDialog(RestoreWide());
    module.AddStrings(kBackupStrings);
}

void AddKeyboardBackupDialogs(ce::ResourceModule& module) {
    module.AddDialog(KeyboardBackupOptions());
    module.AddDialog(Renumbered(KeyboardBackupOptions(), IDD_BACKUP_OPTIONS_WIDE));
    module.AddDialog(KeyboardRestore());
    module.AddDialog(Renumbered(KeyboardRestore(), IDD_RESTORE_WIDE));
    module.ReplaceStrings(kKeyboardBackupStrings);
}

}  // namespace res

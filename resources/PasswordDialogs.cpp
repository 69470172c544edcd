// The two password dialogs that archives, Autobackup scripts and registry
// backups share: Protect Backup sets a password, Enter Password asks for it.

#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

DialogResource ProtectBackup() {
    constexpr short labelX = 4, labelWidth = 64, fieldX = 70, fieldWidth = 84;
    return {
        IDD_PROTECT_PASSWORD,
        kDialog,
        0,
        0,
        0,
        160,
        110,
        u"Protect Backup",
        kFont,
        kFontPoints,
        {
            {u"STATIC", u"Protect Backup", IDC_TITLE, 0, 0, 0, 0, kTitle},
            {u"STATIC", u"Password:", IDC_STATIC, labelX, 26, labelWidth, 10, kRightLabel},
            {u"EDIT", u"", IDC_PASSWORD, fieldX, 24, fieldWidth, 12, kPasswordEdit},
            {u"STATIC", u"Confirm Password:", IDC_STATIC, labelX, 44, labelWidth, 10, kRightLabel},
            {u"EDIT", u"", IDC_PASSWORD_CONFIRM, fieldX, 42, fieldWidth, 12, kPasswordEdit},
            {u"STATIC",
             u"Note: to cancel this dialog box, leave both edit fields empty and tap OK.",
             IDC_STATIC, 6, 62, 148, 28, kLabel},
            Sip(),
        }};
}

DialogResource EnterPassword() {
    return {IDD_ENTER_PASSWORD,
            kDialog,
            0,
            0,
            0,
            160,
            110,
            u"Enter Password",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Enter Password", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC",
                 u"Database backup file is password-protected. Please enter the password and "
                 u"tap OK.",
                 IDC_STATIC, 6, 22, 148, 28, kLabel},
                {u"STATIC", u"Password:", IDC_STATIC, 6, 56, 40, 10, kLabel},
                {u"EDIT", u"", IDC_PASSWORD_ENTER, 48, 54, 106, 12, kPasswordEdit},
                {u"STATIC",
                 u"Note: to cancel this dialog box, leave the password field blank and tap OK.",
                 IDC_STATIC, 6, 72, 148, 28, kLabel},
                Sip(),
            }};
}

// The keyboard edition: captioned windows with OK and Cancel, no note line.
DialogResource KeyboardProtectBackup() {
    return {IDD_PROTECT_PASSWORD,
            kDialog,
            0,
            0,
            0,
            186,
            62,
            u"Protect Backup",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"&Password:", IDC_STATIC, 6, 9, 66, 10, kRightLabel},
                {u"EDIT", u"", IDC_PASSWORD, 76, 7, 104, 12, kPasswordEdit},
                {u"STATIC", u"&Confirm password:", IDC_STATIC, 6, 25, 66, 10, kRightLabel},
                {u"EDIT", u"", IDC_PASSWORD_CONFIRM, 76, 23, 104, 12, kPasswordEdit},
                {u"BUTTON", u"OK", IDOK, 76, 42, 50, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 130, 42, 50, 14, kPush},
            }};
}

DialogResource KeyboardEnterPassword() {
    return {IDD_ENTER_PASSWORD,
            kDialog,
            0,
            0,
            0,
            186,
            72,
            u"Password",
            kFont,
            kFontPoints,
            {
                {u"STATIC",
                 u"Database backup file is password-protected. Please enter the password and "
                 u"tap OK.",
                 IDC_STATIC, 6, 6, 174, 18, kLabel},
                {u"STATIC", u"&Password:", IDC_STATIC, 6, 33, 40, 10, kLabel},
                {u"EDIT", u"", IDC_PASSWORD_ENTER, 50, 31, 130, 12, kPasswordEdit},
                {u"BUTTON", u"OK", IDOK, 76, 52, 50, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 130, 52, 50, 14, kPush},
            }};
}

}  // namespace

void AddPasswordDialogs(ce::ResourceModule& module) {
    module.AddDialog(ProtectBackup());
    module.AddDialog(EnterPassword());
}

void AddKeyboardPasswordDialogs(ce::ResourceModule& module) {
    module.AddDialog(KeyboardProtectBackup());
    module.AddDialog(KeyboardEnterPassword());
}

}  // namespace res

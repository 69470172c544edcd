// The Export Database options and the registry backup's selection of main
// keys, in both editions.

#include "platform/gui/CommCtrl.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

constexpr DWORD kDropDownList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kRootList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT |
                            LVS_SINGLESEL | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER |
                            LVS_SHOWSELALWAYS;

DialogResource Export() {
    return {IDD_EXPORT,
            kDialog,
            0,
            0,
            0,
            160,
            110,
            u"Export Database",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Export Database", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"File format:", IDC_STATIC, 6, 24, 148, 10, kLabel},
                {u"COMBOBOX", u"", IDC_EXPORT_FORMAT, 6, 36, 148, 13, kDropDownList},
                {u"BUTTON", u"Save as UNICODE text", IDC_EXPORT_UNICODE, 6, 56, 148, 12, kCheck},
                {u"BUTTON", u"OK", IDOK, 30, 80, 46, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 84, 80, 46, 14, kPush},
            }};
}

// The selection of main keys: `wide` for the landscape screen.
DialogResource RegistryBackup(bool wide) {
    const short width = wide ? 212 : 160;
    const short inner = width - 12;
    return {
        wide ? IDD_REGISTRY_BACKUP_WIDE : IDD_REGISTRY_BACKUP,
        kDialog,
        0,
        0,
        0,
        width,
        wide ? short{120} : short{140},
        u"Backup Registry Database",
        kFont,
        kFontPoints,
        {
            {u"STATIC", u"Backup Registry Database", IDC_TITLE, 0, 0, 0, 0, kTitle},
            {u"BUTTON", u"Main Registry Keys", IDC_GROUP_CAPTION, 4, 20,
             static_cast<short>(width - 8), 62, kGroup},
            {WC_LISTVIEWW, u"", IDC_REG_ROOTS, 10, 32, static_cast<short>(inner - 8), 44,
             kRootList},
            {u"BUTTON", u"Password-protected", IDC_REG_PASSWORD, 6, 86, inner, 12, kCheck},
            {u"BUTTON", u"OK", IDOK, static_cast<short>(width / 2 - 50), 102, 46, 14, kDefPush},
            {u"BUTTON", u"Cancel", IDCANCEL, static_cast<short>(width / 2 + 4), 102, 46, 14, kPush},
        }};
}

DialogResource KeyboardExport() {
    return {IDD_EXPORT,
            kDialog,
            WS_EX_CAPTIONOKBTN,
            0,
            0,
            170,
            56,
            u"Export Database",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"&File format:", IDC_STATIC, 6, 8, 60, 10, kLabel},
                {u"COMBOBOX", u"", IDC_EXPORT_FORMAT, 66, 6, 98, 13, kDropDownList},
                {u"BUTTON", u"Save as &UNICODE text", IDC_EXPORT_UNICODE, 6, 28, 158, 12, kCheck},
            }};
}

DialogResource KeyboardRegistryBackup() {
    return {IDD_REGISTRY_BACKUP_WIDE,
            kDialog,
            0,
            0,
            0,
            186,
            100,
            u"Backup Registry",
            kFont,
            kFontPoints,
            {
                {u"BUTTON", u"Main Registry Keys", IDC_GROUP_CAPTION, 6, 4, 120, 60, kGroup},
                {WC_LISTVIEWW, u"", IDC_REG_ROOTS, 12, 16, 108, 42, kRootList},
                {u"BUTTON", u"&Password-protected", IDC_REG_PASSWORD, 6, 70, 120, 12, kCheck},
                {u"BUTTON", u"OK", IDOK, 132, 8, 48, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 132, 26, 48, 14, kPush},
            }};
}

}  // namespace

void AddExportDialogs(ce::ResourceModule& module) {
    module.AddDialog(Export());
    module.AddDialog(RegistryBackup(false));
    module.AddDialog(RegistryBackup(true));
}

void AddKeyboardExportDialogs(ce::ResourceModule& module) {
    module.AddDialog(KeyboardExport());
    module.AddDialog(KeyboardRegistryBackup());
}

}  // namespace res

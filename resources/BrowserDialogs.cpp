// The wide templates of the Options and About dialogs: what the narrow ones
// show, in longer and so fewer lines, so that a landscape screen holds it.

#include "resources/BrowserDialogs.h"

#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

DialogResource WideAbout() {
    return {IDD_ABOUT_WIDE,
            kDialog,
            0,
            0,
            0,
            212,
            116,
            u"About Tessaly",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"About Tessaly", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Tessaly 1.5", IDC_STATIC, 8, 17, 196, 10, kLabel},
                {u"STATIC",
                 u"Lists, inspects, edits, backs up, restores and beams the "
                 u"databases of the object store.",
                 IDC_STATIC, 8, 28, 196, 20, kLabel},
                {u"BUTTON", u"Storage Memory", IDC_GROUP_CAPTION, 4, 49, 204, 49, kGroup},
                {u"STATIC", u"Information about storage memory availability is ",
                 IDC_ABOUT_AVAILABLE, 10, 62, 192, 18, kValue},
                {u"STATIC", u"inaccessible", IDC_ABOUT_FREE, 10, 82, 192, 10, kValue},
            }};
}

DialogResource WideOptions() {
    constexpr short x = 10, width = 190, height = 10, step = 11, first = 27;
    return {
        IDD_OPTIONS_WIDE,
        kDialog,
        0,
        0,
        0,
        212,
        116,
        u"Options",
        kFont,
        kFontPoints,
        {
            {u"STATIC", u"Options", IDC_TITLE, 0, 0, 0, 0, kTitle},
            {u"BUTTON", u"Options", IDC_GROUP_CAPTION, 4, 17, 204, 77, kGroup},
            {u"BUTTON", u"Show system databases", IDC_OPT_SHOW_SYSTEM, x, first, width, height,
             kCheck},
            {u"BUTTON", u"Use bold font", IDC_OPT_BOLD, x, first + step, width, height, kCheck},
            {u"BUTTON", u"Select full row", IDC_OPT_FULL_ROW, x, first + 2 * step, width, height,
             kCheck},
            {u"BUTTON", u"Prompt for Autobackup script file", IDC_OPT_PROMPT_SCRIPT, x,
             first + 3 * step, width, height, kCheck},
            {u"BUTTON", u"Show warning before changing data", IDC_OPT_SHOW_WARNING, x,
             first + 4 * step, width, height, kCheck},
            {u"BUTTON", u"Double tap to open a database viewer", IDC_OPT_DOUBLE_TAP, x,
             first + 5 * step, width, height, kCheck},
            {u"STATIC", u"To create or modify Autobackup script, use File/Tools/Backup command.",
             IDC_STATIC, 4, 96, 204, 20, kLabel},
        }};
}

}  // namespace

void AddBrowserDialogs(ce::ResourceModule& module) {
    module.AddDialog(WideAbout());
    module.AddDialog(WideOptions());
}

}  // namespace res

// Dialog templates shared by both editions (see DialogStyles.h for the units
// and the conventions every template follows).

#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

// The store's two figures below a title that needs a line of its own.
DialogResource About() {
    return {IDD_ABOUT,
            kDialog,
            0,
            0,
            0,
            160,
            180,
            u"About Tessaly",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"About Tessaly", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Tessaly 1.5", IDC_STATIC, 8, 24, 144, 10, kLabel},
                {u"STATIC",
                 u"Lists, inspects, edits, backs up, restores and beams the "
                 u"databases of the object store.",
                 IDC_STATIC, 8, 38, 144, 28, kLabel},
                {u"BUTTON", u"Storage Memory", IDC_GROUP_CAPTION, 4, 72, 152, 50, kGroup},
                // Two lines: the text that stays when the store cannot be asked is long.
                {u"STATIC", u"Information about storage memory availability is ",
                 IDC_ABOUT_AVAILABLE, 10, 86, 140, 18, kValue},
                {u"STATIC", u"inaccessible", IDC_ABOUT_FREE, 10, 106, 140, 10, kValue},
            }};
}

DialogResource NameDialog() {
    return {IDD_NAME,
            kDialog,
            0,
            0,
            0,
            160,
            120,
            u"New Database Name",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"New Database Name", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"From:", IDC_STATIC, 6, 24, 26, 10, kLabel},
                // Not a tab stop: the dialog opens with the focus in "To:".
                {u"EDIT", u"", IDC_NAME_FROM, 34, 22, 120, 12, (kEdit & ~WS_TABSTOP) | ES_READONLY},
                {u"STATIC", u"To:", IDC_STATIC, 6, 42, 26, 10, kLabel},
                {u"EDIT", u"", IDC_NAME_TO, 34, 40, 120, 12, kEdit},
                Sip(),
            }};
}

DialogResource Properties() {
    constexpr short labelX = 6, valueX = 44, valueWidth = 110;
    return {IDD_PROPERTIES,
            kDialog,
            0,
            0,
            0,
            160,
            120,
            u"Database Properties",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Database Properties", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Name:", IDC_STATIC, labelX, 24, 36, 10, kLabel},
                {u"STATIC", u"", IDC_PROP_NAME, valueX, 24, valueWidth, 10, kValue},
                {u"STATIC", u"Size:", IDC_STATIC, labelX, 38, 36, 10, kLabel},
                {u"STATIC", u"", IDC_PROP_SIZE, valueX, 38, valueWidth, 10, kValue},
                {u"STATIC", u"Modified:", IDC_STATIC, labelX, 52, 36, 10, kLabel},
                {u"STATIC", u"", IDC_PROP_MODIFIED, valueX, 52, valueWidth, 10, kValue},
                {u"STATIC", u"Type:", IDC_STATIC, labelX, 66, 36, 10, kLabel},
                {u"STATIC", u"", IDC_PROP_TYPE, valueX, 66, valueWidth, 10, kValue},
                {u"STATIC", u"Records:", IDC_STATIC, labelX, 80, 36, 10, kLabel},
                {u"STATIC", u"", IDC_PROP_RECORDS, valueX, 80, valueWidth, 10, kValue},
            }};
}

DialogResource Options() {
    constexpr short x = 10, width = 142, height = 10, step = 11, first = 26;
    return {
        IDD_OPTIONS,
        kDialog,
        0,
        0,
        0,
        160,
        122,
        u"Options",
        kFont,
        kFontPoints,
        {
            {u"STATIC", u"Options", IDC_TITLE, 0, 0, 0, 0, kTitle},
            {u"BUTTON", u"Options", IDC_GROUP_CAPTION, 4, 17, 152, 78, kGroup},
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
             IDC_STATIC, 4, 97, 152, 25, kLabel},
        }};
}

DialogResource DatabaseExists() {
    return {IDD_DATABASE_EXISTS,
            kDialog,
            0,
            0,
            0,
            160,
            100,
            u"Database Exists",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Database Exists", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"", IDC_EXISTS_TEXT, 6, 24, 148, 30, kValue},
                {u"BUTTON", u"Rename", IDOK, 6, 62, 46, 14, kDefPush},
                {u"BUTTON", u"Cancel", IDCANCEL, 57, 62, 46, 14, kPush},
                {u"BUTTON", u"Overwrite", IDC_OVERWRITE, 108, 62, 46, 14, kPush},
            }};
}

DialogResource Progress() {
    return {IDD_PROGRESS,
            kDialog,
            0,
            0,
            0,
            160,
            90,
            u"Progress",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Progress", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"", IDC_PROGRESS_TEXT, 6, 22, 148, 20, kValue},
                {u"msctls_progress32", u"", IDC_PROGRESS_BAR, 6, 46, 148, 10,
                 WS_CHILD | WS_VISIBLE | WS_BORDER},
                {u"BUTTON", u"Cancel", IDCANCEL, 57, 64, 46, 14, kPush},
            }};
}

}  // namespace

void AddCommonDialogs(ce::ResourceModule& module) {
    module.AddDialog(About());
    module.AddDialog(NameDialog());
    module.AddDialog(Properties());
    module.AddDialog(Options());
    module.AddDialog(DatabaseExists());
    module.AddDialog(Progress());
}

}  // namespace res

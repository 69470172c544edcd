// The keyboard edition's captioned dialogs of the browser: each carries its
// title as its caption and its own OK and Cancel buttons (no Done button,
// no painted title line), with access keys in its labels.

#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"
#include "resources/EditorIds.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

// Option boxes that have identifiers of their own in this edition.
constexpr UINT kBoldBox = 1021;
constexpr UINT kFullRowBox = 1022;
constexpr UINT kPromptScriptBox = 1035;

DialogItemResource Ok(short x, short y) {
    return {u"BUTTON", u"OK", IDOK, x, y, 50, 14, kDefPush};
}

DialogItemResource Cancel(short x, short y) {
    return {u"BUTTON", u"Cancel", IDCANCEL, x, y, 50, 14, kPush};
}

DialogResource Captioned(UINT id, short width, short height, const char16_t* caption,
                         std::vector<DialogItemResource> items) {
    return {id, kDialog, 0, 0, 0, width, height, caption, kFont, kFontPoints, std::move(items)};
}

DialogResource About() {
    return Captioned(
        IDD_ABOUT, 220, 100, u"About Tessaly",
        {
            {u"STATIC", u"Tessaly 1.5", IDC_STATIC, 8, 6, 150, 10, kLabel},
            {u"STATIC",
             u"Lists, inspects, edits, backs up, restores and beams the databases of the object "
             u"store.",
             IDC_STATIC, 8, 18, 204, 20, kLabel},
            {u"BUTTON", u"Storage Memory", IDC_GROUP_CAPTION, 4, 40, 212, 38, kGroup},
            {u"STATIC", u"Information about storage memory availability is ", IDC_ABOUT_AVAILABLE,
             10, 51, 200, 10, kValue},
            {u"STATIC", u"inaccessible", IDC_ABOUT_FREE, 10, 63, 200, 10, kValue},
            Ok(166, 82),
        });
}

DialogResource Name() {
    return Captioned(
        IDD_NAME, 200, 66, u"New Database Name",
        {
            {u"STATIC", u"&From:", IDC_STATIC, 6, 8, 26, 10, kLabel},
            {u"EDIT", u"", IDC_NAME_FROM, 34, 6, 160, 12, (kEdit & ~WS_TABSTOP) | ES_READONLY},
            {u"STATIC", u"&To:", IDC_STATIC, 6, 26, 26, 10, kLabel},
            {u"EDIT", u"", IDC_NAME_TO, 34, 24, 160, 12, kEdit},
            Ok(90, 46),
            Cancel(144, 46),
        });
}

DialogResource Properties() {
    constexpr short labelX = 6, valueX = 46, valueWidth = 168;
    return Captioned(IDD_PROPERTIES, 220, 94, u"Database Properties",
                     {
                         {u"STATIC", u"Name:", IDC_STATIC, labelX, 6, 38, 10, kLabel},
                         {u"STATIC", u"", IDC_PROP_NAME, valueX, 6, valueWidth, 10, kValue},
                         {u"STATIC", u"Size:", IDC_STATIC, labelX, 18, 38, 10, kLabel},
                         {u"STATIC", u"", IDC_PROP_SIZE, valueX, 18, valueWidth, 10, kValue},
                         {u"STATIC", u"Modified:", IDC_STATIC, labelX, 30, 38, 10, kLabel},
                         {u"STATIC", u"", IDC_PROP_MODIFIED, valueX, 30, valueWidth, 10, kValue},
                         {u"STATIC", u"Type:", IDC_STATIC, labelX, 42, 38, 10, kLabel},
                         {u"STATIC", u"", IDC_PROP_TYPE, valueX, 42, valueWidth, 10, kValue},
                         {u"STATIC", u"Records:", IDC_STATIC, labelX, 54, 38, 10, kLabel},
                         {u"STATIC", u"", IDC_PROP_RECORDS, valueX, 54, valueWidth, 10, kValue},
                         Ok(164, 74),
                     });
}

DialogResource Options() {
    constexpr short x = 12, width = 190, height = 10, step = 12, first = 16;
    return Captioned(
        IDD_OPTIONS, 270, 122, u"Options",
        {
            {u"BUTTON", u"Options", IDC_GROUP_CAPTION, 6, 4, 204, 86, kGroup},
            {u"BUTTON", u"&Show system databases", IDC_OPT_SHOW_SYSTEM, x, first, width, height,
             kCheck},
            {u"BUTTON", u"Use &bold font", kBoldBox, x, first + step, width, height, kCheck},
            {u"BUTTON", u"Select &full row", kFullRowBox, x, first + 2 * step, width, height,
             kCheck},
            {u"BUTTON", u"&Prompt for Autobackup script file", kPromptScriptBox, x,
             first + 3 * step, width, height, kCheck},
            {u"BUTTON", u"Show &warning before changing data", IDC_OPT_SHOW_WARNING, x,
             first + 4 * step, width, height, kCheck},
            {u"BUTTON", u"&Double tap to open a database viewer", IDC_OPT_DOUBLE_TAP, x,
             first + 5 * step, width, height, kCheck},
            {u"STATIC", u"To create or modify Autobackup script, use Tools/Backup command.",
             IDC_STATIC, 6, 96, 258, 10, kLabel},
            Ok(214, 8),
            Cancel(214, 26),
        });
}

// The question a restore or a receive asks, titled with the product name.
DialogResource DatabaseExists() {
    return Captioned(IDD_DATABASE_EXISTS, 220, 60, u"Tessaly",
                     {
                         {u"STATIC", u"", IDC_EXISTS_TEXT, 6, 6, 208, 24, kValue},
                         {u"BUTTON", u"&Rename", IDOK, 6, 38, 64, 14, kDefPush},
                         {u"BUTTON", u"Cancel", IDCANCEL, 78, 38, 64, 14, kPush},
                         {u"BUTTON", u"&Overwrite", IDC_OVERWRITE, 150, 38, 64, 14, kPush},
                     });
}

DialogResource Progress() {
    return Captioned(IDD_PROGRESS, 220, 64, u"Progress",
                     {
                         {u"STATIC", u"", IDC_PROGRESS_TEXT, 6, 6, 208, 18, kValue},
                         {u"msctls_progress32", u"", IDC_PROGRESS_BAR, 6, 26, 208, 10,
                          WS_CHILD | WS_VISIBLE | WS_BORDER},
                         Cancel(85, 44),
                     });
}

// The record editor's Find, titled "Find", with access keys in its labels.
DialogResource Find() {
    return Captioned(IDD_FIND, 220, 70, u"Find",
                     {
                         {u"STATIC", u"&Text to find:", IDC_STATIC, 6, 8, 50, 10, kLabel},
                         {u"EDIT", u"", IDC_FIND_TEXT, 58, 6, 156, 12, kEdit},
                         {u"BUTTON", u"Match &case", IDC_MATCH_CASE, 6, 24, 150, 10, kCheck},
                         {u"BUTTON", u"&Search in numeric and date properties", IDC_SEARCH_NUMBERS,
                          6, 36, 150, 10, kCheck},
                         Ok(110, 52),
                         Cancel(164, 52),
                     });
}

}  // namespace

void AddKeyboardBrowserDialogs(ce::ResourceModule& module) {
    module.AddDialog(About());
    module.AddDialog(Name());
    module.AddDialog(Properties());
    module.AddDialog(Options());
    module.AddDialog(DatabaseExists());
    module.AddDialog(Progress());
    module.AddDialog(Find());
}

}  // namespace res

// The record editor's window (portrait and landscape, and the keyboard
// edition's), its menu and menu bar, the Find dialog and the pages of the
// Add Property wizard (see DialogStyles.h for units and conventions).

#include "platform/gui/CommCtrl.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

constexpr DWORD kPropertyList =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr DWORD kTypeList = kPropertyList | LVS_NOCOLUMNHEADER;
constexpr DWORD kTextField =
    WS_CHILD | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kNumberField = WS_CHILD | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kHiddenRadio = WS_CHILD | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kDatePicker = WS_CHILD | WS_TABSTOP | WS_BORDER | DTS_SHORTDATEFORMAT;
constexpr DWORD kTimePicker = WS_CHILD | WS_TABSTOP | WS_BORDER | DTS_TIMEFORMAT;
constexpr DWORD kCounter = WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOPREFIX;
constexpr DWORD kInfo = WS_CHILD | SS_LEFT | SS_NOPREFIX;

// Where the parts of the window go; the value controls share one place and
// only those of the shown property's type are visible.
struct EditorLayout {
    short width, height;
    short listX, listY, listW, listH;
    short buttonsY, counterX, counterW;
    short valueX, valueY, valueW, valueH;
    const char16_t* label;
    // The label above the value pane: one line, or two where the pane is narrow.
    short labelH = 10;
    // The number pane's info text, and whether the time picker goes below
    // the date picker (a narrow pane) instead of beside it.
    short infoH = 28;
    bool stackedPickers = false;
};

DialogResource Editor(UINT id, const EditorLayout& l, const char16_t* caption) {
    short vx = l.valueX;
    short vy = l.valueY;
    short vw = l.valueW;
    short half = static_cast<short>((vw - 4) / 2);
    short pickerW = l.stackedPickers ? vw : half;
    short timeX = l.stackedPickers ? vx : static_cast<short>(vx + half + 4);
    short timeY = l.stackedPickers ? static_cast<short>(vy + 16) : vy;
    return {id,
            kDialog,
            0,
            0,
            0,
            l.width,
            l.height,
            caption,
            kFont,
            kFontPoints,
            {
                {u"STATIC", caption, IDC_TITLE, 0, 0, 0, 0, kTitle},
                {WC_LISTVIEWW, u"", IDC_PROPERTY_LIST, l.listX, l.listY, l.listW, l.listH,
                 kPropertyList},
                {u"BUTTON", u"Add...", IDC_ADD_PROPERTY, l.listX, l.buttonsY, 36, 13, kPush},
                {u"BUTTON", u"Delete", IDC_DELETE_PROPERTY, static_cast<short>(l.listX + 38),
                 l.buttonsY, 36, 13, kPush},
                {u"STATIC", u"", IDC_RECORD_COUNTER, l.counterX, static_cast<short>(l.buttonsY - 2),
                 l.counterW, 18, kCounter},
                {u"STATIC", l.label, IDC_STATIC, vx, static_cast<short>(vy - l.labelH - 2), vw,
                 l.labelH, kLabel},
                {u"STATIC", u"", IDC_VALUE_INFO, vx, vy, vw, l.infoH, kInfo},
                {u"EDIT", u"", IDC_VALUE_NUMBER, vx, static_cast<short>(vy + l.infoH + 2), vw, 12,
                 kNumberField},
                {u"EDIT", u"", IDC_VALUE_TEXT, vx, vy, vw, l.valueH, kTextField},
                {u"BUTTON", u"True", IDC_VALUE_TRUE, static_cast<short>(vx + 4), vy, 60, 11,
                 kHiddenRadio | WS_GROUP},
                {u"BUTTON", u"False", IDC_VALUE_FALSE, static_cast<short>(vx + 4),
                 static_cast<short>(vy + 13), 60, 11, kHiddenRadio},
                {DATETIMEPICK_CLASSW, u"", IDC_DATE_PICKER, vx, vy, pickerW, 13, kDatePicker},
                {DATETIMEPICK_CLASSW, u"", IDC_TIME_PICKER, timeX, timeY, pickerW, 13, kTimePicker},
                Sip(),
            }};
}

DialogResource EditorPortrait() {
    return Editor(IDD_EDITOR,
                  {160, 165, 2, 17, 156, 64, 83, 96, 62, 2, 112, 156, 50,
                   u"Edit the selected property value below:"},
                  u"Database");
}

// Landscape: the list on the left, as wide as leaves the pane room (the
// longest type names are shortened in its columns of a third), and the
// pane on the right: a label of two lines, the
// info text on five, the pickers one below the other; everything above the
// menu bar of a 240-pixel-high screen.
DialogResource EditorLandscape() {
    return Editor(IDD_EDITOR_WIDE,
                  {213, 122, 2, 17, 134, 78, 98, 96, 40, 140, 39, 71, 75,
                   u"Edit the selected property value:", 20, 54, true},
                  u"Database");
}

// The keyboard edition's captioned editor; its command bar comes with that edition.
DialogResource EditorKeyboard() {
    DialogResource dialog = Editor(IDD_EDITOR_KEYBOARD,
                                   {300, 130, 4, 4, 170, 104, 112, 100, 74, 180, 16, 116, 96,
                                    u"Edit the selected property value:"},
                                   u"Database");
    dialog.items.push_back({u"BUTTON", u"OK", IDOK, 190, 112, 50, 14, kDefPush});
    dialog.items.push_back({u"BUTTON", u"Cancel", IDCANCEL, 244, 112, 50, 14, kPush});
    return dialog;
}

DialogResource Find() {
    return {IDD_FIND,
            kDialog,
            0,
            0,
            0,
            160,
            104,
            u"Find Property",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Find Property", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Text to find:", IDC_STATIC, 6, 22, 148, 10, kLabel},
                {u"EDIT", u"", IDC_FIND_TEXT, 6, 34, 148, 12, kEdit},
                {u"BUTTON", u"Match case", IDC_MATCH_CASE, 6, 52, 148, 11, kCheck},
                {u"BUTTON", u"Search in numeric and date properties", IDC_SEARCH_NUMBERS, 6, 66,
                 148, 11, kCheck},
                {u"BUTTON", u"Cancel", IDCANCEL, 104, 86, 50, 14, kPush},
                Sip(),
            }};
}

// A wizard page: its title, its own controls, and Back/Finish (value pages)
// or Cancel/Next (the first page). One page serves both orientations, so it
// is no higher than a landscape screen holds above its menu bar.
constexpr short kPageButtonsY = 98;

DialogResource Page(UINT id, const char16_t* title, std::vector<DialogItemResource> controls,
                    bool first) {
    DialogResource page{id, kDialog, 0, 0, 0, 160, 114, title, kFont, kFontPoints, {}};
    page.items.push_back({u"STATIC", title, IDC_TITLE, 0, 0, 0, 0, kTitle});
    for (DialogItemResource& item : controls)
        page.items.push_back(item);
    if (first) {
        page.items.push_back({u"BUTTON", u"Cancel", IDCANCEL, 50, kPageButtonsY, 50, 14, kPush});
        page.items.push_back(
            {u"BUTTON", u"Next >>", IDC_WIZARD_NEXT, 104, kPageButtonsY, 50, 14, kDefPush});
    } else {
        page.items.push_back(
            {u"BUTTON", u"<< Back", IDC_WIZARD_BACK, 50, kPageButtonsY, 50, 14, kPush});
        page.items.push_back(
            {u"BUTTON", u"Finish", IDC_WIZARD_FINISH, 104, kPageButtonsY, 50, 14, kDefPush});
    }
    page.items.push_back(Sip());
    return page;
}

constexpr DWORD kVisibleDate = kDatePicker | WS_VISIBLE;
constexpr DWORD kVisibleTime = kTimePicker | WS_VISIBLE;

void AddWizardPages(ce::ResourceModule& module) {
    module.AddDialog(Page(IDD_WIZARD_TYPE, u"Add Property Wizard",
                          {
                              {u"STATIC", u"Property Type:", IDC_STATIC, 6, 20, 60, 10, kLabel},
                              {WC_LISTVIEWW, u"", IDC_PROPERTY_TYPE, 6, 31, 60, 62, kTypeList},
                              {u"STATIC", u"Property ID:", IDC_STATIC, 70, 20, 84, 10, kLabel},
                              {u"EDIT", u"", IDC_PROPERTY_ID, 70, 31, 84, 12, kEdit},
                              {u"BUTTON", u"Create a new record", IDC_NEW_RECORD, 70, 50, 84, 20,
                               kCheck | BS_MULTILINE},
                          },
                          true));
    module.AddDialog(
        Page(IDD_WIZARD_DATE, u"Initial Date Property Value",
             {
                 {u"STATIC", u"Date:", IDC_STATIC, 6, 24, 30, 10, kLabel},
                 {DATETIMEPICK_CLASSW, u"", IDC_DATE_PICKER, 40, 22, 90, 13, kVisibleDate},
                 {u"STATIC", u"Time:", IDC_STATIC, 6, 42, 30, 10, kLabel},
                 {DATETIMEPICK_CLASSW, u"", IDC_TIME_PICKER, 40, 40, 90, 13, kVisibleTime},
             },
             false));
    module.AddDialog(Page(IDD_WIZARD_NUMBER, u"Initial Numeric Property Value",
                          {
                              {u"STATIC", u"Number:", IDC_STATIC, 6, 24, 36, 10, kLabel},
                              {u"EDIT", u"", IDC_VALUE_NUMBER, 44, 22, 110, 12, kEdit},
                              {u"STATIC", u"", IDC_VALUE_INFO, 6, 42, 148, 34, kValue},
                          },
                          false));
    module.AddDialog(
        Page(IDD_WIZARD_TEXT, u"Initial Text Property Value",
             {
                 {u"EDIT", u"", IDC_VALUE_TEXT, 6, 22, 148, 70, kTextField | WS_VISIBLE},
             },
             false));
    module.AddDialog(Page(
        IDD_WIZARD_BOOLEAN, u"Initial Boolean Property Value",
        {
            {u"STATIC", u"Select the property value below:", IDC_STATIC, 6, 22, 148, 10, kLabel},
            {u"BUTTON", u"True", IDC_VALUE_TRUE, 12, 36, 60, 11, kRadio | WS_GROUP | WS_TABSTOP},
            {u"BUTTON", u"False", IDC_VALUE_FALSE, 12, 50, 60, 11, kRadio},
        },
        false));
}

// The keyboard edition's pages: captioned "Add Property Wizard" each, with
// access keys in their labels and buttons, the buttons at the bottom right.
constexpr short kKeyboardPageW = 200, kKeyboardPageH = 96, kKeyboardButtonsY = 76;

DialogResource KeyboardPage(UINT id, std::vector<DialogItemResource> controls, bool first) {
    DialogResource page{id,
                        kDialog,
                        0,
                        0,
                        0,
                        kKeyboardPageW,
                        kKeyboardPageH,
                        u"Add Property Wizard",
                        kFont,
                        kFontPoints,
                        std::move(controls)};
    if (first) {
        page.items.push_back(
            {u"BUTTON", u"Cancel", IDCANCEL, 90, kKeyboardButtonsY, 50, 14, kPush});
        page.items.push_back(
            {u"BUTTON", u"&Next >>", IDC_WIZARD_NEXT, 144, kKeyboardButtonsY, 50, 14, kDefPush});
    } else {
        page.items.push_back(
            {u"BUTTON", u"<< &Back", IDC_WIZARD_BACK, 90, kKeyboardButtonsY, 50, 14, kPush});
        page.items.push_back(
            {u"BUTTON", u"&Finish", IDC_WIZARD_FINISH, 144, kKeyboardButtonsY, 50, 14, kDefPush});
    }
    return page;
}

void AddKeyboardWizardPages(ce::ResourceModule& module) {
    module.AddDialog(KeyboardPage(
        IDD_KEYBOARD_WIZARD_TYPE,
        {
            {u"STATIC", u"Property &Type:", IDC_STATIC, 6, 6, 80, 10, kLabel},
            {WC_LISTVIEWW, u"", IDC_PROPERTY_TYPE, 6, 17, 80, 72, kTypeList},
            {u"STATIC", u"Property &ID:", IDC_STATIC, 92, 6, 102, 10, kLabel},
            {u"EDIT", u"", IDC_PROPERTY_ID, 92, 17, 102, 12, kEdit},
            {u"BUTTON", u"Create a &new record", IDC_NEW_RECORD, 92, 36, 102, 10, kCheck},
        },
        true));
    module.AddDialog(KeyboardPage(
        IDD_KEYBOARD_WIZARD_DATE,
        {
            {u"STATIC", u"Initial date property value:", IDC_STATIC, 6, 6, 188, 10, kLabel},
            {u"STATIC", u"&Date:", IDC_STATIC, 6, 24, 30, 10, kLabel},
            {DATETIMEPICK_CLASSW, u"", IDC_DATE_PICKER, 40, 22, 100, 13, kVisibleDate},
            {u"STATIC", u"&Time:", IDC_STATIC, 6, 42, 30, 10, kLabel},
            {DATETIMEPICK_CLASSW, u"", IDC_TIME_PICKER, 40, 40, 100, 13, kVisibleTime},
        },
        false));
    module.AddDialog(KeyboardPage(
        IDD_KEYBOARD_WIZARD_NUMBER,
        {
            {u"STATIC", u"Initial numeric property value:", IDC_STATIC, 6, 6, 188, 10, kLabel},
            {u"STATIC", u"&Number:", IDC_STATIC, 6, 22, 36, 10, kLabel},
            {u"EDIT", u"", IDC_VALUE_NUMBER, 44, 20, 150, 12, kEdit},
            {u"STATIC", u"", IDC_VALUE_INFO, 6, 38, 188, 34, kValue},
        },
        false));
    module.AddDialog(KeyboardPage(
        IDD_KEYBOARD_WIZARD_TEXT,
        {
            {u"STATIC", u"Initial &text property value:", IDC_STATIC, 6, 6, 188, 10, kLabel},
            {u"EDIT", u"", IDC_VALUE_TEXT, 6, 17, 188, 54, kTextField | WS_VISIBLE},
        },
        false));
    module.AddDialog(KeyboardPage(
        IDD_KEYBOARD_WIZARD_BOOLEAN,
        {
            {u"STATIC", u"Select the initial property value below:", IDC_STATIC, 6, 6, 188, 10,
             kLabel},
            {u"BUTTON", u"&True", IDC_VALUE_TRUE, 12, 20, 60, 11, kRadio | WS_GROUP | WS_TABSTOP},
            {u"BUTTON", u"F&alse", IDC_VALUE_FALSE, 12, 34, 60, 11, kRadio},
        },
        false));
}

const MenuItemResource kSeparator{nullptr, 0};

// The Sort By items after "Unsorted" are named for the database's sort
// orders when the editor opens; those it has none for are removed.
MenuResource EditorMenu() {
    return {IDR_EDITOR_MENU,
            {
                {u"Record",
                 0,
                 0,
                 {
                     {u"Sort By",
                      0,
                      0,
                      {
                          {u"Unsorted", IDM_SORT_UNSORTED},
                          {u"1", IDM_SORT_FIRST},
                          {u"2", IDM_SORT_FIRST + 1},
                          {u"3", IDM_SORT_FIRST + 2},
                          {u"4", IDM_SORT_FIRST + 3},
                      }},
                     kSeparator,
                     {u"First", IDM_RECORD_FIRST},
                     {u"Previous", IDM_RECORD_PREVIOUS},
                     {u"Next", IDM_RECORD_NEXT},
                     {u"Last", IDM_RECORD_LAST},
                     kSeparator,
                     {u"Delete", IDM_RECORD_DELETE},
                 }},
                {u"Edit",
                 0,
                 0,
                 {
                     {u"Undo", IDM_EDIT_UNDO},
                     kSeparator,
                     {u"Cut", IDM_EDIT_CUT},
                     {u"Copy", IDM_EDIT_COPY},
                     {u"Paste", IDM_EDIT_PASTE},
                     {u"Select All", IDM_EDIT_SELECT_ALL},
                     kSeparator,
                     {u"Find...", IDM_FIND},
                     {u"Find Next", IDM_FIND_NEXT},
                     kSeparator,
                     {u"Reload", IDM_RELOAD},
                 }},
            }};
}

// Two menus and six buttons; the images follow the main bar's five in the strip.
MenuBarResource EditorMenuBar() {
    using Item = MenuBarItemResource;
    return {IDR_EDITOR_MENU,
            IDR_EDITOR_MENU,
            {
                {Item::Menu, 0, 0, 0, 0, nullptr, IDS_MENU_RECORD},
                {Item::Menu, 1, 0, 0, 0, nullptr, IDS_MENU_EDIT},
                {Item::Button, -1, IDM_RECORD_FIRST, 5, IDS_TIP_FIRST_RECORD},
                {Item::Button, -1, IDM_RECORD_PREVIOUS, 6, IDS_TIP_PREVIOUS_RECORD},
                {Item::Button, -1, IDM_RECORD_NEXT, 7, IDS_TIP_NEXT_RECORD},
                {Item::Button, -1, IDM_RECORD_LAST, 8, IDS_TIP_LAST_RECORD},
                {Item::Button, -1, IDM_FIND, 9, IDS_TIP_FIND_TEXT},
                {Item::Button, -1, IDM_FIND_NEXT, 10, IDS_TIP_FIND_NEXT},
            }};
}

}  // namespace

void AddEditorDialogs(ce::ResourceModule& module) {
    module.AddDialog(EditorPortrait());
    module.AddDialog(EditorLandscape());
    module.AddDialog(Find());
    AddWizardPages(module);
    module.AddMenu(EditorMenu());
    module.AddMenuBar(EditorMenuBar());
}

void AddKeyboardEditorDialogs(ce::ResourceModule& module) {
    module.AddDialog(EditorKeyboard());
    AddKeyboardWizardPages(module);
}

}  // namespace res

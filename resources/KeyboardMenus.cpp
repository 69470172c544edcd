// The keyboard edition's menus, accelerators and toolbar tips: menus with
// access keys and their shortcuts after a tab, Enter for View/Modify.

#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/Editions.h"
#include "resources/EditorIds.h"
#include "resources/KeyboardIds.h"
#include "resources/StringIds.h"

namespace res {
namespace {

using namespace ce;

const MenuItemResource kSeparator{nullptr, 0};

MenuResource MainMenu() {
    return {IDR_MAIN_MENU,
            {
                {u"&File",
                 0,
                 0,
                 {
                     {u"View/Modify\tEnter", IDM_VIEW_MODIFY},
                     kSeparator,
                     {u"&Copy...\tCtrl+C", IDM_COPY},
                     {u"Re&name...\tCtrl+N", IDM_RENAME},
                     {u"&Properties...\tCtrl+P", IDM_PROPERTIES},
                     kSeparator,
                     {u"&Delete\tCtrl+D", IDM_DELETE},
                     {u"&Empty\tCtrl+E", IDM_EMPTY},
                     kSeparator,
                     {u"&Send...\tCtrl+S", IDM_SEND},
                     {u"&Receive...\tCtrl+G", IDM_RECEIVE},
                     kSeparator,
                     {u"E&xit", IDM_CLOSE},
                 }},
                {u"&View",
                 0,
                 0,
                 {
                     {u"&Small Icons", IDM_VIEW_SMALL_ICONS},
                     {u"Large &Icons", IDM_KEYBOARD_LARGE_ICONS},
                     {u"&List", IDM_VIEW_LIST},
                     {u"&Details", IDM_VIEW_DETAILS},
                     kSeparator,
                     {u"Arrange by &Name", IDM_ARRANGE_BY_NAME},
                     {u"Arrange by D&ate", IDM_ARRANGE_BY_DATE},
                     {u"Arrange by Si&ze", IDM_ARRANGE_BY_SIZE},
                     kSeparator,
                     {u"&Refresh\tCtrl+R", IDM_REFRESH},
                     kSeparator,
                     {u"&Options...", IDM_OPTIONS},
                 }},
                {u"&Tools",
                 0,
                 0,
                 {
                     {u"&Backup...\tCtrl+B", IDM_BACKUP},
                     {u"&Autobackup\tCtrl+A", IDM_KEYBOARD_AUTOBACKUP},
                     {u"&Restore...\tCtrl+T", IDM_RESTORE},
                     kSeparator,
                     {u"&Export...\tCtrl+Shift+S", IDM_EXPORT},
                     kSeparator,
                     {u"Back&up Registry...", IDM_BACKUP_REGISTRY},
                     {u"Re&store Registry...", IDM_RESTORE_REGISTRY},
                 }},
                {u"&Help",
                 0,
                 0,
                 {
                     {u"&Topics...\tCtrl+H", IDM_HELP},
                     {u"&About...", IDM_ABOUT},
                 }},
            }};
}

MenuResource ListMenu() {
    return {IDR_KEYBOARD_LIST_MENU,
            {
                {u"List",
                 0,
                 0,
                 {
                     {u"View/Modify", IDM_VIEW_MODIFY},
                     kSeparator,
                     {u"Re&name...", IDM_RENAME},
                     {u"&Copy...", IDM_COPY},
                     {u"&Delete", IDM_DELETE},
                     kSeparator,
                     {u"&Send...", IDM_SEND},
                     {u"&Backup...", IDM_BACKUP},
                     {u"&Export...", IDM_EXPORT},
                     kSeparator,
                     {u"&Properties...", IDM_PROPERTIES},
                 }},
            }};
}

// The record editor's command bar: the Sort By items after "Unsorted" are
// named for the database's sort orders when the editor opens.
MenuResource EditorMenu() {
    return {IDR_KEYBOARD_EDITOR_MENU,
            {
                {u"&Records",
                 0,
                 0,
                 {
                     {u"Sort &By",
                      0,
                      0,
                      {
                          {u"&Unsorted", IDM_SORT_UNSORTED},
                          {u"1", IDM_SORT_FIRST},
                          {u"2", IDM_SORT_FIRST + 1},
                          {u"3", IDM_SORT_FIRST + 2},
                          {u"4", IDM_SORT_FIRST + 3},
                      }},
                     kSeparator,
                     {u"&First\tCtrl+H", IDM_RECORD_FIRST},
                     {u"&Previous\tCtrl+J", IDM_RECORD_PREVIOUS},
                     {u"&Next\tCtrl+K", IDM_RECORD_NEXT},
                     {u"&Last\tCtrl+L", IDM_RECORD_LAST},
                     kSeparator,
                     {u"&Delete", IDM_RECORD_DELETE},
                 }},
                {u"&Edit",
                 0,
                 0,
                 {
                     {u"&Undo\tCtrl+Z", IDM_EDIT_UNDO},
                     kSeparator,
                     {u"Cu&t\tCtrl+X", IDM_EDIT_CUT},
                     {u"&Copy\tCtrl+C", IDM_EDIT_COPY},
                     {u"&Paste\tCtrl+V", IDM_EDIT_PASTE},
                     {u"Select &All\tCtrl+A", IDM_EDIT_SELECT_ALL},
                     kSeparator,
                     {u"&Find...\tCtrl+F", IDM_FIND},
                     {u"Find &Next\tCtrl+N", IDM_FIND_NEXT},
                     kSeparator,
                     {u"&Reload", IDM_RELOAD},
                 }},
            }};
}

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;

AcceleratorResource MainAccelerators() {
    return {IDR_MAIN_ACCELERATORS,
            {
                {kCtrl, 'A', IDM_KEYBOARD_AUTOBACKUP},
                {kCtrl, 'B', IDM_BACKUP},
                {kCtrl, 'C', IDM_COPY},
                {kCtrl, 'D', IDM_DELETE},
                {kCtrl, 'E', IDM_EMPTY},
                {kCtrl, 'G', IDM_RECEIVE},
                {kCtrl, 'H', IDM_HELP},
                {kCtrl, 'N', IDM_RENAME},
                {kCtrl, 'P', IDM_PROPERTIES},
                {kCtrl, 'R', IDM_REFRESH},
                {kCtrl, 'S', IDM_SEND},
                {kCtrl | FSHIFT, 'S', IDM_EXPORT},
                {kCtrl, 'T', IDM_RESTORE},
                {FVIRTKEY, VK_RETURN, IDM_VIEW_MODIFY},
            }};
}

const StringResource kTips[] = {
    {IDS_TIP_DELETE_DATABASE, u"Delete Database (Ctrl+D)"},
    {IDS_TIP_COPY_DATABASE, u"Copy Database (Ctrl+C)"},
    {IDS_TIP_PROPERTIES_ENTER, u"Properties (Enter)"},
    {IDS_TIP_SEND_DATABASE, u"Send Database (Ctrl+S)"},
    {IDS_TIP_RECEIVE_DATABASE, u"Receive Database (Ctrl+G)"},
    {IDS_TIP_DETAILS, u"Details"},
    {IDS_TIP_LIST, u"List"},
    {IDS_TIP_SMALL_ICONS, u"Small Icons"},
    {IDS_TIP_LARGE_ICONS, u"Large Icons"},
    {IDS_TIP_BACKUP_DATABASES, u"Backup Database(s) (Ctrl+B)"},
    {IDS_TIP_AUTOBACKUP_SCRIPT, u"Autobackup (Ctrl+A)"},
    {IDS_TIP_RESTORE_DATABASES, u"Restore Database(s) (Ctrl+T)"},
    {IDS_TIP_EXPORT_DATABASE, u"Export Database (Ctrl+Shift+S)"},
    {IDS_TIP_FIRST_RECORD, u"First Record (Ctrl+H)"},
    {IDS_TIP_PREVIOUS_RECORD, u"Previous Record (Ctrl+J)"},
    {IDS_TIP_NEXT_RECORD, u"Next Record (Ctrl+K)"},
    {IDS_TIP_LAST_RECORD, u"Last Record (Ctrl+L)"},
    {IDS_TIP_FIND_TEXT, u"Find (Ctrl+F)"},
    {IDS_TIP_FIND_NEXT, u"Find Next (Ctrl+N)"},
};

}  // namespace

void AddKeyboardMenus(ce::ResourceModule& module) {
    module.AddMenu(MainMenu());
    module.AddMenu(ListMenu());
    module.AddMenu(EditorMenu());
    module.AddAccelerators(MainAccelerators());
    module.ReplaceStrings(kTips);
}

}  // namespace res

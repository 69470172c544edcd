// Menus, the palm-size menu bar and the accelerator tables shared by both
// editions.

#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "platform/gui/WinUser.h"
#include "resources/Editions.h"
#include "resources/StringIds.h"

namespace res {
namespace {

using namespace ce;

const MenuItemResource kSeparator{nullptr, 0};

MenuResource MainMenu() {
    return {IDR_MAIN_MENU,
            {
                {u"Edit",
                 0,
                 0,
                 {
                     {u"View/Modify", IDM_VIEW_MODIFY},
                     kSeparator,
                     {u"Copy...", IDM_COPY},
                     {u"Rename...", IDM_RENAME},
                     {u"Delete", IDM_DELETE},
                     {u"Empty", IDM_EMPTY},
                     kSeparator,
                     {u"Properties...", IDM_PROPERTIES},
                 }},
                {u"View",
                 0,
                 0,
                 {
                     {u"Large Icons", IDM_VIEW_LARGE_ICONS},
                     {u"Small Icons", IDM_VIEW_SMALL_ICONS},
                     {u"List", IDM_VIEW_LIST},
                     {u"Details", IDM_VIEW_DETAILS},
                     kSeparator,
                     {u"Arrange by Name", IDM_ARRANGE_BY_NAME},
                     {u"Arrange by Date", IDM_ARRANGE_BY_DATE},
                     {u"Arrange by Size", IDM_ARRANGE_BY_SIZE},
                     kSeparator,
                     {u"Refresh", IDM_REFRESH},
                     kSeparator,
                     {u"Options...", IDM_OPTIONS},
                 }},
                {u"Tools",
                 0,
                 0,
                 {
                     {u"Backup...", IDM_BACKUP},
                     {u"Autobackup", IDM_AUTOBACKUP},
                     {u"Restore...", IDM_RESTORE},
                     kSeparator,
                     {u"Backup Registry...", IDM_BACKUP_REGISTRY},
                     {u"Restore Registry...", IDM_RESTORE_REGISTRY},
                     kSeparator,
                     {u"Export Database...", IDM_EXPORT},
                     {u"Send", IDM_SEND},
                     {u"Receive", IDM_RECEIVE},
                     kSeparator,
                     {u"About...", IDM_ABOUT},
                 }},
            }};
}

// The list's context menu: its first popup opens on tap-and-hold.
MenuResource ListMenu() {
    return {IDR_LIST_MENU,
            {
                {u"List",
                 0,
                 0,
                 {
                     {u"View/Modify", IDM_VIEW_MODIFY},
                     kSeparator,
                     {u"Copy...", IDM_COPY},
                     {u"Delete", IDM_DELETE},
                     kSeparator,
                     {u"Backup...", IDM_BACKUP},
                     {u"Export...", IDM_EXPORT},
                     {u"Send...", IDM_SEND},
                     kSeparator,
                     {u"Properties...", IDM_PROPERTIES},
                 }},
            }};
}

// Three menus, then five buttons with images from the toolbar bitmap.
MenuBarResource MainMenuBar() {
    using Item = MenuBarItemResource;
    return {IDR_MAIN_MENU,
            IDR_MAIN_MENU,
            {
                {Item::Menu, 0, 0, 0, 0, nullptr, IDS_MENU_EDIT},
                {Item::Menu, 1, 0, 0, 0, nullptr, IDS_MENU_VIEW},
                {Item::Menu, 2, 0, 0, 0, nullptr, IDS_MENU_TOOLS},
                {Item::Button, -1, IDM_PROPERTIES, 0, IDS_TIP_PROPERTIES},
                {Item::Button, -1, IDM_DELETE, 4, IDS_TIP_DELETE},
                {Item::Button, -1, IDM_BACKUP, 1, IDS_TIP_BACKUP},
                {Item::Button, -1, IDM_AUTOBACKUP, 3, IDS_TIP_AUTOBACKUP},
                {Item::Button, -1, IDM_RESTORE, 2, IDS_TIP_RESTORE},
            }};
}

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;

AcceleratorResource MainAccelerators() {
    return {IDR_MAIN_ACCELERATORS,
            {
                {kCtrl, 'A', IDM_AUTOBACKUP},
                {kCtrl, 'B', IDM_BACKUP},
                {kCtrl, 'C', IDM_COPY},
                {kCtrl, 'D', IDM_DELETE},
                {kCtrl, 'E', IDM_EMPTY},
                {kCtrl, 'G', IDM_RECEIVE},
                {kCtrl, 'H', IDM_HELP},
                {kCtrl, 'N', IDM_RENAME},
                {kCtrl, 'P', IDM_PROPERTIES},
                {kCtrl, 'Q', IDM_CLOSE},
                {kCtrl, 'R', IDM_REFRESH},
                {kCtrl, 'S', IDM_SEND},
                {kCtrl | FSHIFT, 'S', IDM_EXPORT},
                {kCtrl, 'T', IDM_RESTORE},
            }};
}

AcceleratorResource EditorAccelerators() {
    return {IDR_EDITOR_ACCELERATORS,
            {
                {kCtrl, 'H', IDM_RECORD_FIRST},
                {kCtrl, 'J', IDM_RECORD_PREVIOUS},
                {kCtrl, 'K', IDM_RECORD_NEXT},
                {kCtrl, 'L', IDM_RECORD_LAST},
                {kCtrl, 'Z', IDM_EDIT_UNDO},
                {kCtrl, 'X', IDM_EDIT_CUT},
                {kCtrl, 'C', IDM_EDIT_COPY},
                {kCtrl, 'V', IDM_EDIT_PASTE},
                {kCtrl, 'A', IDM_EDIT_SELECT_ALL},
                {kCtrl, 'F', IDM_FIND},
                {kCtrl, 'N', IDM_FIND_NEXT},
            }};
}

}  // namespace

void AddCommonMenus(ce::ResourceModule& module) {
    module.AddMenu(MainMenu());
    module.AddMenu(ListMenu());
    module.AddMenuBar(MainMenuBar());
    module.AddAccelerators(MainAccelerators());
    module.AddAccelerators(EditorAccelerators());
}

}  // namespace res

#include "app/MenuState.h"

#include "app/DatabaseList.h"
#include "app/MainWindowCommands.h"
#include "appcore/Application.h"
#include "platform/gui/ShellUi.h"
#include "resources/ControlIds.h"
#include "resources/KeyboardIds.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

UINT ViewCommand(DWORD style) {
    switch (style) {
        case kLargeIcons:
            return res::IDM_VIEW_LARGE_ICONS;
        case kSmallIcons:
            return res::IDM_VIEW_SMALL_ICONS;
        case kList:
            return res::IDM_VIEW_LIST;
        default:
            return res::IDM_VIEW_DETAILS;
    }
}

UINT ArrangeCommand(DWORD key) {
    switch (key) {
        case kSortByDate:
            return res::IDM_ARRANGE_BY_DATE;
        case kSortBySize:
            return res::IDM_ARRANGE_BY_SIZE;
        default:
            return res::IDM_ARRANGE_BY_NAME;
    }
}

}  // namespace

void UpdateMenus(HMENU popup) {
    Application& application = App();
    if (!application.settings)
        return;
    HMENU menu = popup;
    if (menu == nullptr && application.menuBar != nullptr)
        menu = reinterpret_cast<HMENU>(SendMessageW(application.menuBar, SHCMBM_GETMENU, 0, 0));
    ui::ApplyEnabling(MainWindowCommands(), menu, application.menuBar);
    if (menu != nullptr) {
        UINT view = ViewCommand(application.settings->style);
        // The keyboard edition's menu has Large Icons under an id of its own.
        if (view == res::IDM_VIEW_LARGE_ICONS &&
            GetMenuState(menu, view, MF_BYCOMMAND) == 0xFFFFFFFF)
            view = res::IDM_KEYBOARD_LARGE_ICONS;
        CheckMenuRadioItem(menu, res::IDM_VIEW_SMALL_ICONS, res::IDM_VIEW_LARGE_ICONS, view,
                           MF_BYCOMMAND);
        CheckMenuRadioItem(menu, res::IDM_ARRANGE_BY_NAME, res::IDM_ARRANGE_BY_DATE,
                           ArrangeCommand(application.settings->sortKey), MF_BYCOMMAND);
    }
}

}  // namespace app

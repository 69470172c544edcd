#include "app/CommandDispatcher.h"

#include "app/DatabaseCommands.h"
#include "app/DatabaseList.h"
#include "app/ListSorting.h"
#include "app/MenuState.h"
#include "app/OptionsDialog.h"
#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "resources/ControlIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "ui/FileDialogs.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace ce;
using namespace appcore;
using namespace res;

namespace {

void NotAvailableYet() {
    ui::MessageById(nullptr, IDS_NOT_AVAILABLE_YET, ui::kErrorStyle);
}

void ViewModify() {
    WCHAR name[32];
    if (SelectedCount() != 1 || !SelectedName(name))
        return;
    store::Database database;
    CEDBASEINFO info{};
    if (database.Open(name) == INVALID_HANDLE_VALUE || !database.GetInfo(info))
        return;
    if (info.wNumRecords == 0) {
        if (ui::MessageById(nullptr, IDS_CONFIRM_ADD_RECORD, ui::kWarningQuestion) != IDYES)
            return;
        // The Add Property wizard adds the first record.
        NotAvailableYet();
        return;
    }
    database.Close();
    // The record editor shows the database here.
    NotAvailableYet();
    UpdateSelectedRows();
}

void SetView(DWORD style) {
    Application& application = App();
    DWORD view = static_cast<DWORD>(GetWindowLongW(application.list, GWL_STYLE)) & LVS_TYPEMASK;
    DWORD wanted = style == kLargeIcons   ? LVS_ICON
                   : style == kSmallIcons ? LVS_SMALLICON
                   : style == kList       ? LVS_LIST
                                          : LVS_REPORT;
    if (view == wanted)
        return;
    SetListView(style);
    application.settings->style = style;
    SortList();
}

void Autobackup() {
    Settings& settings = *App().settings;
    if (settings.promptScript != 0) {
        WCHAR path[MAX_PATH];
        CopyWide(path, WideView(settings.scriptName, MAX_PATH));
        if (!ui::AskFileName(App().mainWindow, path, true, IDS_FILTER_SCRIPT, u"*.abk"))
            return;
        CopyWide(settings.scriptName, WideView(path, MAX_PATH));
    }
    // Running the script comes with Autobackup itself.
    NotAvailableYet();
}

// A command on the selected database: nothing when no row is selected.
template <class Operation>
void OnSelected(Operation operation) {
    WCHAR name[32];
    if (SelectedName(name))
        operation(name);
}

void Refresh() {
    SaveSelection();
    RefreshList();
}

void CarryOut(UINT command) {
    Application& application = App();
    switch (command) {
        case IDM_VIEW_MODIFY:
            ViewModify();
            break;
        case IDM_COPY:
            OnSelected([](const WCHAR* name) {
                if (Copy(name))
                    RefreshList();
            });
            break;
        case IDM_RENAME:
            OnSelected([](const WCHAR* name) {
                if (Rename(name, true))
                    RefreshList();
            });
            break;
        case IDM_PROPERTIES:
            if (SelectedCount() == 1)
                ShowProperties();
            break;
        case IDM_DELETE:
            OnSelected([](const WCHAR* name) {
                if (DeleteSelected(name))
                    RefreshList();
            });
            break;
        case IDM_EMPTY:
            OnSelected([](const WCHAR* name) {
                if (EmptySelected(name))
                    Refresh();
            });
            break;
        case IDM_VIEW_SMALL_ICONS:
            SetView(kSmallIcons);
            break;
        case IDM_VIEW_LARGE_ICONS:
            SetView(kLargeIcons);
            break;
        case IDM_VIEW_LIST:
            SetView(kList);
            break;
        case IDM_VIEW_DETAILS:
            SetView(kDetails);
            break;
        case IDM_ARRANGE_BY_NAME:
            ArrangeBy(kSortByName);
            break;
        case IDM_ARRANGE_BY_DATE:
            ArrangeBy(kSortByDate);
            break;
        case IDM_ARRANGE_BY_SIZE:
            ArrangeBy(kSortBySize);
            break;
        case IDM_REFRESH:
            Refresh();
            break;
        case IDM_OPTIONS:
            if (ShowOptions(application.mainWindow)) {
                ApplyListAppearance();
                RefreshList();
            }
            break;
        case IDM_AUTOBACKUP:
            Autobackup();
            break;
        case IDM_BACKUP:
        case IDM_RESTORE:
        case IDM_BACKUP_REGISTRY:
        case IDM_RESTORE_REGISTRY:
        case IDM_RECEIVE:
            NotAvailableYet();
            break;
        case IDM_EXPORT:
        case IDM_SEND:
            OnSelected([](const WCHAR*) { NotAvailableYet(); });
            break;
        case IDM_ABOUT:
            ShowAbout(application.mainWindow);
            break;
        case IDM_HELP:
            ui::ShowHelpTopic(ui::kMainHelpTopic);
            break;
        case IDM_CLOSE:
            // Posted: the close is refused while this command still runs.
            PostMessageW(application.mainWindow, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

}  // namespace

void RunCommand(UINT command) {
    Application& application = App();
    bool wasIdle = application.commandsIdle;
    application.commandsIdle = false;
    CarryOut(command);
    application.commandsIdle = wasIdle;
    if (IsWindow(application.mainWindow))
        UpdateMenus(nullptr);
}

}  // namespace app

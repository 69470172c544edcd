#include "app/MainWindow.h"

#include <cstring>

#include "app/DatabaseCommands.h"
#include "app/DatabaseList.h"
#include "app/ListSorting.h"
#include "app/MainWindowCommands.h"
#include "app/MenuState.h"
#include "app/NameDialogs.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

bool CreateWindowContents(HWND window) {
    Application& application = App();
    application.settings = std::make_unique<Settings>();
    if (!CreateList(window))
        return false;
    application.menuBar = appcore::Shell().CreateMainMenuBar(window);
    return application.menuBar != nullptr;
}

void PostViewModify() {
    PostMessageW(App().mainWindow, WM_COMMAND, MAKEWPARAM(res::IDM_VIEW_MODIFY, 0), 0);
}

void EndLabelEdit(const NMLVDISPINFOW& edit) {
    if (edit.item.pszText == nullptr || edit.item.pszText[0] == 0)
        return;
    WCHAR old[store::kDatabaseNameUnits] = {};
    ListView_GetItemText(App().list, edit.item.iItem, kNameColumn, old, store::kDatabaseNameUnits);
    NameDialogParameters& parameters = NameParameters();
    std::memset(parameters.target, 0, sizeof parameters.target);
    CopyWide(parameters.target, WideView(edit.item.pszText, store::kDatabaseNameLength));
    if (WideView(old, store::kDatabaseNameUnits) ==
        WideView(parameters.target, store::kDatabaseNameUnits))
        return;
    if (Rename(old, false))
        PostMessageW(App().mainWindow, WM_COMMAND, MAKEWPARAM(res::IDM_REFRESH, 0), 0);
}

LRESULT OnListNotify(const NMHDR& header) {
    if (header.idFrom != res::IDC_DATABASE_LIST)
        return 0;
    switch (header.code) {
        case NM_DBLCLK:
            PostViewModify();
            return 0;
        case LVN_COLUMNCLICK:
            SortByColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return 0;
        case LVN_ITEMCHANGED:
            if ((reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0)
                UpdateMenus(nullptr);
            return 0;
        case LVN_BEGINLABELEDITW:
            // The box takes no more than a database name holds.
            SendMessageW(ListView_GetEditControl(App().list), EM_LIMITTEXT,
                         store::kDatabaseNameLength, 0);
            return FALSE;
        case LVN_ENDLABELEDITW:
            // The label stays as it was; a successful rename refreshes the list.
            EndLabelEdit(reinterpret_cast<const NMLVDISPINFOW&>(header));
            return FALSE;
        default:
            return 0;
    }
}

void OnDestroy(HWND window) {
    appcore::Shell().MainWindowDestroyed(window);
    Application& application = App();
    if (application.settings) {
        SaveSelection();
        application.settings.reset();
    }
    ReleaseListImages();
    if (application.helpBitmap != nullptr)
        DeleteObject(application.helpBitmap);
    application.helpBitmap = nullptr;
    application.list = nullptr;
    application.menuBar = nullptr;
    PostQuitMessage(0);
}

}  // namespace

LRESULT MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            auto* application = static_cast<Application*>(creation->lpCreateParams);
            SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(application));
            application->mainWindow = window;
            if (CreateWindowContents(window)) {
                UpdateMenus(nullptr);
                return 0;
            }
            ui::MessageById(window, res::IDS_INIT_FAILED, ui::kErrorStyle);
            return -1;
        }
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_SIZE:
            ResizeList();
            return 0;
        case WM_ACTIVATE:
            appcore::Shell().MainWindowActivated(window, wParam, lParam);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_SETFOCUS:
            if (App().list != nullptr)
                SetFocus(App().list);
            return 0;
        case WM_CLOSE:
            if (App().commandsIdle)
                DestroyWindow(window);
            return 0;
        case WM_COMMAND:
            RunCommand(LOWORD(static_cast<DWORD>(wParam)));
            return 0;
        case WM_SETTINGCHANGE:
            if (wParam == SETTINGCHANGE_RESET)
                ResizeList();
            else
                appcore::Shell().MainWindowSettingChanged(window, wParam, lParam);
            return 0;
        case WM_NOTIFY:
            if (appcore::Shell().MainWindowNotify(window, *reinterpret_cast<const NMHDR*>(lParam)))
                return 0;
            return OnListNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_HELP:
            ui::ShowHelpTopic(ui::kMainHelpTopic);
            return TRUE;
        case WM_INITMENUPOPUP:
            UpdateMenus(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_DBNOTIFICATION:
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterMainClass() {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &MainWindowProcedure;
    windowClass.hInstance = App().instance;
    windowClass.hIcon = LoadIconW(App().instance, MAKEINTRESOURCE(res::IDI_PROGRAM));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kMainClassName;
    return RegisterClassW(&windowClass) != 0;
}

bool CreateMainWindow() {
    Application& application = App();
    application.highResolution = GetDeviceCaps(nullptr, LOGPIXELSX) > 150;
    application.helpBitmap = LoadBitmapW(
        application.instance,
        MAKEINTRESOURCE(application.highResolution ? res::IDB_HELP_LARGE : res::IDB_HELP));
    std::u16string title = ui::LoadText(res::IDS_PRODUCT);
    HWND window = CreateWindowExW(0, kMainClassName, title.c_str(), WS_VISIBLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  application.instance, &application);
    if (window == nullptr) {
        application.mainWindow = nullptr;
        return false;
    }
    application.mainWindow = window;
    auto smallIcon = static_cast<HICON>(
        LoadImageW(application.instance, MAKEINTRESOURCE(res::IDI_PROGRAM), IMAGE_ICON, 16, 16, 0));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    ShowWindow(window, SW_SHOW);
    RECT client{};
    GetClientRect(window, &client);
    if (client.right > 1)
        SetColumnWidths(client.right);
    UpdateWindow(window);
    SetFocus(application.list);
    return true;
}

}  // namespace app

// The record editor's command bar in the keyboard edition: its menus, the
// navigation and find buttons with their tips, and the adornments.

#include "shells/keyboard/EditorCommandBar.h"

#include <vector>

#include "appcore/Application.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "resources/DialogIds.h"
#include "resources/KeyboardIds.h"
#include "shells/keyboard/MainBands.h"

namespace shells {

using namespace ce;

namespace {

// The editor's controls move down by the bar's height, and the window grows by it.
void MakeRoomAtTop(HWND editor, HWND bar, int height) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(editor, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != bar)
            children.push_back(child);
    }
    for (HWND child : children) {
        RECT r{};
        GetWindowRect(child, &r);
        POINT topLeft{r.left, r.top};
        ScreenToClient(editor, &topLeft);
        MoveWindow(child, topLeft.x, topLeft.y + height, r.right - r.left, r.bottom - r.top, TRUE);
    }
    RECT outer{};
    GetWindowRect(editor, &outer);
    SetWindowPos(editor, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Centre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) - height) / 2;
    SetWindowPos(window, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CentreOnScreen(HWND window) {
    Centre(window);
}

HWND CreateEditorCommandBar(HWND editor) {
    HINSTANCE instance = appcore::App().instance;
    HWND bar = CommandBar_Create(instance, editor, 1);
    if (bar == nullptr)
        return nullptr;
    if (!CommandBar_InsertMenubarEx(bar, instance, MAKEINTRESOURCE(res::IDR_KEYBOARD_EDITOR_MENU),
                                    0) ||
        CommandBar_AddBitmap(bar, instance, static_cast<int>(res::IDB_TOOLBAR), 13, 16, 16) < 0 ||
        !AddToolbar(bar, EditorToolbar(), 1)) {
        DestroyWindow(bar);
        return nullptr;
    }
    CommandBar_AddAdornments(bar, 0, 0);
    MakeRoomAtTop(editor, bar, CommandBar_Height(bar));
    RECT client{};
    GetClientRect(editor, &client);
    MoveWindow(bar, 0, 0, client.right, CommandBar_Height(bar), TRUE);
    Centre(editor);
    return bar;
}

}  // namespace shells

// The default handling of messages every window procedure passes on.

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce {

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    gui::Window* w = gui::Peek(hwnd);
    if (w == nullptr)
        return 0;
    switch (message) {
        case WM_SETTEXT: {
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            w->text = WideView(text);
            gui::NotifyChanged(hwnd, gui::ChangedText);
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case WM_GETTEXT: {
            auto buffer = reinterpret_cast<LPWSTR>(lParam);
            if (buffer == nullptr || wParam == 0)
                return 0;
            return static_cast<LRESULT>(CopyWide(buffer, wParam, w->text));
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH brush = w->windowClass->background;
            if (brush == nullptr)
                return 0;
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            return 1;
        }
        case WM_SETREDRAW:
            w->redraw = wParam != 0;
            if (w->redraw)
                InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_SETFONT:
            w->font = reinterpret_cast<HFONT>(wParam);
            gui::NotifyChanged(hwnd, gui::ChangedFont);
            if (LOWORD(static_cast<DWORD>(lParam)) != 0)
                InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(w->font);
        case WM_SETICON: {
            HICON& slot = wParam == ICON_SMALL ? w->smallIcon : w->bigIcon;
            HICON previous = slot;
            slot = reinterpret_cast<HICON>(lParam);
            gui::NotifyChanged(hwnd, gui::ChangedIcon);
            return reinterpret_cast<LRESULT>(previous);
        }
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(wParam == ICON_SMALL ? w->smallIcon : w->bigIcon);
        case WM_ACTIVATE:
            if (LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE && w->parent == nullptr) {
                HWND focus = GetFocus();
                if (focus == nullptr || gui::TopLevelOf(focus) != hwnd)
                    SetFocus(hwnd);
            }
            return 0;
        case WM_HELP:
        case WM_DRAWITEM:
            // Children pass these up to their parent.
            if (w->parent != nullptr && message == WM_HELP)
                return SendMessageW(w->parent, message, wParam, lParam);
            return 0;
        case WM_SYSCHAR:
            // Alt and a letter open the menu of the window's command bar
            // whose caption marks that letter.
            gui::OpenMenuByKey(gui::TopLevelOf(hwnd), static_cast<WCHAR>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            // A press on a window that does not take the focus itself activates its window.
            if (gui::TopLevelOf(hwnd) != GetActiveWindow())
                SetActiveWindow(hwnd);
            return 0;
        default:
            return 0;
    }
}

HICON gui::WindowIcon(HWND hwnd, WPARAM which) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return nullptr;
    HICON own = which == ICON_SMALL ? w->smallIcon : w->bigIcon;
    HICON other = which == ICON_SMALL ? w->bigIcon : w->smallIcon;
    HICON ofClass = w->windowClass != nullptr ? w->windowClass->icon : nullptr;
    if (own != nullptr)
        return own;
    return ofClass != nullptr ? ofClass : other;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr)
        return 0;
    return proc(hwnd, message, wParam, lParam);
}

}  // namespace ce

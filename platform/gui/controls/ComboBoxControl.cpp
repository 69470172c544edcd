// The "COMBOBOX" class as a drop-down list: a box that shows the selected
// item, drawn by core. A click (or F4, or Alt+Down) offers the items as a
// popup menu with the selected one checked; Up and Down step through them.
// Changes the user makes send CBN_SELCHANGE to the parent; CB_SETCURSEL
// from the program does not.

#include <string>
#include <vector>

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

struct ComboBoxState : ControlState {
    std::vector<std::u16string> items;
    int selected = -1;
};

constexpr WORD VK_F4_KEY = 0x73;

void Select(HWND hwnd, ComboBoxState& state, int index, bool byUser) {
    if (index < -1 || index >= static_cast<int>(state.items.size()) || index == state.selected)
        return;
    state.selected = index;
    NotifyChanged(hwnd, ChangedValue);
    InvalidateRect(hwnd, nullptr, TRUE);
    if (byUser)
        NotifyParentCommand(hwnd, CBN_SELCHANGE);
}

void OfferItems(HWND hwnd, ComboBoxState& state) {
    if (state.items.empty() || !ReallyEnabled(hwnd))
        return;
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        UINT flags = MF_STRING | (static_cast<int>(i) == state.selected ? MF_CHECKED : 0);
        AppendMenuW(menu, flags, i + 1, state.items[i].c_str());
    }
    RECT r{};
    GetClientRect(hwnd, &r);
    POINT below{0, r.bottom};
    ClientToScreen(hwnd, &below);
    auto chosen = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, below.x, below.y, 0, hwnd, nullptr));
    DestroyMenu(menu);
    // The menu runs a loop of its own: the box may be gone by now.
    if (chosen > 0 && Peek(hwnd) != nullptr)
        Select(hwnd, state, chosen - 1, true);
}

void Paint(HWND hwnd, const ComboBoxState& state) {
    Window* w = Peek(hwnd);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    bool enabled = ReallyEnabled(hwnd);
    FillRect(hdc, &client, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    HPEN frame = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldPen = SelectObject(hdc, frame);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, 0, 0, client.right, client.bottom);
    // The arrow: a small triangle in a square at the right.
    int side = client.bottom;
    int arrowLeft = client.right - side;
    MoveToEx(hdc, arrowLeft, 0, nullptr);
    LineTo(hdc, arrowLeft, client.bottom);
    int cx = arrowLeft + side / 2;
    int cy = client.bottom / 2;
    for (int row = 0; row < side / 4 + 1; ++row) {
        MoveToEx(hdc, cx - side / 4 + row, cy - side / 8 + row, nullptr);
        LineTo(hdc, cx + side / 4 - row + 1, cy - side / 8 + row);
    }
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(frame);
    if (state.selected >= 0) {
        HGDIOBJ oldFont = SelectObject(hdc, w->font != nullptr ? w->font : DefaultFont());
        RECT text{3, 0, arrowLeft - 2, client.bottom};
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        DrawTextW(hdc, state.items[static_cast<std::size_t>(state.selected)].c_str(), -1, &text,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(hdc, oldFont);
    }
    if (GetFocus() == hwnd) {
        RECT focus{2, 2, arrowLeft - 1, client.bottom - 2};
        DrawFocusRect(hdc, &focus);
    }
    EndPaint(hwnd, &ps);
}

}  // namespace

LRESULT ComboBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    auto& state = ControlOf<ComboBoxState>(*w);
    auto count = static_cast<int>(state.items.size());
    switch (message) {
        case CB_ADDSTRING:
            if (lParam == 0)
                return CB_ERR;
            state.items.emplace_back(WideView(reinterpret_cast<const WCHAR*>(lParam)));
            return count;
        case CB_GETCOUNT:
            return count;
        case CB_GETCURSEL:
            return state.selected;
        case CB_SETCURSEL: {
            auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
            if (index < 0 || index >= count) {
                Select(hwnd, state, -1, false);
                return CB_ERR;
            }
            Select(hwnd, state, index, false);
            return index;
        }
        case CB_GETLBTEXTLEN:
        case CB_GETLBTEXT: {
            auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
            if (index < 0 || index >= count)
                return CB_ERR;
            const std::u16string& text = state.items[static_cast<std::size_t>(index)];
            if (message == CB_GETLBTEXT && lParam != 0) {
                auto* out = reinterpret_cast<WCHAR*>(lParam);
                text.copy(out, text.size());
                out[text.size()] = 0;
            }
            return static_cast<LRESULT>(text.size());
        }
        case CB_RESETCONTENT:
            state.items.clear();
            Select(hwnd, state, -1, false);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            OfferItems(hwnd, state);
            return 0;
        case WM_SYSKEYDOWN:
        case WM_KEYDOWN:
            if (wParam == VK_F4_KEY || (message == WM_SYSKEYDOWN && wParam == VK_DOWN)) {
                OfferItems(hwnd, state);
                return 0;
            }
            if (message == WM_KEYDOWN && (wParam == VK_DOWN || wParam == VK_UP)) {
                int next = state.selected + (wParam == VK_DOWN ? 1 : -1);
                if (next >= 0 && next < count)
                    Select(hwnd, state, next, true);
                return 0;
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_PAINT:
            Paint(hwnd, state);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace ce::gui

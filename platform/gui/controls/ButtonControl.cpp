// The "BUTTON" class: push buttons (the default one marked by its style),
// check boxes, radio buttons, group boxes and owner-drawn buttons, which are
// painted by their parent through WM_DRAWITEM.

#include <algorithm>

#include "platform/gui/Gdi.h"
#include "platform/gui/controls/Controls.h"

namespace ce::gui {
namespace {

DWORD TypeOf(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w != nullptr ? (w->style & BS_TYPEMASK) : 0;
}

bool IsRadio(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// An automatic radio button unchecks the other radio buttons of its group.
void UncheckGroup(HWND button) {
    Window* w = Peek(button);
    Window* parent = w != nullptr ? Peek(w->parent) : nullptr;
    if (parent == nullptr)
        return;
    auto& siblings = parent->children;
    auto at = std::find(siblings.begin(), siblings.end(), button);
    auto groupStart = at;
    while (groupStart != siblings.begin() && (Peek(*groupStart)->style & WS_GROUP) == 0)
        --groupStart;
    for (auto it = groupStart; it != siblings.end(); ++it) {
        if (it != groupStart && (Peek(*it)->style & WS_GROUP) != 0)
            break;
        if (*it != button && IsRadio(TypeOf(*it)) && Peek(*it)->windowClass->name == u"BUTTON")
            SendMessageW(*it, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void PaintOwnerDrawn(HWND hwnd, const ButtonState& state) {
    Window* w = Peek(hwnd);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(w->id);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (state.pushed ? ODS_SELECTED : 0) | (GetFocus() == hwnd ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
    item.hwndItem = hwnd;
    item.hDC = hdc;
    GetClientRect(hwnd, &item.rcItem);
    if (w->parent != nullptr)
        SendMessageW(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id),
                     reinterpret_cast<LPARAM>(&item));
    EndPaint(hwnd, &ps);
}

}  // namespace

PeerKind ButtonKind(DWORD style) {
    switch (style & BS_TYPEMASK) {
        case BS_OWNERDRAW:
            return PeerKind::Painted;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return PeerKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return PeerKind::RadioButton;
        case BS_GROUPBOX:
            return PeerKind::GroupBox;
        default:
            return PeerKind::PushButton;
    }
}

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    auto& state = ControlOf<ButtonState>(*w);
    DWORD type = w->style & BS_TYPEMASK;
    switch (message) {
        case BM_GETCHECK:
            return state.check;
        case BM_SETCHECK:
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX)
                return 0;
            if (state.check != wParam) {
                state.check = static_cast<UINT>(wParam);
                NotifyChanged(hwnd, ChangedValue);
            }
            return 0;
        case BM_GETSTATE:
            return state.check | (state.pushed ? BST_PUSHED : 0) |
                   (GetFocus() == hwnd ? BST_FOCUS : 0);
        case BM_SETSTATE:
            if (state.pushed != (wParam != 0)) {
                state.pushed = wParam != 0;
                NotifyChanged(hwnd, ChangedValue);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case BM_SETSTYLE:
            w->style = (w->style & 0xFFFF0000) | static_cast<DWORD>(wParam & 0xFFFF);
            NotifyChanged(hwnd, ChangedStyle);
            if (lParam != 0)
                InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case BM_CLICK:
            if (!ReallyEnabled(hwnd))
                return 0;
            if (type == BS_AUTOCHECKBOX) {
                SendMessageW(hwnd, BM_SETCHECK,
                             state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
            } else if (type == BS_AUTO3STATE) {
                SendMessageW(hwnd, BM_SETCHECK, (state.check + 1) % 3, 0);
            } else if (type == BS_AUTORADIOBUTTON) {
                UncheckGroup(hwnd);
                SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
            }
            NotifyParentCommand(hwnd, BN_CLICKED);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (type == BS_OWNERDRAW) {
                SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
                UpdateWindow(hwnd);
            }
            return 0;
        case WM_LBUTTONUP:
            if (state.pushed) {
                SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
                RECT client;
                GetClientRect(hwnd, &client);
                int x = GET_X_LPARAM(lParam);
                int y = GET_Y_LPARAM(lParam);
                if (x >= client.left && x < client.right && y >= client.top && y < client.bottom)
                    SendMessageW(hwnd, BM_CLICK, 0, 0);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE)
                SendMessageW(hwnd, BM_CLICK, 0, 0);
            return 0;
        case WM_GETDLGCODE:
            if (type == BS_DEFPUSHBUTTON)
                return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            if (type == BS_PUSHBUTTON || type == BS_OWNERDRAW)
                return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            if (IsRadio(type))
                return DLGC_BUTTON | DLGC_RADIOBUTTON;
            return type == BS_GROUPBOX ? DLGC_STATIC : DLGC_BUTTON;
        case WM_PAINT:
            if (type == BS_OWNERDRAW) {
                PaintOwnerDrawn(hwnd, state);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (type == BS_OWNERDRAW)
                InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE)
        return DLGC_STATIC;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    auto& state = ControlOf<ProgressState>(*w);
    auto setPosition = [&](int position) {
        int old = state.position;
        state.position = std::clamp(position, state.low, std::max(state.low, state.high));
        if (old != state.position)
            NotifyChanged(hwnd, ChangedValue);
        return old;
    };
    switch (message) {
        case PBM_SETRANGE:
        case PBM_SETRANGE32: {
            LRESULT old = MAKELONG(state.low, state.high);
            if (message == PBM_SETRANGE) {
                state.low = LOWORD(static_cast<DWORD>(lParam));
                state.high = HIWORD(static_cast<DWORD>(lParam));
            } else {
                state.low = static_cast<int>(wParam);
                state.high = static_cast<int>(lParam);
            }
            setPosition(state.position);
            NotifyChanged(hwnd, ChangedValue);
            return old;
        }
        case PBM_SETPOS:
            return setPosition(static_cast<int>(wParam));
        case PBM_DELTAPOS:
            return setPosition(state.position + static_cast<int>(wParam));
        case PBM_SETSTEP:
            return std::exchange(state.step, static_cast<int>(wParam));
        case PBM_STEPIT: {
            int next = state.position + state.step;
            // Past the end the bar starts over from the beginning.
            if (next > state.high)
                next = state.low + (next - state.high);
            return setPosition(next);
        }
        case PBM_GETPOS:
            return state.position;
        case PBM_GETRANGE:
            return wParam != 0 ? state.low : state.high;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace ce::gui

// The "SysDateTimePick32" class: one SYSTEMTIME, shown as a date or, with
// DTS_TIMEFORMAT, as a time of day. The backend shows a native date or time
// editor; what the user picks there arrives through DateTimePicked, and the
// parent hears DTN_DATETIMECHANGE.

#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/controls/Controls.h"

namespace ce::gui {
namespace {

// Posted by DateTimePicked: the picker tells its parent.
constexpr UINT kPickedByUser = WM_USER + 0x7D0;

bool Plausible(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= 31 && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
           t.wMilliseconds < 1000;
}

void TellParent(HWND hwnd, const Window& w, const DateTimeState& state) {
    if (w.parent == nullptr)
        return;
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = hwnd;
    change.nmhdr.idFrom = static_cast<std::uintptr_t>(w.id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = state.time;
    SendMessageW(w.parent, WM_NOTIFY, static_cast<WPARAM>(w.id), reinterpret_cast<LPARAM>(&change));
}

}  // namespace

PeerKind DateTimePickerKind(DWORD style) {
    return (style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT ? PeerKind::TimePicker : PeerKind::DatePicker;
}

void DateTimePicked(HWND control, const SYSTEMTIME& time) {
    Window* w = Peek(control);
    if (w == nullptr || !Plausible(time) ||
        (w->kind != PeerKind::DatePicker && w->kind != PeerKind::TimePicker))
        return;
    ControlOf<DateTimeState>(*w).time = time;
    PostMessageW(control, kPickedByUser, 0, 0);
}

LRESULT DateTimePickerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    auto& state = ControlOf<DateTimeState>(*w);
    switch (message) {
        case DTM_GETSYSTEMTIME:
            if (lParam == 0)
                return static_cast<LRESULT>(GDT_ERROR);
            *reinterpret_cast<SYSTEMTIME*>(lParam) = state.time;
            return GDT_VALID;
        case DTM_SETSYSTEMTIME: {
            const auto* time = reinterpret_cast<const SYSTEMTIME*>(lParam);
            if (wParam != GDT_VALID || time == nullptr || !Plausible(*time))
                return FALSE;
            state.time = *time;
            NotifyChanged(hwnd, ChangedValue);
            return TRUE;
        }
        case kPickedByUser:
            NotifyChanged(hwnd, ChangedValue);
            TellParent(hwnd, *w, state);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace ce::gui

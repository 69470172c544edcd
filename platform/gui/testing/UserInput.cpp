#include "platform/gui/testing/UserInput.h"

#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/headless/HeadlessBackend.h"

namespace ce::gui::input {
namespace {

bool Refuse(bool ok, const std::string& what) {
    if (!ok) {
        if (HeadlessBackend* backend = CurrentHeadless())
            backend->user().Refused(what);
    }
    return ok;
}

bool Reachable(HWND window, const char* what) {
    return Refuse(IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
                      (GetParent(window) == nullptr || IsWindowEnabled(GetParent(window))),
                  std::string(what) + ": the window is gone, hidden or disabled");
}

POINT ItemPoint(HWND list, int index) {
    RECT r{};
    ListView_GetItemRect(list, index, &r, LVIR_LABEL);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

WPARAM KeysNow() {
    WPARAM keys = 0;
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0)
        keys |= MK_CONTROL;
    if ((GetKeyState(VK_SHIFT) & 0x8000) != 0)
        keys |= MK_SHIFT;
    return keys;
}

}  // namespace

bool PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        bool handled = false;
        for (HWND dialog : OpenDialogs()) {
            if (IsDialogMessageW(dialog, &msg)) {
                handled = true;
                break;
            }
        }
        if (!handled) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void Tap(HWND window, POINT point) {
    if (!Reachable(window, "tap"))
        return;
    PostPointer(window, WM_LBUTTONDOWN, point, MK_LBUTTON | KeysNow());
    PostPointer(window, WM_LBUTTONUP, point, KeysNow());
    PumpMessages();
}

void DoubleTap(HWND window, POINT point) {
    if (!Reachable(window, "double tap"))
        return;
    PostPointer(window, WM_LBUTTONDOWN, point, MK_LBUTTON);
    PostPointer(window, WM_LBUTTONUP, point, 0);
    PostPointer(window, WM_LBUTTONDBLCLK, point, MK_LBUTTON);
    PostPointer(window, WM_LBUTTONUP, point, 0);
    PumpMessages();
}

void TapAndHold(HWND window, POINT point) {
    if (!Reachable(window, "tap and hold"))
        return;
    if (HeadlessBackend* backend = CurrentHeadless())
        backend->HoldNextTap();
    // The shell's gesture recognition takes the pen-up; the program sees only the press.
    PostPointer(window, WM_LBUTTONDOWN, point, MK_LBUTTON);
    PumpMessages();
    if (HeadlessBackend* backend = CurrentHeadless())
        backend->IsTapAndHold(window, point);  // an unused hold must not leak into the next tap
}

void TapItem(HWND list, int index) {
    Tap(list, ItemPoint(list, index));
}

void DoubleTapItem(HWND list, int index) {
    DoubleTap(list, ItemPoint(list, index));
}

void TapAndHoldItem(HWND list, int index) {
    TapAndHold(list, ItemPoint(list, index));
}

void ClickHeaderColumn(HWND list, int column) {
    HWND header = ListView_GetHeader(list);
    RECT r{};
    if (!Refuse(SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                             reinterpret_cast<LPARAM>(&r)) != 0,
                "the header has no such column"))
        return;
    Tap(header, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void PressKey(WORD virtualKey, WPARAM modifiers) {
    if ((modifiers & MK_CONTROL) != 0)
        PostKey(WM_KEYDOWN, VK_CONTROL);
    if ((modifiers & MK_SHIFT) != 0)
        PostKey(WM_KEYDOWN, VK_SHIFT);
    if ((modifiers & MK_ALT) != 0)
        PostKey(WM_KEYDOWN, VK_MENU);
    PostKey(WM_KEYDOWN, virtualKey);
    PostKey(WM_KEYUP, virtualKey);
    if ((modifiers & MK_ALT) != 0)
        PostKey(WM_KEYUP, VK_MENU);
    if ((modifiers & MK_SHIFT) != 0)
        PostKey(WM_KEYUP, VK_SHIFT);
    if ((modifiers & MK_CONTROL) != 0)
        PostKey(WM_KEYUP, VK_CONTROL);
    PumpMessages();
}

void TypeText(std::u16string_view text) {
    for (char16_t c : text)
        PostCharacter(c);
    PumpMessages();
}

void EditText(HWND edit, std::u16string_view text) {
    if (!Reachable(edit, "edit text"))
        return;
    if (!Refuse((GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) == 0,
                "the edit field is read-only"))
        return;
    SetFocus(edit);
    ControlTextEdited(edit, text);
    PumpMessages();
}

void ClickButton(HWND button) {
    if (!Reachable(button, "click a button"))
        return;
    if (GetPeerKind(button) == PeerKind::Painted) {
        Tap(button, {1, 1});
        return;
    }
    ControlClicked(button);
    PumpMessages();
}

void ClickDlgButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!Refuse(button != nullptr, "the dialog has no control " + std::to_string(id)))
        return;
    ClickButton(button);
}

void PressDone(HWND window) {
    if (!Refuse(HasDoneButton(window), "the window has no Done button"))
        return;
    DoneButtonPressed(window);
    PumpMessages();
}

void RequestClose(HWND window) {
    CloseRequested(window);
    PumpMessages();
}

void ChooseMenuCommand(HWND owner, UINT command) {
    HWND bar = SHFindMenuBar(owner);
    if (!Refuse(bar != nullptr && IsWindowEnabled(owner), "the window has no usable menu bar"))
        return;
    if (SendMessageW(bar, TB_ISBUTTONENABLED, command, 0) != 0) {
        SendMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(bar));
        PumpMessages();
        return;
    }
    auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU popup = GetSubMenu(menu, i);
        if (popup == nullptr || GetMenuState(popup, command, MF_BYCOMMAND) == 0xFFFFFFFF)
            continue;
        MenuAboutToOpen(owner, popup);
        UINT state = GetMenuState(popup, command, MF_BYCOMMAND);
        if (!Refuse((state & (MF_GRAYED | MF_DISABLED)) == 0,
                    "menu command " + std::to_string(command) + " is greyed"))
            return;
        SendMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        PumpMessages();
        return;
    }
    Refuse(false, "no menu of the menu bar holds command " + std::to_string(command));
}

void EditListLabel(HWND list, int index, std::u16string_view text) {
    HWND edit = ListView_EditLabel(list, index);
    if (!Refuse(edit != nullptr, "the label cannot be edited"))
        return;
    EditText(edit, text);
    PressKey(VK_RETURN);
}

void EditListLabelAndCancel(HWND list, int index, std::u16string_view text) {
    HWND edit = ListView_EditLabel(list, index);
    if (!Refuse(edit != nullptr, "the label cannot be edited"))
        return;
    EditText(edit, text);
    PressKey(VK_ESCAPE);
}

}  // namespace ce::gui::input

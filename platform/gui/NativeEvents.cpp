// Input from a backend, turned into queued messages, and the control state
// a backend shows.

#include "platform/gui/NativeEvents.h"

#include "platform/gui/ShellUi.h"
#include "platform/gui/controls/Controls.h"

namespace ce::gui {

void PostPointer(HWND window, UINT message, POINT point, WPARAM keys) {
    Window* w = Peek(window);
    if (w == nullptr)
        return;
    if (message == WM_LBUTTONDBLCLK && (w->windowClass->style & CS_DBLCLKS) == 0)
        message = WM_LBUTTONDOWN;
    PostMessageW(window, message, keys, MAKELPARAM(point.x, point.y));
}

void PostKey(UINT message, WORD virtualKey) {
    HWND target = GetFocus() != nullptr ? GetFocus() : GetActiveWindow();
    System().posted.push_back({target, message, virtualKey, 1, Now(), {}});
}

void PostCharacter(WCHAR character) {
    HWND target = GetFocus() != nullptr ? GetFocus() : GetActiveWindow();
    if (target != nullptr)
        PostMessageW(target, WM_CHAR, character, 1);
}

void ControlClicked(HWND control) {
    PostMessageW(control, BM_CLICK, 0, 0);
}

void ControlTextEdited(HWND control, std::u16string_view text) {
    Window* w = Peek(control);
    if (w == nullptr || (w->style & ES_READONLY) != 0) {
        NotifyChanged(control, ChangedText);
        return;
    }
    EditTextByUser(control, std::u16string(text), true);
}

void ControlSelectionChanged(HWND control, int start, int end) {
    if (auto* edit = StateOf<EditState>(control)) {
        edit->selectionStart = std::min(start, end);
        edit->selectionEnd = std::max(start, end);
    }
}

void ControlFocused(HWND control) {
    if (Peek(control) != nullptr && GetFocus() != control)
        SetFocus(control);
}

void DoneButtonPressed(HWND window) {
    if (HasDoneButton(window))
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CloseRequested(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void FrameResized(HWND window, int width, int height) {
    Window* w = Peek(window);
    if (w == nullptr || w->parent != nullptr)
        return;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void MenuAboutToOpen(HWND owner, HMENU submenu) {
    SendInitMenuPopup(owner, submenu);
}

ControlValue GetControlValue(HWND control) {
    ControlValue value;
    if (auto* button = StateOf<ButtonState>(control)) {
        value.check = button->check;
        value.pushed = button->pushed;
    } else if (auto* progress = StateOf<ProgressState>(control)) {
        value.rangeLow = progress->low;
        value.rangeHigh = progress->high;
        value.position = progress->position;
    } else if (auto* edit = StateOf<EditState>(control)) {
        value.selectionStart = edit->selectionStart;
        value.selectionEnd = edit->selectionEnd;
        value.textLimit = edit->limit;
    } else if (auto* picker = StateOf<DateTimeState>(control)) {
        value.time = picker->time;
    }
    return value;
}

PeerKind GetPeerKind(HWND window) {
    Window* w = Peek(window);
    return w != nullptr ? w->kind : PeerKind::Painted;
}

}  // namespace ce::gui

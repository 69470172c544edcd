#pragma once
// What a backend calls: user input turned into the messages real input
// produces, and the state of windows that the window API does not read.
// Every call queues messages; nothing runs a window procedure before the
// program's message loop fetches them (so a backend may call these from
// inside WaitForInput).

#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/Backend.h"
#include "platform/gui/WinUser.h"

namespace ce::gui {

// ---- Input ----

// A pointer message for a window at a point in its client coordinates:
// WM_LBUTTONDOWN / UP / DBLCLK, WM_RBUTTONDOWN / UP, WM_MOUSEMOVE, or
// WM_MOUSEWHEEL (`keys` then holds the wheel delta in its high word). A
// double click on a window whose class lacks CS_DBLCLKS arrives as a press.
void PostPointer(HWND window, UINT message, POINT point, WPARAM keys = 0);
// WM_KEYDOWN / WM_KEYUP of a virtual key, to the window with the focus.
// Shift, Control and Alt are keys of their own: press them around the key.
void PostKey(UINT message, WORD virtualKey);
// WM_CHAR to the window with the focus.
void PostCharacter(WCHAR character);

// A native button was clicked: the button handles BM_CLICK (an automatic
// check box toggles, the parent receives WM_COMMAND BN_CLICKED).
void ControlClicked(HWND control);
// The user changed a native edit field's text: it is stored at once and the
// parent receives WM_COMMAND EN_CHANGE.
void ControlTextEdited(HWND control, std::u16string_view text);
// The user moved the selection or caret of a native edit field.
void ControlSelectionChanged(HWND control, int start, int end);
// The user picked a date or time in a native picker: the picker takes the
// whole value and its parent hears DTN_DATETIMECHANGE.
void DateTimePicked(HWND control, const SYSTEMTIME& time);
// The user moved the keyboard focus to a native control.
void ControlFocused(HWND control);
// The Done button of a full-screen window (SHInitDialog) was pressed: WM_COMMAND IDOK.
void DoneButtonPressed(HWND window);
// The user asked to close a top-level window: WM_CLOSE.
void CloseRequested(HWND window);
// The user resized a top-level window; `width` and `height` are its outer size.
void FrameResized(HWND window, int width, int height);

// A submenu of a popup shown by TrackPopupMenu is about to open: its owner
// hears WM_INITMENUPOPUP (a backend may call this while the popup runs).
void MenuAboutToOpen(HWND owner, HMENU submenu);

// ---- State ----

struct ControlValue {
    UINT check = 0;       // buttons: BST_CHECKED / BST_UNCHECKED / BST_INDETERMINATE
    bool pushed = false;  // buttons: drawn pressed
    int rangeLow = 0;     // progress bars
    int rangeHigh = 100;
    int position = 0;
    int selectionStart = 0;  // edit fields
    int selectionEnd = 0;
    int textLimit = 0;  // edit fields: 0 for none
    SYSTEMTIME time{};  // date and time pickers
};
ControlValue GetControlValue(HWND control);
PeerKind GetPeerKind(HWND window);
// Open dialogs, innermost first (modal ones before modeless ones).
std::vector<HWND> OpenDialogs();
// The template a dialog was made from (0 for other windows).
UINT DialogTemplateId(HWND dialog);
// Whether EndDialog was called for the dialog (or it is no longer a window).
bool DialogEnded(HWND dialog);
// Whether a modal dialog or a popup runs (input to other windows is refused then).
bool InModalLoop();
// The command of the item of `menu` whose text marks `key` as its access
// key ("E&xit" for X), for a backend whose popups do not find it
// themselves; 0 when no enabled item has it.
UINT MenuCommandForAccessKey(HMENU menu, WCHAR key);
// What the tooltip over a point of a window (client coordinates) says: a
// menu bar button's tip; empty where there is none.
std::u16string ToolTipAt(HWND window, POINT point);

}  // namespace ce::gui

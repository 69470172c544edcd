#pragma once
// Acting as the user at the input level on the headless backend: each
// helper queues the messages real input produces (so subclassed window
// procedures see them) and then dispatches what is queued, as the program's
// loop would. A helper asked for what a person could not do (tap a hidden
// window, press a disabled button, choose a greyed command) reports it to
// the headless user and does nothing.

#include <string_view>

#include "platform/gui/WinUser.h"

namespace ce::gui::input {

// Dispatches every queued message (paints included), giving dialogs their
// keyboard handling. Returns false when the quit message was reached (it is
// left for the program's loop).
bool PumpMessages();

// The pen at a point of a window's client area.
void Tap(HWND window, POINT point);
void DoubleTap(HWND window, POINT point);
void TapAndHold(HWND window, POINT point);
// The same on a list view's item (the middle of its label).
void TapItem(HWND list, int index);
void DoubleTapItem(HWND list, int index);
void TapAndHoldItem(HWND list, int index);
// A tap on a list view's column header.
void ClickHeaderColumn(HWND list, int column);

// Modifiers held around the key: MK_CONTROL, MK_SHIFT, MK_ALT (or several).
void PressKey(WORD virtualKey, WPARAM modifiers = 0);
// Types text into the window with the focus, character by character.
void TypeText(std::u16string_view text);
// Replaces an edit field's text as a person editing it would.
void EditText(HWND edit, std::u16string_view text);

// Presses a button (push, check box, radio) as a tap would.
void ClickButton(HWND button);
void ClickDlgButton(HWND dialog, int id);
// The Done button of a full-screen dialog.
void PressDone(HWND window);
// The close box of a top-level window.
void RequestClose(HWND window);

// Chooses a command from the menu bar of `owner` (opening the popup that
// holds it first) or taps one of its buttons.
void ChooseMenuCommand(HWND owner, UINT command);

// Edits a list label in place: starts editing, types the text, presses
// Enter; EditListLabelAndCancel presses Escape instead.
void EditListLabel(HWND list, int index, std::u16string_view text);
void EditListLabelAndCancel(HWND list, int index, std::u16string_view text);

}  // namespace ce::gui::input

#pragma once
// Inside the window system: the state of the simple built-in controls,
// which the native-event side reads and changes too.

#include <string>

#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {

struct ButtonState : ControlState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
};

struct EditState : ControlState {
    int selectionStart = 0;
    int selectionEnd = 0;
    int limit = 0;  // 0: no limit
    bool modified = false;
    bool canUndo = false;
    std::u16string undoText;
    HWND labelEditOf = nullptr;  // the list view whose label this field edits
};

struct ProgressState : ControlState {
    int low = 0;
    int high = 100;
    int position = 0;
    int step = 10;
};

struct DateTimeState : ControlState {
    SYSTEMTIME time{2000, 1, 6, 1, 0, 0, 0, 0};
};

// Stores new text typed by the user (truncated to the limit), keeping the
// old text for undo, and tells the parent with EN_CHANGE.
void EditTextByUser(HWND edit, std::u16string text, bool post);
// Whether `key` with Ctrl edits the text of `window` (an edit field): A, C,
// V, X and Z. Accelerators leave such keys to the field.
bool IsTextEditingKey(HWND window, WPARAM key);

}  // namespace ce::gui

#pragma once
// The record editor: one database shown record by record, its property list
// and the value pane of the selected property, run as a modeless dialog
// with a message loop of its own while the owner is disabled.

#include "platform/gui/WinTypes.h"

namespace editor {

// Close codes of the editor.
inline constexpr int kClosedDone = 1;
inline constexpr int kClosedCancel = 2;
inline constexpr int kNoWindow = 3;

// Runs the editor on the named database until it closes; returns the close code.
int RunRecordEditor(ce::HWND owner, const ce::WCHAR* databaseName);

// What the editor's loop does with a message before dispatching it: the
// focus-step rule (Shift+Tab, Ctrl+Tab), the accelerators, the dialog's own
// keys. True when the message was used up.
bool TranslateEditorMessage(ce::HWND editor, ce::MSG& msg, ce::HACCEL accelerators);

// The editor window of a running editor (nullptr when none runs): for tests
// and the screenshot tour.
ce::HWND CurrentEditorWindow();

}  // namespace editor

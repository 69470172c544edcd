#pragma once
// The frame every dialog gets: full screen with a painted title line and a
// help button in the palm-size edition, a centred captioned window in the
// keyboard edition (the shell decides); bold buttons and group captions in
// both.

#include "platform/gui/Gdi.h"
#include "platform/gui/WinTypes.h"

namespace ui {

using ce::HWND;

// Called first when a dialog opens.
void InitDialogFrame(HWND dialog, bool doneButton, bool helpButton);
// Called for every paint request of a framed dialog: draws the title line
// from the hidden title control. Returns whether it painted.
bool PaintDialogTitle(HWND dialog);
// Called for owner-draw requests; draws only the help button (40134).
bool DrawHelpButton(const ce::DRAWITEMSTRUCT* request);
// Whether the screen is wider than high (the landscape templates are used).
bool IsWideScreen();
// The template of a portrait/landscape pair that fits the screen.
ce::UINT ChooseTemplate(ce::UINT portrait, ce::UINT landscape);

// The messages every framed dialog handles alike: paints (the title line),
// owner draws (the help button), the help button's command and the help
// request (shows `helpTopic`; none: no help). Returns true when the message
// was handled; `result` is then the dialog procedure's answer.
bool HandleFrameMessage(HWND dialog, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam,
                        const char16_t* helpTopic, ce::BOOL& result);

// The dialog procedure of a framed dialog, in one call: the frame's
// messages (help shows `helpTopic`), WM_INITDIALOG to `init` (with the
// dialog's parameter) and WM_COMMAND to `command` with the control id
// (true when it handled the command).
using DialogInit = void (*)(HWND dialog, ce::LPARAM parameter);
using DialogCommand = bool (*)(HWND dialog, int id);
ce::BOOL FramedDialogMessage(HWND dialog, ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam,
                             const char16_t* helpTopic, DialogInit init, DialogCommand command);
// A command handler for dialogs whose OK (or Done) and Cancel only close them.
bool CloseOnOkOrCancel(HWND dialog, int id);

}  // namespace ui

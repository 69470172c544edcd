#pragma once
// What differs between the two programs is asked of the edition's shell
// (shells/palm for tessaly, shells/keyboard for tessbook), never tested for
// in common code. Each shell library defines these.

#include "platform/gui/BackendLoader.h"
#include "platform/gui/WinTypes.h"

namespace shell {

// Whether "Double tap to open a database viewer" starts on.
bool DoubleTapDefault();
// The program's name as typed on a command line (for usage texts).
const char* ProgramName();
// The device screen and the frame style of an interactive run's windows.
ce::gui::InteractiveOptions InteractiveWindowOptions();

// Sets a dialog up as the edition shows dialogs: the palm-size shell makes
// it full screen (with its Done button when asked), gives it an empty menu
// bar and the help button; the keyboard shell centres the captioned dialog.
void FrameDialog(ce::HWND dialog, bool doneButton, bool helpButton);
// Whether dialogs paint their title line from their hidden title control.
bool PaintsDialogTitles();

// The main window's menu bar with its menus and buttons; nullptr on failure.
ce::HWND CreateMainMenuBar(ce::HWND mainWindow);
// The shell's extra dialog controls, made ready once at start.
void InitExtraControls();
// The main window was activated or a system setting changed: keeps a
// full-screen window sized to the screen and the input panel.
void MainWindowActivated(ce::HWND window, ce::WPARAM wParam, ce::LPARAM lParam);
void MainWindowSettingChanged(ce::HWND window, ce::WPARAM wParam, ce::LPARAM lParam);

}  // namespace shell

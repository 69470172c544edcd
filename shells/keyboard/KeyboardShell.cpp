// The keyboard shell: captioned dialogs centred on the screen, and for now
// a plain menu bar with the main menu's popups (its command bands and tool
// bars come later).

#include "app/Application.h"
#include "app/EditionShell.h"
#include "platform/gui/ShellUi.h"
#include "resources/DialogIds.h"

namespace shell {

using namespace ce;

bool DoubleTapDefault() {
    return true;
}
const char* ProgramName() {
    return "tessbook";
}

ce::gui::InteractiveOptions InteractiveWindowOptions() {
    return {640, 240, false};
}

void FrameDialog(HWND dialog, bool, bool) {
    RECT r{};
    GetWindowRect(dialog, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) - height) / 2;
    SetWindowPos(dialog, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PaintsDialogTitles() {
    return false;
}

HWND CreateMainMenuBar(HWND mainWindow) {
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = mainWindow;
    bar.dwFlags = SHCMBF_HMENU;
    bar.nToolBarId = res::IDR_MAIN_MENU;
    bar.hInstRes = app::App().instance;
    return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
}

void InitExtraControls() {}

void MainWindowActivated(HWND, WPARAM, LPARAM) {}

void MainWindowSettingChanged(HWND, WPARAM, LPARAM) {}

}  // namespace shell

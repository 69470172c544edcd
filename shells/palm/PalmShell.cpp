// The palm-size shell: full-screen dialogs with a Done button, a painted
// title line and a help button; the shell menu bar with menus and buttons.

#include "app/Application.h"
#include "app/EditionShell.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"

namespace shell {

using namespace ce;

bool DoubleTapDefault() {
    return false;
}
const char* ProgramName() {
    return "tessaly";
}

ce::gui::InteractiveOptions InteractiveWindowOptions() {
    return {240, 320, true};
}

namespace {

void CreateHelpButton(HWND dialog) {
    HBITMAP bitmap = app::App().helpBitmap;
    BITMAP size{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof size, &size) != sizeof size)
        return;
    int x = GetSystemMetrics(SM_CXSCREEN) - size.bmWidth - 10;
    HWND button = CreateWindowExW(
        WS_EX_TOPMOST, u"BUTTON", u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, 3, size.bmWidth + 4,
        size.bmHeight + 2, dialog, reinterpret_cast<HMENU>(std::uintptr_t{res::IDC_HELP_BUTTON}),
        app::App().instance, nullptr);
    if (button != nullptr)
        SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace

void FrameDialog(HWND dialog, bool doneButton, bool helpButton) {
    SHINITDLGINFO info{};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | (doneButton ? SHIDIF_DONEBUTTON : 0);
    SHInitDialog(&info);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    bar.hInstRes = app::App().instance;
    SHCreateMenuBar(&bar);
    if (helpButton)
        CreateHelpButton(dialog);
}

bool PaintsDialogTitles() {
    return true;
}

HWND CreateMainMenuBar(HWND mainWindow) {
    app::Application& application = app::App();
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = mainWindow;
    bar.nToolBarId = res::IDR_MAIN_MENU;
    bar.hInstRes = application.instance;
    UINT bitmapId = application.highResolution ? res::IDB_TOOLBAR_LARGE : res::IDB_TOOLBAR;
    bar.nBmpId = static_cast<int>(bitmapId);
    // The strip holds square images side by side; the bar's buttons use the
    // first nine, but the strip is cut by its own count.
    bar.cBmpImages = 9;
    if (HBITMAP strip = LoadBitmapW(application.instance, MAKEINTRESOURCE(bitmapId))) {
        BITMAP size{};
        if (GetObjectW(strip, sizeof size, &size) == sizeof size && size.bmHeight > 0)
            bar.cBmpImages = static_cast<int>(size.bmWidth / size.bmHeight);
        DeleteObject(strip);
    }
    return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
}

void InitExtraControls() {
    SHInitExtraControls();
}

void MainWindowActivated(HWND window, WPARAM wParam, LPARAM lParam) {
    SHACTIVATEINFO info{};
    info.cbSize = sizeof info;
    SHHandleWMActivate(window, wParam, lParam, &info, 0);
    if (LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE)
        SHHandleWMSettingChange(window, static_cast<WPARAM>(-1), 0, &info);
}

void MainWindowSettingChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam == SPI_SETSIPINFO) {
        SHACTIVATEINFO info{};
        info.cbSize = sizeof info;
        SHHandleWMSettingChange(window, wParam, lParam, &info);
    }
}

}  // namespace shell

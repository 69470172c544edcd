#include "shells/keyboard/KeyboardShell.h"

#include "appcore/Application.h"
#include "platform/gui/ShellUi.h"
#include "resources/DialogIds.h"

namespace shells {
namespace {

using namespace ce;

class KeyboardShell final : public appcore::EditionShell {
public:
    bool DoubleTapDefault() const override { return true; }
    const char* ProgramName() const override { return "tessbook"; }
    gui::InteractiveOptions InteractiveWindowOptions() const override { return {640, 240, false}; }

    void FrameDialog(HWND dialog, bool, bool) override {
        RECT r{};
        GetWindowRect(dialog, &r);
        int width = r.right - r.left;
        int height = r.bottom - r.top;
        int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        int y = (GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) - height) / 2;
        SetWindowPos(dialog, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    bool PaintsDialogTitles() const override { return false; }
    DWORD PasswordQuestionDelayMs() const override { return 0; }

    HWND CreateMainMenuBar(HWND mainWindow) override {
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = mainWindow;
        bar.dwFlags = SHCMBF_HMENU;
        bar.nToolBarId = res::IDR_MAIN_MENU;
        bar.hInstRes = appcore::App().instance;
        return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
    }

    void InitExtraControls() override {}
    void MainWindowActivated(HWND, WPARAM, LPARAM) override {}
    void MainWindowSettingChanged(HWND, WPARAM, LPARAM) override {}
};

}  // namespace

std::unique_ptr<appcore::EditionShell> MakeKeyboardShell() {
    return std::make_unique<KeyboardShell>();
}

}  // namespace shells

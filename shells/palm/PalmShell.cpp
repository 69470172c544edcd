#include "shells/palm/PalmShell.h"

#include "appcore/Application.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"

namespace shells {
namespace {

using namespace ce;

void CreateHelpButton(HWND dialog) {
    HBITMAP bitmap = appcore::App().helpBitmap;
    BITMAP size{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof size, &size) != sizeof size)
        return;
    int x = GetSystemMetrics(SM_CXSCREEN) - size.bmWidth - 10;
    HWND button = CreateWindowExW(
        WS_EX_TOPMOST, u"BUTTON", u"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, 3, size.bmWidth + 4,
        size.bmHeight + 2, dialog, reinterpret_cast<HMENU>(std::uintptr_t{res::IDC_HELP_BUTTON}),
        appcore::App().instance, nullptr);
    if (button != nullptr)
        SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

class PalmShell final : public appcore::EditionShell {
public:
    bool DoubleTapDefault() const override { return false; }
    const char* ProgramName() const override { return "tessaly"; }
    gui::InteractiveOptions InteractiveWindowOptions() const override { return {240, 320, true}; }

    void FrameDialog(HWND dialog, bool doneButton, bool helpButton) override {
        SHINITDLGINFO info{};
        info.dwMask = SHIDIM_FLAGS;
        info.hDlg = dialog;
        info.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | (doneButton ? SHIDIF_DONEBUTTON : 0);
        SHInitDialog(&info);
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = dialog;
        bar.dwFlags = SHCMBF_EMPTYBAR;
        bar.hInstRes = appcore::App().instance;
        SHCreateMenuBar(&bar);
        if (helpButton)
            CreateHelpButton(dialog);
    }

    bool PaintsDialogTitles() const override { return true; }
    DWORD PasswordQuestionDelayMs() const override { return 500; }

    HWND CreateMainMenuBar(HWND mainWindow) override {
        appcore::Application& application = appcore::App();
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = mainWindow;
        bar.nToolBarId = res::IDR_MAIN_MENU;
        bar.hInstRes = application.instance;
        UINT bitmapId = application.highResolution ? res::IDB_TOOLBAR_LARGE : res::IDB_TOOLBAR;
        bar.nBmpId = static_cast<int>(bitmapId);
        // The bar's five buttons use the first of the strip's nine images.
        bar.cBmpImages = 9;
        return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
    }

    std::span<const appcore::ListColumn> DatabaseListColumns() const override {
        using Content = appcore::ListColumnContent;
        static constexpr appcore::ListColumn kColumns[] = {
            {Content::Name, res::IDS_COLUMN_NAME, 7},
            {Content::Size, res::IDS_COLUMN_SIZE, 4},
            {Content::ModifiedDate, res::IDS_COLUMN_MODIFIED, 4},
        };
        return kColumns;
    }

    UINT ListMenuId() const override { return res::IDR_LIST_MENU; }

    // The dialog frame's empty bar gives way to the editor's menus and buttons.
    HWND CreateEditorMenuBar(HWND editor) override {
        if (HWND empty = SHFindMenuBar(editor))
            DestroyWindow(empty);
        appcore::Application& application = appcore::App();
        UINT bitmapId = application.highResolution ? res::IDB_TOOLBAR_LARGE : res::IDB_TOOLBAR;
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = editor;
        bar.nToolBarId = res::IDR_EDITOR_MENU;
        bar.hInstRes = application.instance;
        bar.nBmpId = static_cast<int>(bitmapId);
        bar.cBmpImages = 11;
        return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
    }

    bool MainWindowNotify(HWND, const NMHDR&) override { return false; }
    void MainWindowDestroyed(HWND) override {}

    void InitExtraControls() override { SHInitExtraControls(); }

    void MainWindowActivated(HWND window, WPARAM wParam, LPARAM lParam) override {
        SHACTIVATEINFO info{};
        info.cbSize = sizeof info;
        SHHandleWMActivate(window, wParam, lParam, &info, 0);
        if (LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE)
            SHHandleWMSettingChange(window, static_cast<WPARAM>(-1), 0, &info);
    }

    void MainWindowSettingChanged(HWND window, WPARAM wParam, LPARAM lParam) override {
        if (wParam == SPI_SETSIPINFO) {
            SHACTIVATEINFO info{};
            info.cbSize = sizeof info;
            SHHandleWMSettingChange(window, wParam, lParam, &info);
        }
    }
};

}  // namespace

std::unique_ptr<appcore::EditionShell> MakePalmShell() {
    return std::make_unique<PalmShell>();
}

}  // namespace shells

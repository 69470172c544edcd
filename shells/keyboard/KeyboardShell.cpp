#include "shells/keyboard/KeyboardShell.h"

#include "appcore/Application.h"
#include "platform/gui/CommandBar.h"
#include "resources/DialogIds.h"
#include "resources/KeyboardIds.h"
#include "resources/StringIds.h"
#include "shells/keyboard/EditorCommandBar.h"
#include "shells/keyboard/MainBands.h"

namespace shells {
namespace {

using namespace ce;

class KeyboardShell final : public appcore::EditionShell {
public:
    bool DoubleTapDefault() const override { return true; }
    const char* ProgramName() const override { return "tessbook"; }
    gui::InteractiveOptions InteractiveWindowOptions() const override { return {640, 240, false}; }

    // Captioned dialogs are centred on the screen less the menu height;
    // there is no full-screen frame, Done button or help button.
    void FrameDialog(HWND dialog, bool, bool) override { CentreOnScreen(dialog); }

    bool PaintsDialogTitles() const override { return false; }
    DWORD PasswordQuestionDelayMs() const override { return 0; }

    HWND CreateMainMenuBar(HWND mainWindow) override { return CreateMainBands(mainWindow); }

    std::span<const appcore::ListColumn> DatabaseListColumns() const override {
        using Content = appcore::ListColumnContent;
        static constexpr appcore::ListColumn kColumns[] = {
            {Content::Name, res::IDS_COLUMN_NAME, 6},
            {Content::Size, res::IDS_COLUMN_SIZE, 2},
            {Content::Type, res::IDS_COLUMN_DATABASE_TYPE, 3},
            {Content::ModifiedDateAndTime, res::IDS_COLUMN_MODIFIED, 4},
        };
        return kColumns;
    }

    UINT ListMenuId() const override { return res::IDR_KEYBOARD_LIST_MENU; }
    HWND CreateEditorMenuBar(HWND editor) override { return CreateEditorCommandBar(editor); }

    bool MainWindowNotify(HWND window, const NMHDR& header) override {
        return OnBandsNotify(window, header);
    }
    void MainWindowDestroyed(HWND window) override { SaveMainBands(window); }

    void InitExtraControls() override {}
    void MainWindowActivated(HWND, WPARAM, LPARAM) override {}
    void MainWindowSettingChanged(HWND, WPARAM, LPARAM) override {}
};

}  // namespace

std::unique_ptr<appcore::EditionShell> MakeKeyboardShell() {
    return std::make_unique<KeyboardShell>();
}

}  // namespace shells

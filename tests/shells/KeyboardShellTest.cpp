// The keyboard edition's dialogs: captioned windows centred on the screen,
// without Done button, help button or painted title line, and bold buttons
// as in the other edition. The fixture installs the keyboard shell, so these
// cases run beside the palm-size edition's in one test program.

#include <gtest/gtest.h>

#include "appcore/Application.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"
#include "ui/DialogFrame.h"

namespace {

using namespace ce;

BOOL Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    BOOL result = FALSE;
    if (ui::HandleFrameMessage(dialog, message, wParam, lParam, u"options", result))
        return result;
    if (message == WM_INITDIALOG) {
        ui::InitDialogFrame(dialog, true, true);
        return TRUE;
    }
    return FALSE;
}

class KeyboardShell : public ::testing::Test {
protected:
    testing_support::KeyboardSession session_;
};

TEST_F(KeyboardShell, DoubleTapToOpenStartsOn) {
    appcore::Settings settings;
    EXPECT_EQ(settings.doubleTap, 1u);
}

TEST_F(KeyboardShell, DialogsAreCentredCaptionedWindowsWithoutTheFrameElements) {
    appcore::App().settings = std::make_unique<appcore::Settings>();

    HWND dialog = CreateDialogParamW(
        appcore::App().instance, MAKEINTRESOURCE(res::IDD_DATABASE_EXISTS), nullptr, &Procedure, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_LT(r.right - r.left, 640);
    EXPECT_EQ(r.left, (640 - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (240 - GetSystemMetrics(SM_CYMENU) - (r.bottom - r.top)) / 2);
    EXPECT_FALSE(HasDoneButton(dialog));
    EXPECT_EQ(GetDlgItem(dialog, res::IDC_HELP_BUTTON), nullptr);
    EXPECT_EQ(SHFindMenuBar(dialog), nullptr);

    InvalidateRect(dialog, nullptr, TRUE);
    UpdateWindow(dialog);
    for (const gui::DrawOp& op : gui::CurrentHeadless()->LastDrawing(dialog))
        EXPECT_NE(op.kind, gui::DrawOp::Text);

    auto font = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDOK, WM_GETFONT, 0, 0));
    ASSERT_NE(FontDescription(font), nullptr);
    EXPECT_EQ(FontDescription(font)->lfWeight, FW_BOLD);
    DestroyWindow(dialog);
}

}  // namespace

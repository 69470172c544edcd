// The dialog frame: the painted title line, the help button, bold buttons
// and the choice of landscape templates.

#include "ui/DialogFrame.h"

#include <gtest/gtest.h>

#include "appcore/Application.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;
namespace input = gui::input;

BOOL FramedProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    BOOL result = FALSE;
    if (ui::HandleFrameMessage(dialog, message, wParam, lParam, u"propdlg", result))
        return result;
    if (message == WM_INITDIALOG) {
        ui::InitDialogFrame(dialog, true, true);
        return TRUE;
    }
    return FALSE;
}

class DialogFrameTest : public ::testing::Test {
protected:
    DialogFrameTest() {
        appcore::Application& application = appcore::App();
        application.settings = std::make_unique<appcore::Settings>();
        application.helpBitmap = LoadBitmapW(application.instance, MAKEINTRESOURCE(res::IDB_HELP));
    }
    ~DialogFrameTest() override {
        if (IsWindow(dialog_))
            DestroyWindow(dialog_);
        DeleteObject(appcore::App().helpBitmap);
        appcore::App().helpBitmap = nullptr;
    }

    HWND Open(UINT templateId) {
        dialog_ = CreateDialogParamW(appcore::App().instance, MAKEINTRESOURCE(templateId), nullptr,
                                     &FramedProcedure, 0);
        ShowWindow(dialog_, SW_SHOW);
        return dialog_;
    }

    std::vector<gui::DrawOp> Paint() {
        InvalidateRect(dialog_, nullptr, TRUE);
        UpdateWindow(dialog_);
        return gui::CurrentHeadless()->LastDrawing(dialog_);
    }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
    HWND dialog_ = nullptr;
};

TEST_F(DialogFrameTest, TheTitleLineIsPaintedFromTheHiddenControlAndNotWhenItIsEmpty) {
    Open(res::IDD_PROPERTIES);
    std::vector<gui::DrawOp> ops = Paint();
    int titles = 0;
    int lines = 0;
    for (const gui::DrawOp& op : ops) {
        if (op.kind == gui::DrawOp::Text && op.text == u"Database Properties") {
            ++titles;
            EXPECT_EQ(op.color, RGB(0, 0, 128));
            EXPECT_EQ(op.fontWeight, FW_BOLD);
        }
        if (op.kind == gui::DrawOp::Line) {
            ++lines;
            EXPECT_EQ(op.from.y, GetSystemMetrics(SM_CYCAPTION));
        }
    }
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(lines, 1);

    SetDlgItemTextW(dialog_, res::IDC_TITLE, u"");
    for (const gui::DrawOp& op : Paint())
        EXPECT_TRUE(op.kind != gui::DrawOp::Text && op.kind != gui::DrawOp::Line);
}

TEST_F(DialogFrameTest, TheDialogFillsTheScreenWithDoneAndHelpButtonsAndBoldButtons) {
    Open(res::IDD_DATABASE_EXISTS);
    RECT r{};
    GetWindowRect(dialog_, &r);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(HasDoneButton(dialog_));
    HWND help = GetDlgItem(dialog_, res::IDC_HELP_BUTTON);
    ASSERT_NE(help, nullptr);
    RECT button{};
    GetWindowRect(help, &button);
    EXPECT_EQ(button.right - button.left, 16 + 4);
    EXPECT_EQ(button.left - r.left, GetSystemMetrics(SM_CXSCREEN) - 16 - 10);

    auto weight = [](HWND control) {
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        const LOGFONTW* description = FontDescription(font);
        return description != nullptr ? description->lfWeight : 0;
    };
    EXPECT_EQ(weight(GetDlgItem(dialog_, res::IDC_OVERWRITE)), FW_BOLD);
    EXPECT_NE(weight(GetDlgItem(dialog_, res::IDC_EXISTS_TEXT)), FW_BOLD);

    // The help button draws its bitmap and asks for the dialog's topic.
    input::ClickButton(help);
    auto& requests = gui::CurrentHeadless()->helpRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].anchor, u"propdlg");
    UpdateWindow(help);
    bool drewBitmap = false;
    for (const gui::DrawOp& op : gui::CurrentHeadless()->LastDrawing(help))
        drewBitmap = drewBitmap || op.kind == gui::DrawOp::Picture;
    EXPECT_TRUE(drewBitmap);
}

TEST_F(DialogFrameTest, LandscapeTemplatesAreUsedOnAScreenWiderThanHigh) {
    gui::HeadlessBackend& backend = *gui::CurrentHeadless();
    gui::ScreenMetrics screen = backend.Screen();
    screen.width = 320;
    screen.height = 240;
    backend.SetScreen(screen);
    EXPECT_TRUE(ui::IsWideScreen());
    EXPECT_EQ(ui::ChooseTemplate(118, 190), 190u);
    screen.width = 240;
    screen.height = 320;
    backend.SetScreen(screen);
    EXPECT_FALSE(ui::IsWideScreen());
    EXPECT_EQ(ui::ChooseTemplate(118, 190), 118u);
    // A square screen is not wider than high.
    screen.width = 240;
    screen.height = 240;
    backend.SetScreen(screen);
    EXPECT_FALSE(ui::IsWideScreen());
}

}  // namespace

// Every control of every dialog template in the resources is on the screen,
// below the title line, in portrait (240x320) and in landscape (320x240).

#include <gtest/gtest.h>

#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tests/support/DialogTemplates.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"
#include "ui/DialogFrame.h"

namespace {

using namespace ce;

BOOL Framed(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        ui::InitDialogFrame(dialog, true, true);
        return TRUE;
    }
    return FALSE;
}

using testing_support::DialogOnScreen;

class TemplateLayoutTest : public ::testing::TestWithParam<DialogOnScreen> {
protected:
    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

TEST_P(TemplateLayoutTest, EveryControlIsOnTheScreenBelowTheTitleLine) {
    gui::HeadlessBackend& backend = *gui::CurrentHeadless();
    gui::ScreenMetrics screen = backend.Screen();
    screen.width = GetParam().width;
    screen.height = GetParam().height;
    backend.SetScreen(screen);
    appcore::App().settings = std::make_unique<appcore::Settings>();
    appcore::App().helpBitmap =
        LoadBitmapW(appcore::App().instance, MAKEINTRESOURCE(res::IDB_HELP));
    HWND dialog = CreateDialogParamW(appcore::App().instance, MAKEINTRESOURCE(GetParam().dialog.id),
                                     nullptr, &Framed, 0);
    ASSERT_NE(dialog, nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    int title = GetSystemMetrics(SM_CYCAPTION);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        // The shell's menu bar lies below the client area, as it should.
        if ((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) == 0 || child == SHFindMenuBar(dialog))
            continue;
        RECT r{};
        GetWindowRect(child, &r);
        POINT topLeft{r.left, r.top};
        POINT bottomRight{r.right, r.bottom};
        ScreenToClient(dialog, &topLeft);
        ScreenToClient(dialog, &bottomRight);
        WCHAR text[80] = {};
        GetWindowTextW(child, text, 80);
        std::string what = "control " + std::to_string(GetDlgCtrlID(child)) + " \"" +
                           WideToUtf8(WideView(text, 80)) + "\" at " + std::to_string(topLeft.x) +
                           "," + std::to_string(topLeft.y) + " to " +
                           std::to_string(bottomRight.x) + "," + std::to_string(bottomRight.y) +
                           " in " + std::to_string(client.right) + "x" +
                           std::to_string(client.bottom);
        bool helpButton = GetDlgCtrlID(child) == static_cast<int>(res::IDC_HELP_BUTTON);
        EXPECT_GE(topLeft.x, 0) << what;
        EXPECT_GE(topLeft.y, helpButton ? 0 : title) << what;
        EXPECT_LE(bottomRight.x, client.right) << what;
        EXPECT_LE(bottomRight.y, client.bottom) << what;
    }
    DestroyWindow(dialog);
    DeleteObject(appcore::App().helpBitmap);
    appcore::App().helpBitmap = nullptr;
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, TemplateLayoutTest,
                         ::testing::ValuesIn(testing_support::DialogsOnBothScreens(
                             testing_support::EditionResources(testing_support::Edition::Palm))),
                         [](const auto& info) { return info.param.TestName(); });

}  // namespace

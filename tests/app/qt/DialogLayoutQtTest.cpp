// Every control of every dialog template in the resources, laid out with the
// fonts Qt really draws, lies on the device's screen and shows its whole
// text, in portrait and in landscape, at the usual and at high resolution.

#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/qt/FrameWidget.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tests/app/qt/BrowserQtFixture.h"
#include "tests/support/DialogTemplates.h"
#include "tests/support/ScriptedSession.h"
#include "ui/DialogFrame.h"

namespace browser_qt {
namespace {

using testing_support::DialogOnScreen;

class DialogLayoutQt : public BrowserQt, public ::testing::WithParamInterface<DialogOnScreen> {
protected:
    const char* ScreenSize() const override { return GetParam().screen.c_str(); }
    int ScreenDpi() const override { return GetParam().dpi; }
};

TEST_P(DialogLayoutQt, EveryControlShowsItsWholeTextOnTheScreen) {
    appcore::Application& application = appcore::App();
    application.settings = std::make_unique<appcore::Settings>();
    application.highResolution = GetDeviceCaps(nullptr, LOGPIXELSX) > 150;
    application.helpBitmap = LoadBitmapW(
        application.instance,
        MAKEINTRESOURCE(application.highResolution ? res::IDB_HELP_LARGE : res::IDB_HELP));
    HWND dialog = CreateDialogParamW(application.instance, MAKEINTRESOURCE(GetParam().dialog.id),
                                     nullptr, &Framed, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    Pump();
    QWidget* client = WidgetOf(dialog);
    ASSERT_NE(client, nullptr);
    // What the dialog shows lies in its client area: below the shell's
    // strip, above the menu bar, on the screen.
    RECT inside{};
    GetClientRect(dialog, &inside);
    QRect screen(client->mapTo(qt_->FrameOf(dialog), QPoint(0, 0)),
                 QSize(inside.right, inside.bottom));
    ASSERT_TRUE(QRect(QPoint(0, 0), qt_->FrameOf(dialog)->size()).contains(screen));
    int title = GetSystemMetrics(SM_CYCAPTION);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        QWidget* widget = WidgetOf(child);
        if (widget == nullptr || !widget->isVisible() || child == SHFindMenuBar(dialog))
            continue;
        QRect area(widget->mapTo(qt_->FrameOf(dialog), QPoint(0, 0)), widget->size());
        WCHAR text[80] = {};
        GetWindowTextW(child, text, 80);
        std::string what = "control " + std::to_string(GetDlgCtrlID(child)) + " \"" +
                           WideToUtf8(WideView(text, 80)) + "\" at " + std::to_string(area.x()) +
                           "," + std::to_string(area.y()) + " " + std::to_string(area.width()) +
                           "x" + std::to_string(area.height());
        EXPECT_TRUE(screen.contains(area)) << what;
        if (GetDlgCtrlID(child) != static_cast<int>(res::IDC_HELP_BUTTON) &&
            widget->parentWidget() == client) {
            EXPECT_GE(widget->y(), title) << what;
        }
        std::string why;
        EXPECT_TRUE(ShowsWholeText(widget, why)) << what << ": " << why;
    }
    DestroyWindow(dialog);
    DeleteObject(application.helpBitmap);
    application.helpBitmap = nullptr;
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, DialogLayoutQt,
                         ::testing::ValuesIn(testing_support::DialogsOnEveryScreen(
                             testing_support::EditionResources(testing_support::Edition::Palm))),
                         [](const auto& info) { return info.param.TestName(); });

}  // namespace
}  // namespace browser_qt

// Every dialog tessbook opens, laid out with the fonts Qt really draws, is a
// captioned window centred on the 640x240 screen that holds all of its
// controls and shows their whole text, without the palm-size frame's Done
// button or menu bar.

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/qt/FrameWidget.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/EditorIds.h"
#include "resources/KeyboardIds.h"
#include "tests/app/qt/BrowserQtFixture.h"
#include "tests/support/DialogTemplates.h"
#include "tests/support/ScriptedSession.h"
#include "ui/DialogFrame.h"

namespace browser_qt {
namespace {

// The templates tessbook opens: all of its module's but the palm-size
// record editor's two and wizard pages, which only tessaly shows.
std::vector<testing_support::DialogTemplate> OpenedTemplates() {
    std::vector<testing_support::DialogTemplate> opened;
    for (const testing_support::DialogTemplate& t : testing_support::DialogTemplates(
             testing_support::EditionResources(testing_support::Edition::Keyboard))) {
        bool palmOnly = t.id == res::IDD_EDITOR || t.id == res::IDD_EDITOR_WIDE ||
                        (t.id >= res::IDD_WIZARD_DATE && t.id <= res::IDD_WIZARD_TYPE);
        if (!palmOnly)
            opened.push_back(t);
    }
    return opened;
}

class KeyboardDialogLayoutQt
    : public BrowserQt,
      public ::testing::WithParamInterface<testing_support::DialogTemplate> {
protected:
    const char* ScreenSize() const override { return "640x240"; }
    testing_support::Edition Edition() const override { return testing_support::Edition::Keyboard; }
};

TEST_P(KeyboardDialogLayoutQt, IsACaptionedWindowThatHoldsItsControlsOnTheScreen) {
    appcore::Application& application = appcore::App();
    application.settings = std::make_unique<appcore::Settings>();
    HWND dialog = CreateDialogParamW(application.instance, MAKEINTRESOURCE(GetParam().id), nullptr,
                                     &Framed, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    Pump();
    EXPECT_NE(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION, 0u);
    WCHAR caption[80] = {};
    GetWindowTextW(dialog, caption, 80);
    EXPECT_NE(caption[0], 0) << "the window carries its title as its caption";
    EXPECT_FALSE(HasDoneButton(dialog));
    EXPECT_EQ(SHFindMenuBar(dialog), nullptr);

    RECT outer{};
    GetWindowRect(dialog, &outer);
    EXPECT_GE(outer.left, 0);
    EXPECT_GE(outer.top, 0);
    EXPECT_LE(outer.right, 640);
    EXPECT_LE(outer.bottom, 240);
    EXPECT_LE(std::abs((640 - outer.right) - outer.left), 1) << "centred across the screen";

    QWidget* client = WidgetOf(dialog);
    ASSERT_NE(client, nullptr);
    RECT inside{};
    GetClientRect(dialog, &inside);
    QRect area(QPoint(0, 0), QSize(inside.right, inside.bottom));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        QWidget* widget = WidgetOf(child);
        if (widget == nullptr || !widget->isVisible())
            continue;
        QRect at(widget->mapTo(client, QPoint(0, 0)), widget->size());
        WCHAR text[80] = {};
        GetWindowTextW(child, text, 80);
        std::string what = "control " + std::to_string(GetDlgCtrlID(child)) + " \"" +
                           WideToUtf8(WideView(text, 80)) + "\" at " + std::to_string(at.x()) +
                           "," + std::to_string(at.y()) + " " + std::to_string(at.width()) + "x" +
                           std::to_string(at.height());
        EXPECT_TRUE(area.contains(at)) << what;
        std::string why;
        EXPECT_TRUE(ShowsWholeText(widget, why)) << what << ": " << why;
        bool pushOrGroup = gui::GetPeerKind(child) == gui::PeerKind::PushButton ||
                           gui::GetPeerKind(child) == gui::PeerKind::GroupBox;
        if (pushOrGroup) {
            auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
            ASSERT_NE(FontDescription(font), nullptr) << what;
            EXPECT_EQ(FontDescription(font)->lfWeight, FW_BOLD) << what;
        }
    }
    DestroyWindow(dialog);
}

class KeyboardWindowQt : public BrowserQt {
protected:
    const char* ScreenSize() const override { return "640x240"; }
    testing_support::Edition Edition() const override { return testing_support::Edition::Keyboard; }
};

TEST_F(KeyboardWindowQt, AToolbarButtonShowsItsTipWhenThePointerRestsOnIt) {
    Start();
    HWND strip = GetDlgItem(main(), res::IDC_COMMAND_BANDS);
    HWND toolbar = CommandBands_GetCommandBar(strip, 1);
    QWidget* widget = WidgetOf(toolbar);
    ASSERT_NE(widget, nullptr);
    auto middle = [&](int position) {
        RECT r{};
        SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(position),
                     reinterpret_cast<LPARAM>(&r));
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    // Position 1 is Delete, after the first separator.
    QHelpEvent hover(QEvent::ToolTip, middle(1), widget->mapToGlobal(middle(1)));
    QApplication::sendEvent(widget, &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Delete Database (Ctrl+D)"));
    QHelpEvent onSeparator(QEvent::ToolTip, middle(0), widget->mapToGlobal(middle(0)));
    QApplication::sendEvent(widget, &onSeparator);
    QTest::qWait(600);
    EXPECT_FALSE(QToolTip::isVisible());
}

std::vector<int>& Commands() {
    static std::vector<int> commands;
    return commands;
}

BOOL RecordCommands(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        Commands().push_back(LOWORD(static_cast<DWORD>(wParam)));
        return TRUE;
    }
    return Framed(dialog, message, wParam, lParam);
}

TEST_F(KeyboardWindowQt, ADialogConfirmedWithTheTitleBarOkHasAnOkButtonToClick) {
    appcore::App().settings = std::make_unique<appcore::Settings>();
    HWND dialog = CreateDialogParamW(appcore::App().instance, MAKEINTRESOURCE(res::IDD_EXPORT),
                                     nullptr, &RecordCommands, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    Pump();
    Commands().clear();
    QWidget* ok = WidgetOf(GetDlgItem(dialog, IDOK));
    QWidget* cancel = WidgetOf(GetDlgItem(dialog, IDCANCEL));
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(ok->isVisible());
    EXPECT_EQ(gui::GetPeerKind(GetDlgItem(dialog, IDOK)), gui::PeerKind::PushButton);
    QTest::mouseClick(ok, Qt::LeftButton);
    Pump();
    QTest::mouseClick(cancel, Qt::LeftButton);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<int>{IDOK, IDCANCEL}));
    DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, KeyboardDialogLayoutQt,
                         ::testing::ValuesIn(OpenedTemplates()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace browser_qt

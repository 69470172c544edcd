#pragma once
// A headless window system for one test: a scripted user whose failures are
// collected (a test that expects none checks `failures`), and a resource
// module with a dialog, menus, a menu bar and accelerators of its own.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Backend.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/ScriptedUser.h"

namespace gui_test {

using namespace ce;

inline constexpr UINT kDialog = 100;
// Confirmed with the title bar's OK: a check box and no buttons of its own.
inline constexpr UINT kCaptionOkDialog = 101;
inline constexpr int kEdit = 1001;
inline constexpr int kCheck = 1002;
inline constexpr int kRadioA = 1003;
inline constexpr int kRadioB = 1004;
inline constexpr int kMultiLine = 1006;
inline constexpr UINT kMenu = 200;
inline constexpr UINT kAccelerators = 300;
inline constexpr UINT kMenuBar = 400;
inline constexpr UINT kOpen = 40001;
inline constexpr UINT kDelete = 40002;
inline constexpr UINT kLarge = 40010;
inline constexpr UINT kDetails = 40011;
inline constexpr UINT kList = 40012;

class GuiTest : public ::testing::Test {
protected:
    GuiTest();
    ~GuiTest() override;

    HINSTANCE instance() const { return &module_; }
    gui::ScriptedUser& user() { return *user_; }
    gui::HeadlessBackend& backend() { return *backend_; }
    // A visible top-level window of a class whose procedure records messages.
    HWND MakeFrame();
    // A visible top-level window of a class of the test's own, registered
    // with `procedure` when it is first made.
    HWND MakeWindow(const char16_t* className, WNDPROC procedure);
    // A report-view list view child of `parent` with three columns.
    HWND MakeList(HWND parent, DWORD style = 0);
    // Appends `count` items, each with the text "row".
    static void AddRows(HWND list, int count);

    std::vector<std::string> failures;

private:
    ResourceModule module_;
    std::shared_ptr<gui::ScriptedUser> user_;
    gui::HeadlessBackend* backend_ = nullptr;
    std::unique_ptr<gui::ScopedBackend> scope_;
};

// Messages a recording window procedure saw, for all such windows.
struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen>& SeenMessages();
// Whether the recording procedure refuses WM_CLOSE.
extern bool refuseClose;
// Notifications (WM_NOTIFY codes with their item) the recording procedure saw.
struct Notice {
    UINT code;
    int item;
    int subItem;
    UINT newState;
    UINT oldState;
    std::u16string text;
    bool hasText;
};
std::vector<Notice>& Notices();
// What the recording procedure returns for LVN_BEGINLABELEDIT / LVN_ENDLABELEDIT.
extern LRESULT labelEditAnswer;

int CountSeen(HWND hwnd, UINT message);

}  // namespace gui_test

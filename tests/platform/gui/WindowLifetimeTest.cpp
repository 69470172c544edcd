// When a destroyed window's memory goes: a window destroyed while a
// procedure of its own runs is no window any more (IsWindow is false and
// every message to it is refused), but what the running procedures hold of
// it stays good until the outermost of them returns; a window with no
// procedure running is freed at once. Under the ASan build a free that came
// too early shows as a use after free here.

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/gui/windowing/WindowSystem.h"
#include "tests/platform/gui/GuiFixture.h"

namespace gui_test {
namespace {

constexpr UINT kDestroySelf = WM_APP;
constexpr UINT kNestOnce = WM_APP + 1;
constexpr UINT kNestTwice = WM_APP + 2;
constexpr UINT kLate = WM_APP + 3;

struct Observed {
    int lateMessages = 0;
    int destroyMessages = 0;
    std::vector<std::size_t> lingering;  // LingeringWindowCount after each step
    bool refused = false;
};
Observed observed;

// Reads the window's own record the way the window system's code does after
// a procedure returns to it.
std::u16string TextThrough(const gui::Window* record) {
    return record->text;
}

LRESULT Nesting(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kDestroySelf: {
            const gui::Window* record = gui::Peek(hwnd);
            DestroyWindow(hwnd);
            observed.lingering.push_back(gui::LingeringWindowCount());
            bool refused = !IsWindow(hwnd) && SendMessageW(hwnd, kLate, 0, 0) == 0 &&
                           !PostMessageW(hwnd, kLate, 0, 0) && GetWindowLongW(hwnd, GWL_ID) == 0 &&
                           GetLastError() == ERROR_INVALID_WINDOW_HANDLE;
            observed.refused = refused && record->destroyed && TextThrough(record) == u"nesting";
            return 0;
        }
        case kNestOnce: {
            const gui::Window* record = gui::Peek(hwnd);
            SendMessageW(hwnd, kNestTwice, 0, 0);
            observed.lingering.push_back(gui::LingeringWindowCount());
            observed.refused = !IsWindow(hwnd) && TextThrough(record) == u"nesting";
            return 0;
        }
        case kNestTwice:
            SendMessageW(hwnd, kDestroySelf, 0, 0);
            observed.lingering.push_back(gui::LingeringWindowCount());
            return 0;
        case kLate:
            ++observed.lateMessages;
            return 0;
        case WM_DESTROY:
        case WM_NCDESTROY:
            ++observed.destroyMessages;
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

class WindowLifetimeTest : public GuiTest {
protected:
    HWND MakeNesting() {
        HWND hwnd = MakeWindow(u"Nesting", Nesting);
        SetWindowTextW(hwnd, u"nesting");
        observed = {};
        return hwnd;
    }
};

TEST_F(WindowLifetimeTest, AWindowDestroyedInItsOwnProcedureIsGoneAtOnceAndFreedWhenItReturns) {
    HWND hwnd = MakeNesting();
    SendMessageW(hwnd, kDestroySelf, 0, 0);
    EXPECT_TRUE(observed.refused);
    EXPECT_EQ(observed.lingering, (std::vector<std::size_t>{1}));
    EXPECT_EQ(gui::LingeringWindowCount(), 0u);
    EXPECT_EQ(observed.lateMessages, 0);
    EXPECT_EQ(observed.destroyMessages, 2);  // WM_DESTROY and WM_NCDESTROY, nested in the procedure
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowLifetimeTest, NestedProceduresKeepTheWindowUntilTheOutermostReturns) {
    HWND hwnd = MakeNesting();
    SendMessageW(hwnd, kNestOnce, 0, 0);
    // Destroyed three procedures deep; still there two and one deep.
    EXPECT_EQ(observed.lingering, (std::vector<std::size_t>{1, 1, 1}));
    EXPECT_TRUE(observed.refused);
    EXPECT_EQ(gui::LingeringWindowCount(), 0u);
    EXPECT_EQ(observed.lateMessages, 0);
}

TEST_F(WindowLifetimeTest, AQueuedMessageForAWindowThatDestroysItselfIsNeverDelivered) {
    HWND hwnd = MakeNesting();
    PostMessageW(hwnd, kDestroySelf, 0, 0);
    PostMessageW(hwnd, kLate, 0, 0);
    gui::input::PumpMessages();
    EXPECT_EQ(observed.lingering, (std::vector<std::size_t>{1}));
    EXPECT_EQ(gui::LingeringWindowCount(), 0u);
    EXPECT_EQ(observed.lateMessages, 0);
}

HWND otherWindow = nullptr;

LRESULT DestroysOther(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kDestroySelf) {
        DestroyWindow(otherWindow);
        observed.lingering.push_back(gui::LingeringWindowCount());
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowLifetimeTest, AWindowWithNoProcedureRunningIsFreedAtOnce) {
    HWND hwnd = MakeWindow(u"DestroysOther", DestroysOther);
    otherWindow = MakeFrame();
    observed = {};
    SendMessageW(hwnd, kDestroySelf, 0, 0);
    EXPECT_EQ(observed.lingering, (std::vector<std::size_t>{0}));
    EXPECT_FALSE(IsWindow(otherWindow));
    EXPECT_TRUE(IsWindow(hwnd));
}

LRESULT DestroysParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kDestroySelf) {
        DestroyWindow(GetParent(hwnd));
        // The child runs, so it stays; the parent does not, so it is freed.
        observed.lingering.push_back(gui::LingeringWindowCount());
        observed.refused = !IsWindow(hwnd) && GetParent(hwnd) == nullptr;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(WindowLifetimeTest, AChildThatDestroysItsParentOutlivesItUntilItsProcedureReturns) {
    HWND parent = MakeFrame();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DestroysParent;
    wc.lpszClassName = u"DestroysParent";
    WNDCLASSW existing;
    if (!GetClassInfoW(nullptr, wc.lpszClassName, &existing))
        RegisterClassW(&wc);
    HWND child = CreateWindowExW(0, u"DestroysParent", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                 parent, nullptr, instance(), nullptr);
    observed = {};
    SendMessageW(child, kDestroySelf, 0, 0);
    EXPECT_EQ(observed.lingering, (std::vector<std::size_t>{1}));
    EXPECT_TRUE(observed.refused);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_EQ(gui::LingeringWindowCount(), 0u);
}

WNDPROC listProcedure = nullptr;

// Destroys the list it subclasses, then passes the message on as a subclass
// does: the list's own procedure gets a handle that names nothing.
LRESULT DestroyingSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        DestroyWindow(hwnd);
        observed.lingering.push_back(gui::LingeringWindowCount());
    }
    return CallWindowProcW(listProcedure, hwnd, message, wParam, lParam);
}

TEST_F(WindowLifetimeTest, AListDestroyedByItsSubclassRefusesTheMessagePassedOn) {
    HWND frame = MakeFrame();
    HWND list = MakeList(frame);
    AddRows(list, 1);
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyingSubclass)));
    observed = {};
    Notices().clear();
    SetFocus(list);
    gui::input::PressKey(VK_DOWN);
    EXPECT_EQ(observed.lingering, (std::vector<std::size_t>{1}));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_TRUE(Notices().empty());  // the list never saw the key
    EXPECT_EQ(gui::LingeringWindowCount(), 0u);
}

}  // namespace
}  // namespace gui_test

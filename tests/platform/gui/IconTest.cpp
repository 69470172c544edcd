// Icons from the module's icon resources, and the two icons a window keeps.

#include <gtest/gtest.h>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/windowing/WindowSystem.h"
#include "tests/platform/gui/GuiFixture.h"

namespace gui_test {
namespace {

constexpr UINT kProgramIcon = 101;

using IconTest = GuiTest;

SIZE SizeOf(HICON icon) {
    SIZE size{};
    EXPECT_TRUE(IconSize(icon, &size));
    return size;
}

HICON Load(HINSTANCE instance, int pixels) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCE(kProgramIcon), IMAGE_ICON, pixels, pixels, 0));
}

TEST_F(IconTest, AnIconGivesThePictureOfTheAskedSizeOrTheNearestLargerOne) {
    EXPECT_EQ(SizeOf(Load(instance(), 16)).cx, 16);
    EXPECT_EQ(SizeOf(Load(instance(), 16)).cy, 16);
    EXPECT_EQ(SizeOf(Load(instance(), 20)).cx, 24);
    EXPECT_EQ(SizeOf(Load(instance(), 48)).cx, 48);
    // Larger than every picture: the largest; no size: the system's.
    EXPECT_EQ(SizeOf(Load(instance(), 1000)).cx, 256);
    EXPECT_EQ(SizeOf(Load(instance(), 0)).cx, 32);
    EXPECT_EQ(SizeOf(LoadIconW(instance(), MAKEINTRESOURCE(kProgramIcon))).cx, 32);
    // The same picture is the same handle, and it outlives DestroyIcon.
    HICON icon = Load(instance(), 16);
    EXPECT_EQ(Load(instance(), 16), icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(SizeOf(icon).cx, 16);
}

TEST_F(IconTest, WhatIsNoIconLoadsNothing) {
    SetLastError(0);
    EXPECT_EQ(LoadIconW(instance(), MAKEINTRESOURCE(9999)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCE(kProgramIcon)), nullptr);
    EXPECT_EQ(LoadImageW(instance(), MAKEINTRESOURCE(kProgramIcon), IMAGE_BITMAP, 16, 16, 0),
              nullptr);
    SIZE size{};
    EXPECT_FALSE(IconSize(nullptr, &size));
    EXPECT_FALSE(IconSize(reinterpret_cast<HICON>(std::uintptr_t{0x7FFFFFF0}), &size));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(std::uintptr_t{3})));

    // A picture that is no PNG is refused, not shown.
    static const BYTE garbage[40] = {0x89, 'P', 'N', 'G'};
    ResourceModule module;
    module.AddIcon({7, 16, garbage});
    EXPECT_EQ(LoadIconW(&module, MAKEINTRESOURCE(7)), nullptr);
}

LRESULT PlainProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(IconTest, AWindowShowsItsClassIconUntilItIsGivenItsOwn) {
    HICON big = LoadIconW(instance(), MAKEINTRESOURCE(kProgramIcon));
    HICON small = Load(instance(), 16);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PlainProcedure;
    windowClass.hIcon = big;
    windowClass.lpszClassName = u"IconTestClass";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    WNDCLASSW read{};
    ASSERT_TRUE(GetClassInfoW(instance(), u"IconTestClass", &read));
    EXPECT_EQ(read.hIcon, big);

    HWND window = CreateWindowExW(0, u"IconTestClass", u"Icons", WS_VISIBLE, 0, 0, 100, 100,
                                  nullptr, nullptr, instance(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(gui::WindowIcon(window, ICON_SMALL), big);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small)), 0);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(small));
    EXPECT_EQ(gui::WindowIcon(window, ICON_SMALL), small);
    // Without a big icon of its own, the window shows its class's large.
    EXPECT_EQ(gui::WindowIcon(window, ICON_BIG), big);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    // Setting again answers with the icon it replaces.
    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(big)),
              reinterpret_cast<LRESULT>(small));
    DestroyWindow(window);
    UnregisterClassW(u"IconTestClass", instance());
}

}  // namespace
}  // namespace gui_test

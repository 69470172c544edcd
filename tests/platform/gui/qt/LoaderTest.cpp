// Loading the Qt backend module as the programs do: found beside the
// program, falling back to the console host when it cannot be used. This
// program links the window system whole and exports it, and no Qt.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gui/BackendLoader.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/HeadlessBackend.h"

namespace {

using namespace ce;

class DisplayVariables : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            if (const char* value = std::getenv(name))
                saved_.emplace_back(name, value);
            ::unsetenv(name);
        }
    }
    void TearDown() override {
        gui::InstallBackend(nullptr);
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ::unsetenv(name);
        for (const auto& [name, value] : saved_)
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(DisplayVariables, WithoutADisplayTheConsoleHostStaysQuietly) {
    std::string why;
    EXPECT_FALSE(gui::DisplayAvailable(&why));
    testing::internal::CaptureStderr();
    EXPECT_STREQ(gui::InstallInteractiveBackend({}), "headless");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // An X display whose socket is not there is no display either.
    ::setenv("DISPLAY", ":757", 1);
    EXPECT_FALSE(gui::DisplayAvailable(&why));
    EXPECT_NE(why.find(":757"), std::string::npos);
}

TEST_F(DisplayVariables, AMissingModuleFallsBackAndSaysWhy) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string why;
    EXPECT_EQ(gui::LoadQtBackend("/nonexistent/tessaly-qt.so", {}, &why), nullptr);
    EXPECT_NE(why.find("/nonexistent/tessaly-qt.so"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_STREQ(gui::InstallInteractiveBackend({}, "/nonexistent/tessaly-qt.so"), "headless");
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("tessaly-qt.so"), std::string::npos);
    EXPECT_NE(gui::CurrentHeadless(), nullptr);
}

TEST_F(DisplayVariables, TheModuleBesideTheProgramShowsWindows) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("TESSALY_SCREEN", "320x240", 1);
    ASSERT_TRUE(std::filesystem::exists(gui::QtModulePath())) << gui::QtModulePath();
    gui::InteractiveOptions options;
    options.shellStrip = false;
    EXPECT_STREQ(gui::InstallInteractiveBackend(options), "qt");
    ::unsetenv("TESSALY_SCREEN");
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 240);
    HWND window = CreateWindowExW(0, u"Dialog", u"Loaded", WS_VISIBLE, 10, 10, 100, 80, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    // Text is measured by the toolkit: a wide letter is wider than a narrow one.
    LOGFONTW font{};
    font.lfHeight = -13;
    SIZE wide = gui::CurrentBackend().MeasureText(font, u"WWWW");
    SIZE narrow = gui::CurrentBackend().MeasureText(font, u"iiii");
    EXPECT_GT(wide.cx, narrow.cx);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_TRUE(DestroyWindow(window));
}

}  // namespace

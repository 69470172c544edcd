// A top-level window of another process on the same device is found by its
// class and brought forward on request; another device does not see it.

#include <gtest/gtest.h>

#include "platform/device/DeviceDirectory.h"
#include "platform/gui/WinUser.h"
#include "tests/platform/gui/GuiFixture.h"
#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace gui_test {
namespace {

using testing_support::BackgroundProcess;
using testing_support::BuiltProgram;
using SingleInstanceTest = GuiTest;

TEST_F(SingleInstanceTest, AWindowOfAnotherProcessOnTheSameDeviceIsFoundAndRaised) {
    testing_support::TempDevice device;
    testing_support::TempDirectory otherDevice;
    BackgroundProcess peer(BuiltProgram("gui_peer"), {}, {device.EnvAssignment()});
    ASSERT_TRUE(peer.WaitForOutput("ready"));

    ce::device::SetDeviceDirectory(otherDevice.path());
    EXPECT_EQ(FindWindowW(u"PeerMainClass", nullptr), nullptr);
    ce::device::SetDeviceDirectory(device.path());
    EXPECT_EQ(FindWindowW(u"NoSuchClass", nullptr), nullptr);
    HWND found = FindWindowW(u"peermainclass", nullptr);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(IsWindow(found));
    EXPECT_TRUE(SetForegroundWindow(found));
    EXPECT_TRUE(peer.WaitForOutput("raised"));
    EXPECT_EQ(peer.Wait(), 0);
    // Gone with its process.
    EXPECT_FALSE(IsWindow(found));
    EXPECT_FALSE(SetForegroundWindow(found));
    EXPECT_EQ(FindWindowW(u"PeerMainClass", nullptr), nullptr);
}

TEST_F(SingleInstanceTest, ALocalWindowIsFoundFirstAndOnlyOneProcessAnnouncesAClass) {
    HWND frame = MakeFrame();
    EXPECT_EQ(FindWindowW(u"RecorderClass", nullptr), frame);
    EXPECT_EQ(FindWindowW(u"RecorderClass", u"Frame"), frame);
    EXPECT_EQ(FindWindowW(u"RecorderClass", u"Other title"), nullptr);
    DestroyWindow(frame);
    EXPECT_EQ(FindWindowW(u"RecorderClass", nullptr), nullptr);
}

}  // namespace
}  // namespace gui_test

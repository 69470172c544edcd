// Starting the interactive program while it runs: a second start on the
// same device brings the first forward and ends; on another device it runs
// on its own. Real processes, on the headless backend.

#include <gtest/gtest.h>

#include <csignal>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BackgroundProcess;
using testing_support::BuiltProgram;
using testing_support::RunProgram;

constexpr const char* kHeadless = "TESSALY_HEADLESS_INTERACTIVE=1";

std::string DeviceOf(const testing_support::TempDirectory& directory, const char* name) {
    return "TESSALY_DEVICE=" + (directory.path() / name).string();
}

class SingleInstanceTest : public ::testing::TestWithParam<const char*> {
protected:
    testing_support::TempDirectory directory_;
};

TEST_P(SingleInstanceTest, ASecondStartOnTheSameDeviceBringsTheFirstForwardAndEnds) {
    std::string device = DeviceOf(directory_, "device");
    BackgroundProcess first(BuiltProgram(GetParam()), {}, {device, kHeadless});
    ASSERT_TRUE(first.WaitForOutput("ready\n")) << first.output();

    auto second = RunProgram(BuiltProgram(GetParam()), {}, {device, kHeadless}, {}, 30);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out.find("ready"), std::string::npos);
    EXPECT_TRUE(first.WaitForOutput("brought forward\n")) << first.output();

    // On another device the program starts on its own.
    BackgroundProcess other(BuiltProgram(GetParam()), {},
                            {DeviceOf(directory_, "other"), kHeadless});
    EXPECT_TRUE(other.WaitForOutput("ready\n")) << other.output();
    other.Signal(SIGTERM);
    EXPECT_EQ(other.Wait(), 128 + SIGTERM);
    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 128 + SIGTERM);
}

TEST_P(SingleInstanceTest, WithoutADisplayAnInteractiveStartSaysHowToRunAndFails) {
    auto r = RunProgram(BuiltProgram(GetParam()), {}, {DeviceOf(directory_, "device")}, {}, 30);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("xvfb-run"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("/B file.bkp"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(BothEditions, SingleInstanceTest,
                         ::testing::Values("tessaly", "tessbook"));

}  // namespace

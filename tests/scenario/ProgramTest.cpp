// The two programs started as their users start them.

#include <gtest/gtest.h>
#include <fstream>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::RunProgram;

class ProgramTest : public ::testing::TestWithParam<const char*> {
protected:
    testing_support::TempDirectory directory_;
};

TEST_P(ProgramTest, AnInvalidCommandLineSaysSoAndEndsWithStatus255) {
    std::string device = "TESSALY_DEVICE=" + (directory_.path() / "device").string();
    for (std::vector<std::string> args :
         {std::vector<std::string>{"hello"},
          std::vector<std::string>{"/A", "one.abk", "/A", "two.abk"},
          std::vector<std::string>{"/B"}, std::vector<std::string>{"-"}}) {
        auto r = RunProgram(BuiltProgram(GetParam()), args, {device});
        EXPECT_EQ(r.exitCode, 255) << args[0];
        EXPECT_NE(r.err.find("Tessaly: Invalid command line parameters."), std::string::npos);
        EXPECT_NE(r.err.find(std::string("usage: ") + GetParam()), std::string::npos);
    }
    // A new device directory was made with the device's folders.
    EXPECT_TRUE(std::filesystem::is_directory(directory_.path() / "device/files/My Documents"));
    EXPECT_TRUE(std::filesystem::is_directory(directory_.path() / "device/files/windows"));
}

TEST_P(ProgramTest, ABrokenDeviceGivesAClearMessageAndAFailingStatus) {
    std::filesystem::create_directories(directory_.path() / "device");
    {
        std::ofstream bad(directory_.path() / "device/objectstore.db");
        bad << "this is not a volume of ours, it is a text file with some words in it";
    }
    auto r = RunProgram(BuiltProgram(GetParam()), {"/B", "x.bkp"},
                        {"TESSALY_DEVICE=" + (directory_.path() / "device").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("objectstore.db"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not a Tessaly volume"), std::string::npos) << r.err;

    // A device directory that cannot be created: its parent is a file.
    std::ofstream(directory_.path() / "plain-file") << "x";
    r = RunProgram(BuiltProgram(GetParam()), {"/B", "x.bkp"},
                   {"TESSALY_DEVICE=" + (directory_.path() / "plain-file/device").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot create the device directory"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(BothEditions, ProgramTest, ::testing::Values("tessaly", "tessbook"));

}  // namespace

// Where the programs find their Qt module and their help: beside them in the
// build tree, at fixed places relative to their folder once installed.

#include "platform/gui/InstalledPaths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TempDevice.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;
using namespace ce;

class InstalledPathsTest : public ::testing::Test {
protected:
    InstalledPathsTest() : root_(fs::path(device_.path()) / "tree"), bin_(root_ / "bin") {
        fs::create_directories(bin_);
    }
    static void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    fs::path InstalledModule() const {
        return (bin_ / TESSALY_MODULE_DIR_FROM_BIN / "tessaly-qt.so").lexically_normal();
    }
    fs::path InstalledHelp() const { return (bin_ / TESSALY_HELP_DIR_FROM_BIN).lexically_normal(); }

    testing_support::TempDevice device_;
    fs::path root_;
    fs::path bin_;
};

TEST_F(InstalledPathsTest, TheInstalledTreeKeepsTheModuleAndTheHelpOutsideTheProgramsFolder) {
    EXPECT_EQ(InstalledModule().string().rfind(root_.string() + "/", 0), 0u) << InstalledModule();
    EXPECT_NE(InstalledModule().parent_path(), bin_);
    EXPECT_EQ(InstalledHelp().string().rfind(root_.string() + "/", 0), 0u) << InstalledHelp();
    EXPECT_NE(InstalledHelp(), bin_);
}

TEST_F(InstalledPathsTest, TheModuleBesideTheProgramComesFirstThenTheInstalledOne) {
    // Neither: the one beside the program, so that a failure names it.
    EXPECT_EQ(gui::QtModuleFor(bin_), bin_ / "tessaly-qt.so");
    Touch(InstalledModule());
    EXPECT_EQ(gui::QtModuleFor(bin_), InstalledModule());
    Touch(bin_ / "tessaly-qt.so");
    EXPECT_EQ(gui::QtModuleFor(bin_), bin_ / "tessaly-qt.so");
    // A folder of that name is no module.
    fs::path other = root_ / "other" / "bin";
    fs::create_directories(other / "tessaly-qt.so");
    EXPECT_EQ(gui::QtModuleFor(other), other / "tessaly-qt.so");
    EXPECT_EQ(gui::QtModuleFor(fs::path()), fs::path("tessaly-qt.so"));
}

TEST_F(InstalledPathsTest, TheInstalledHelpIsUsedOnlyWhenItHoldsTheHelpFile) {
    fs::path source = gui::HelpFolderFor(fs::path());
    EXPECT_TRUE(fs::exists(source / "tessaly.htm")) << source;
    EXPECT_EQ(gui::HelpFolderFor(bin_), source);
    fs::create_directories(InstalledHelp());
    EXPECT_EQ(gui::HelpFolderFor(bin_), source);
    Touch(InstalledHelp() / "tessaly.htm");
    EXPECT_EQ(gui::HelpFolderFor(bin_), InstalledHelp());
}

TEST_F(InstalledPathsTest, TheRunningProgramsFolderIsKnown) {
    fs::path folder = gui::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::is_directory(folder));
}

}  // namespace
}  // namespace gui_test

// Registry backup and restore as a script runs them: devicectl on a demo
// device and on a fresh one, compared key by key with devicectl reg list.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::ProcessResult;
using testing_support::RunProgram;
using testing_support::TempDevice;

class RegistryRoundTrip : public ::testing::Test {
protected:
    static ProcessResult Devicectl(const TempDevice& device, std::vector<std::string> args,
                                   const std::string& input = {}) {
        return RunProgram(BuiltProgram("devicectl"), args, {device.EnvAssignment()}, input);
    }

    // Every key below `key` with its values, as "reg list" shows them. A
    // restore sets a key's values from the last to the first, so they are
    // compared in name order.
    static void ListTree(const TempDevice& device, const std::string& key,
                         std::map<std::string, std::set<std::string>>& tree) {
        ProcessResult listed = Devicectl(device, {"reg", "list", key});
        ASSERT_EQ(listed.exitCode, 0) << listed.err;
        std::istringstream lines(listed.out);
        std::set<std::string> values;
        for (std::string line; std::getline(lines, line);) {
            if (line.size() > 2 && line.front() == '[' && line.back() == ']')
                ListTree(device, key + "\\" + line.substr(1, line.size() - 2), tree);
            else
                values.insert(line);
        }
        tree[key] = values;
    }
    static std::map<std::string, std::set<std::string>> Tree(const TempDevice& device) {
        std::map<std::string, std::set<std::string>> tree;
        for (const char* root : {"HKCR", "HKCU", "HKLM"})
            ListTree(device, root, tree);
        return tree;
    }

    std::string File(const char* name) const { return (files_.path() / name).string(); }

    testing_support::TempDirectory files_;
    TempDevice demo_;
    TempDevice fresh_;
};

TEST_F(RegistryRoundTrip, ARestoreOnAFreshDeviceGivesTheSameRegistry) {
    ASSERT_EQ(Devicectl(demo_, {"seed-demo"}).exitCode, 0);
    ProcessResult backup = Devicectl(demo_, {"reg", "backup", File("x.rbk")});
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    ProcessResult listed = Devicectl(demo_, {"rbk", "list", File("x.rbk")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("HKEY_CURRENT_USER\\Software\\Demo\\Recent"), std::string::npos);

    // Without --yes nobody agrees to overwriting, and nothing changes.
    ProcessResult refused = Devicectl(fresh_, {"reg", "restore", File("x.rbk")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("registry database will be overwritten"), std::string::npos);
    ProcessResult restore = Devicectl(fresh_, {"reg", "restore", File("x.rbk"), "--yes"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_NE(restore.err.find("Tessaly: You must soft reset"), std::string::npos);
    EXPECT_EQ(Tree(fresh_), Tree(demo_));
}

TEST_F(RegistryRoundTrip, RootsAndAPasswordComeFromTheCommandLine) {
    ASSERT_EQ(Devicectl(demo_, {"seed-demo"}).exitCode, 0);
    ProcessResult backup = Devicectl(
        demo_, {"reg", "backup", File("cu.rbk"), "--root", "HKCU", "--password"}, "abcd\nabcd\n");
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    ProcessResult listed = Devicectl(demo_, {"rbk", "list", File("cu.rbk")});
    EXPECT_NE(listed.out.find("roots HKEY_CURRENT_USER, password-protected"), std::string::npos)
        << listed.out;
    EXPECT_EQ(listed.out.find("HKEY_LOCAL_MACHINE\\"), std::string::npos);

    ProcessResult wrong = Devicectl(fresh_, {"reg", "restore", File("cu.rbk"), "--yes"}, "nope\n");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_NE(wrong.err.find("The password is incorrect!"), std::string::npos);
    ProcessResult restore =
        Devicectl(fresh_, {"reg", "restore", File("cu.rbk"), "--yes"}, "abcd\n");
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    std::map<std::string, std::set<std::string>> demo, fresh;
    ListTree(demo_, "HKCU", demo);
    ListTree(fresh_, "HKCU", fresh);
    EXPECT_EQ(fresh, demo);

    ProcessResult unknown = Devicectl(demo_, {"reg", "backup", File("u.rbk"), "--root", "HKXX"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("unknown registry root"), std::string::npos);
}

}  // namespace

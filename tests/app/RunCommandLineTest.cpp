#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "appcore/Application.h"
#include "platform/core/ErrorCodes.h"
#include "platform/registry/Registry.h"
#include "resources/StringIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

bool SettingsKeyExists() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

class RunCommandLineTest : public ::testing::Test {
protected:
    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

TEST_F(RunCommandLineTest, WordsWithoutSwitchesAreInvalidAndWriteNothing) {
    EXPECT_EQ(app::RunCommandLine(u"hello"), app::kExitInvalid);
    EXPECT_EQ(session_.user().ShownIds(), std::vector<UINT>{res::IDS_INVALID_COMMAND_LINE});
    EXPECT_EQ(session_.user().shown()[0].text, u"Invalid command line parameters.");
    EXPECT_EQ(appcore::App().settings, nullptr);
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(RunCommandLineTest, AValidRunEndsWithTheSettingsWrittenBack) {
    EXPECT_EQ(app::RunCommandLine(u"/B \\all.bkp /P"), app::kExitDone);
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_EQ(appcore::App().settings, nullptr);
}

TEST_F(RunCommandLineTest, TheSilentSwitchShowsNothing) {
    EXPECT_EQ(app::RunCommandLine(u"/B \\all.bkp /D /I /P"), app::kExitDone);
    EXPECT_TRUE(session_.user().shown().empty());
    // A missing archive fails without a word.
    EXPECT_EQ(app::RunCommandLine(u"/R \\missing.bkp /D /I /P"), app::kExitFailed);
    EXPECT_TRUE(session_.user().shown().empty());
}

}  // namespace

// Asking for a file name with a filter from the string table, and creating
// a file with the overwrite question.

#include "ui/FileDialogs.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/files/Files.h"
#include "platform/gui/CommDlg.h"
#include "resources/StringIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

class FileDialogsTest : public ::testing::Test {
protected:
    FileDialogsTest() { EXPECT_TRUE(device::EnsureDevice(nullptr)); }
    gui::ScriptedUser& user() { return session_.user(); }
    std::string Contents(const char* devicePath) {
        std::ifstream in(device::HostPath(Utf8ToWide(devicePath)));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

TEST_F(FileDialogsTest, TheFilterAndTheExtensionComeFromTheStringTable) {
    WCHAR path[MAX_PATH] = u"\\My Documents\\old.bkp";
    user().AnswerFile(u"\\My Documents\\all");
    EXPECT_TRUE(ui::AskFileName(nullptr, path, false, res::IDS_FILTER_BACKUP, u"*.bkp"));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\all.bkp");
    ASSERT_EQ(user().fileDialogs().size(), 1u);
    const gui::FileDialogRequest& request = user().fileDialogs()[0];
    EXPECT_TRUE(request.save);
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].first, u"Backup Files (*.bkp)");
    EXPECT_EQ(request.filters[0].second, u"*.bkp");
    EXPECT_EQ(request.initialName, u".bkp");
    EXPECT_EQ(request.defaultExtension, u"bkp");
    EXPECT_EQ(request.initialDirectory, u"\\My Documents");
    EXPECT_NE(request.flags & OFN_OVERWRITEPROMPT, 0u);

    // Cancel leaves the caller's path as it was.
    user().AnswerFile(std::nullopt);
    EXPECT_FALSE(ui::AskFileName(nullptr, path, true, res::IDS_FILTER_SCRIPT, u"*.abk"));
    EXPECT_EQ(std::u16string(path), u"\\My Documents\\all.bkp");
    EXPECT_NE(user().fileDialogs()[1].flags & OFN_FILEMUSTEXIST, 0u);

    // A path without a folder leaves the dialog in its own starting folder.
    WCHAR bare[MAX_PATH] = u"script";
    user().AnswerFile(u"\\My Documents\\nightly");
    EXPECT_TRUE(ui::AskFileName(nullptr, bare, false, res::IDS_FILTER_SCRIPT, u"*.abk"));
    EXPECT_EQ(std::u16string(bare), u"\\My Documents\\nightly.abk");
    EXPECT_EQ(user().fileDialogs()[2].initialDirectory, u"");
}

TEST_F(FileDialogsTest, AnExistingFileIsReplacedOnlyAfterYes) {
    std::ofstream(device::HostPath(u"\\My Documents\\kept.bkp")) << "old contents";
    user().Answer(res::IDS_FILE_EXISTS, IDNO);
    EXPECT_EQ(ui::CreateFileAsking(nullptr, u"\\My Documents\\kept.bkp"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Contents("\\My Documents\\kept.bkp"), "old contents");
    EXPECT_NE(user().shown()[0].text.find(u"kept.bkp"), std::u16string::npos);

    user().Answer(res::IDS_FILE_EXISTS, IDYES);
    WCHAR used[MAX_PATH] = {};
    HANDLE file = ui::CreateFileAsking(nullptr, u"\\My Documents\\kept.bkp", used);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(Contents("\\My Documents\\kept.bkp"), "");
    EXPECT_EQ(std::u16string(used), u"\\My Documents\\kept.bkp");

    // A new file needs no question.
    file = ui::CreateFileAsking(nullptr, u"\\My Documents\\new.bkp");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(user().shown().size(), 2u);
}

TEST_F(FileDialogsTest, AFileThatCannotBeCreatedIsReportedWithItsName) {
    EXPECT_EQ(ui::CreateFileAsking(nullptr, u"\\No Such Folder\\x.bkp"), INVALID_HANDLE_VALUE);
    ASSERT_EQ(user().ShownIds(), (std::vector<UINT>{res::IDS_CANT_CREATE_BACKUP}));
    EXPECT_EQ(user().shown()[0].text,
              u"Couldn't create a new backup file \"\\No Such Folder\\x.bkp\".");
}

}  // namespace

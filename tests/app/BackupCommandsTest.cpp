// The Backup, Autobackup and Restore commands of the main window, as a
// person uses them: the Backup Options dialog, the file dialogs, the
// script a backup generates and the list refreshed after a restore.

#include <filesystem>
#include <fstream>
#include <iterator>

#include "backup/BackupArchive.h"
#include "backup/ScriptFile.h"
#include "platform/core/Text.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/testing/UserInput.h"
#include "resources/BackupIds.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/app/BrowserFixture.h"

namespace browser_test {
namespace {

class BackupCommandsTest : public BrowserTest {
protected:
    std::u16string Path(const char* name) const {
        return Utf8ToWide((device_.path() / name).string());
    }
    // The databases an archive holds, in order.
    std::vector<std::u16string> Archived(const char* name) {
        backup::BackupArchive archive;
        std::vector<std::u16string> names;
        if (!archive.OpenArchiveFile(Path(name).c_str()))
            return names;
        std::vector<backup::CatalogueEntry> rows;
        EXPECT_TRUE(archive.WalkCatalogue(rows));
        for (const auto& row : rows)
            names.push_back(row.header.info.szDbaseName);
        return names;
    }
    bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
};

TEST_F(BackupCommandsTest, WithNoRowSelectedEveryDatabaseIsBackedUpAndTheChoiceIsFixed) {
    MakeDatabase(u"alpha", 2);
    MakeDatabase(u"beta", 1);
    Start();
    Select({});
    user().OnDialog(res::IDD_BACKUP_OPTIONS, [this](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, res::IDC_BACKUP_ALL));
        EXPECT_FALSE(Enabled(dialog, res::IDC_BACKUP_ALL));
        EXPECT_FALSE(Enabled(dialog, res::IDC_BACKUP_SELECTED));
        EXPECT_TRUE(Checked(dialog, res::IDC_BACKUP_COMPRESS));
        EXPECT_FALSE(Enabled(dialog, res::IDC_BACKUP_SCRIPT_NAME));
        gui::input::PressDone(dialog);
    });
    user().AnswerFile(Path("all.bkp"));
    Choose(res::IDM_BACKUP);
    EXPECT_EQ(Archived("all.bkp"), (std::vector<std::u16string>{u"alpha", u"beta"}));
    EXPECT_TRUE(user().shown().empty()) << "a menu backup says nothing when it is done";
}

TEST_F(BackupCommandsTest, SelectedRowsGoIntoAnUncompressedArchiveWithItsScript) {
    MakeDatabase(u"alpha", 2);
    MakeDatabase(u"beta", 1);
    MakeDatabase(u"gamma", 1);
    Start();
    Select({0, 2});
    std::u16string script = Path("made.abk");
    user().OnDialog(res::IDD_BACKUP_OPTIONS, [&](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, res::IDC_BACKUP_SELECTED));
        gui::input::ClickDlgButton(dialog, res::IDC_BACKUP_COMPRESS);
        gui::input::ClickDlgButton(dialog, res::IDC_BACKUP_MAKE_SCRIPT);
        EXPECT_TRUE(Enabled(dialog, res::IDC_BACKUP_SCRIPT_NAME));
        SetDlgItemTextW(dialog, res::IDC_BACKUP_SCRIPT_NAME, script.c_str());
        gui::input::PressDone(dialog);
    });
    user().AnswerFile(Path("some.bkp"));
    Choose(res::IDM_BACKUP);
    EXPECT_EQ(Archived("some.bkp"), (std::vector<std::u16string>{u"alpha", u"gamma"}));
    std::ifstream in(device_.path() / "some.bkp", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 16u);
    EXPECT_EQ(bytes[12], 0) << "not compressed";

    // The script remembers the two databases; running it repeats the backup.
    EXPECT_EQ(std::u16string(appcore::App().settings->scriptName), script);
    ASSERT_TRUE(std::filesystem::exists(device_.path() / "made.abk"));
    std::filesystem::remove(device_.path() / "some.bkp");
    Choose(res::IDM_AUTOBACKUP);
    EXPECT_EQ(Archived("some.bkp"), (std::vector<std::u16string>{u"alpha", u"gamma"}));
    EXPECT_EQ(user().ShownIds(), std::vector<UINT>{res::IDS_BACKUP_COMPLETE});
}

TEST_F(BackupCommandsTest, APasswordLeftEmptyKeepsTheOptionsOpen) {
    MakeDatabase(u"alpha", 1);
    Start();
    user().OnDialog(res::IDD_BACKUP_OPTIONS, [this](HWND dialog) {
        gui::input::ClickDlgButton(dialog, res::IDC_BACKUP_PASSWORD);
        user().OnDialog(res::IDD_PROTECT_PASSWORD,
                        [](HWND protect) { gui::input::PressDone(protect); });
        gui::input::PressDone(dialog);
        EXPECT_FALSE(gui::DialogEnded(dialog));
        EXPECT_TRUE(Checked(dialog, res::IDC_BACKUP_PASSWORD));
        user().OnDialog(res::IDD_PROTECT_PASSWORD, [](HWND protect) {
            SetDlgItemTextW(protect, res::IDC_PASSWORD, u"secret");
            SetDlgItemTextW(protect, res::IDC_PASSWORD_CONFIRM, u"secret");
            gui::input::PressDone(protect);
        });
        gui::input::PressDone(dialog);
    });
    user().AnswerFile(Path("locked.bkp"));
    Choose(res::IDM_BACKUP);
    backup::BackupArchive archive;
    ASSERT_TRUE(archive.OpenArchiveFile(Path("locked.bkp").c_str()));
    EXPECT_TRUE(archive.passwordSet());
}

TEST_F(BackupCommandsTest, RestoreRefreshesTheListAndCancelledDialogsChangeNothing) {
    MakeDatabase(u"alpha", 2);
    Start();
    user().OnDialog(res::IDD_BACKUP_OPTIONS, [](HWND dialog) { gui::input::PressDone(dialog); });
    user().AnswerFile(Path("a.bkp"));
    Choose(res::IDM_BACKUP);
    // Cancelled options and a cancelled file dialog write nothing.
    user().OnDialog(res::IDD_BACKUP_OPTIONS,
                    [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    Choose(res::IDM_BACKUP);
    user().OnDialog(res::IDD_BACKUP_OPTIONS, [](HWND dialog) { gui::input::PressDone(dialog); });
    user().AnswerFile(std::nullopt);
    Choose(res::IDM_BACKUP);

    Delete(u"alpha");
    user().AnswerFile(Path("a.bkp"));
    user().OnDialog(res::IDD_RESTORE, [](HWND dialog) { gui::input::PressDone(dialog); });
    Choose(res::IDM_RESTORE);
    EXPECT_EQ(Column(), std::vector<std::u16string>{u"alpha"});
    EXPECT_TRUE(user().shown().empty());
}

}  // namespace
}  // namespace browser_test

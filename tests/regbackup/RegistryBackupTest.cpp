// Registry backup and restore on a real registry and real files: what the
// walk writes and refuses, which keys a restore leaves alone, cleans or
// writes, and what the user is asked and told.

#include "regbackup/RegistryBackup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/gui/Backend.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/registry/UniqueKey.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/support/Process.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;
using namespace regbackup;

struct Value {
    std::u16string name;
    std::u16string data;
};

// Key records move (they own their data): a list of them is made by moving.
template <class... Records>
std::vector<KeyRecord> RecordList(Records&&... records) {
    std::vector<KeyRecord> list;
    (list.push_back(std::move(records)), ...);
    return list;
}

class RegistryBackupTest : public ::testing::Test {
protected:
    void TearDown() override { ClearWriteFailure(); }

    std::u16string Path(const char* name) const {
        return Utf8ToWide((device_.path() / name).string());
    }
    bool Exists(const char* name) const { return std::filesystem::exists(device_.path() / name); }

    static UniqueKey Create(HKEY root, const char16_t* path) {
        HKEY key = 0;
        DWORD disposition = 0;
        EXPECT_EQ(
            RegCreateKeyExW(root, path, 0, u"", 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
        return UniqueKey(key);
    }
    static void SetText(HKEY root, const char16_t* path, const char16_t* name,
                        std::u16string_view text) {
        UniqueKey key = Create(root, path);
        std::u16string data(text);
        ASSERT_EQ(
            RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * 2)),
            ERROR_SUCCESS);
    }
    // The names of a key's values in enumeration order.
    static std::vector<std::u16string> ValueNames(HKEY root, const char16_t* path) {
        std::vector<std::u16string> names;
        HKEY key = 0;
        if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return names;
        UniqueKey owned(key);
        for (DWORD i = 0;; ++i) {
            WCHAR name[260];
            DWORD length = 260;
            if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        return names;
    }
    // When a key below `parent` was last written.
    static std::uint64_t Written(HKEY root, const char16_t* parent, std::u16string_view child) {
        HKEY key = 0;
        if (RegOpenKeyExW(root, parent, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        UniqueKey owned(key);
        for (DWORD i = 0;; ++i) {
            WCHAR name[260];
            DWORD length = 260;
            FILETIME at{};
            if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, &at) !=
                ERROR_SUCCESS)
                return 0;
            if (std::u16string_view(name, length) == child)
                return (std::uint64_t{at.dwHighDateTime} << 32) | at.dwLowDateTime;
        }
    }

    // The selection as a person leaves it: rows checked as given (all
    // unchanged when none are given), then OK.
    void ChooseRoots(std::vector<bool> rows = {}, UINT templateId = res::IDD_REGISTRY_BACKUP) {
        user_.OnDialog(templateId, [rows](HWND dialog) {
            HWND list = GetDlgItem(dialog, res::IDC_REG_ROOTS);
            for (std::size_t row = 0; row < rows.size(); ++row)
                ListView_SetCheckState(list, static_cast<int>(row), rows[row]);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    }

    bool Backup(const char* file) {
        RegistryBackup backup(nullptr);
        return backup.BackupRegistry(Path(file).c_str());
    }
    bool Restore(const char* file) {
        RegistryBackup backup(nullptr);
        return backup.RestoreRegistry(Path(file).c_str());
    }

    // A file of hand-made records under HKEY_CURRENT_USER.
    void WriteFile(const char* name, const std::vector<KeyRecord>& records,
                   DWORD roots = kRootCurrentUser) {
        UniqueHandle file(CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        WCHAR none[backup::kPasswordUnits] = {};
        ASSERT_TRUE(WriteRbkHeader(file.get(), none, roots, static_cast<DWORD>(records.size())));
        for (const KeyRecord& record : records)
            ASSERT_TRUE(WriteKeyRecord(file.get(), record));
    }
    static KeyRecord Record(const char16_t* path, std::vector<Value> values) {
        KeyRecord record;
        record.path = path;
        record.root = HKEY_CURRENT_USER;
        for (const Value& v : values) {
            record.values.emplace_back();
            record.values.back().type = REG_SZ;
            record.values.back().name = v.name;
            std::u16string data = v.data;
            record.values.back().SetData(reinterpret_cast<const BYTE*>(data.c_str()),
                                         static_cast<DWORD>((data.size() + 1) * 2));
        }
        return record;
    }

    // Every record of a file, as path and the text of its first value.
    std::vector<std::pair<std::u16string, std::u16string>> Records(const char* name) const {
        std::vector<std::pair<std::u16string, std::u16string>> out;
        UniqueHandle file(CreateFileW(Path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        RbkHeader header;
        if (!ReadRbkHeader(file.get(), header))
            return out;
        KeyRecord record;
        for (DWORD i = 0; i < header.keyCount && ReadKeyRecord(file.get(), record); ++i) {
            const ValueRecord& first = record.values.at(0);
            out.emplace_back(record.path,
                             std::u16string(reinterpret_cast<const char16_t*>(first.data())));
        }
        return out;
    }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
    gui::ScriptedUser& user_ = session_.user();
};

// ---- Backup ----

TEST_F(RegistryBackupTest, TheSelectionStartsWithEveryRootAndNoneCheckedOnlyBeeps) {
    user_.OnDialog(res::IDD_REGISTRY_BACKUP, [](HWND dialog) {
        HWND list = GetDlgItem(dialog, res::IDC_REG_ROOTS);
        ASSERT_EQ(ListView_GetItemCount(list), 3);
        for (int row = 0; row < 3; ++row) {
            EXPECT_TRUE(ListView_GetCheckState(list, row));
            ListView_SetCheckState(list, row, false);
        }
        int beeps = gui::BeepsSounded();
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(gui::BeepsSounded(), beeps + 1);
        EXPECT_FALSE(gui::DialogEnded(dialog));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(Backup("none.rbk"));
    EXPECT_FALSE(Exists("none.rbk"));
    EXPECT_TRUE(user_.ShownIds().empty());
}

TEST_F(RegistryBackupTest, OnlyKeysWithValuesAreWrittenParentsFirstWithTheirFullPaths) {
    SetText(HKEY_CURRENT_USER, u"Software\\A", u"x", u"1");
    Create(HKEY_CURRENT_USER, u"Software\\A\\Empty\\Deep");
    SetText(HKEY_CURRENT_USER, u"Software\\A\\Empty\\Deep", u"", u"2");
    SetText(HKEY_LOCAL_MACHINE, u"System\\B", u"y", u"3");
    ChooseRoots({false, false, true});  // HKEY_CURRENT_USER only
    ASSERT_TRUE(Backup("cu.rbk"));
    UniqueHandle file(CreateFileW(Path("cu.rbk").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    RbkHeader header;
    ASSERT_TRUE(ReadRbkHeader(file.get(), header));
    EXPECT_EQ(header.rootFlags, kRootCurrentUser);
    ASSERT_EQ(header.keyCount, 2u);
    KeyRecord record;
    ASSERT_TRUE(ReadKeyRecord(file.get(), record));
    EXPECT_EQ(record.path, u"Software\\A");
    EXPECT_EQ(record.root, HKEY_CURRENT_USER);
    ASSERT_TRUE(ReadKeyRecord(file.get(), record));
    EXPECT_EQ(record.path, u"Software\\A\\Empty\\Deep");
    EXPECT_EQ(record.values.at(0).name, u"");
}

TEST_F(RegistryBackupTest, AValueOverTheDataBufferFailsTheBackupAndLeavesNoFile) {
    UniqueKey key = Create(HKEY_CURRENT_USER, u"Software\\Big");
    std::vector<BYTE> data(20000, 7);
    ASSERT_EQ(RegSetValueExW(key.get(), u"blob", 0, REG_BINARY, data.data(), 20000), ERROR_SUCCESS);
    ChooseRoots();
    EXPECT_FALSE(Backup("big.rbk"));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_REG_CANT_READ_REGISTRY}));
    EXPECT_FALSE(Exists("big.rbk"));
}

TEST_F(RegistryBackupTest, APathLongerThanItsBufferIsRefusedNotCut) {
    std::u16string path = u"Software";
    for (int i = 0; i < 6; ++i)
        path += u"\\" + std::u16string(50, static_cast<char16_t>(u'a' + i));
    SetText(HKEY_CURRENT_USER, path.c_str(), u"v", u"deep");
    ChooseRoots();
    EXPECT_FALSE(Backup("deep.rbk"));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_REG_CANT_READ_REGISTRY}));
    EXPECT_FALSE(Exists("deep.rbk"));
}

TEST_F(RegistryBackupTest, AFullDiskFailsTheBackupWithItsMessageAndLeavesNoFile) {
    SetText(HKEY_CURRENT_USER, u"Software\\A", u"x", u"some text to write");
    SetWriteFailure(100, "full.rbk");
    ChooseRoots();
    EXPECT_FALSE(Backup("full.rbk"));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_REG_CANT_WRITE_FILE}));
    EXPECT_FALSE(Exists("full.rbk"));
}

// A window that presses Cancel in the registry backup's progress window as
// soon as that window exists: a message posted to it waits in the queue
// until the walk pumps it.
constexpr UINT kPressCancel = WM_APP + 1;

LRESULT CancelPresser(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kPressCancel)
        return DefWindowProcW(window, message, wParam, lParam);
    HWND progress = FindWindowW(nullptr, u"Registry Backup");
    if (progress == nullptr)
        PostMessageW(window, kPressCancel, 0, 0);  // not yet: the selection is still closing
    else
        SendMessageW(progress, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

HWND MakeCancelPresser() {
    WNDCLASSW existing;
    if (!GetClassInfoW(nullptr, u"CancelPresser", &existing)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = CancelPresser;
        wc.lpszClassName = u"CancelPresser";
        RegisterClassW(&wc);
    }
    return CreateWindowExW(0, u"CancelPresser", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                           nullptr);
}

TEST_F(RegistryBackupTest, CancelDuringTheWalkAsksAndYesDeletesTheFileWithoutSuccess) {
    for (int i = 0; i < 50; ++i) {
        std::u16string path = u"Software\\Many\\K" + Utf8ToWide(std::to_string(i));
        SetText(HKEY_CURRENT_USER, path.c_str(), u"v", u"value");
    }
    HWND presser = MakeCancelPresser();
    ASSERT_NE(presser, nullptr);
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        user_.OnDialog(res::IDD_REGISTRY_BACKUP, [presser](HWND dialog) {
            PostMessageW(presser, kPressCancel, 0, 0);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        user_.Answer(res::IDS_CANCEL_REGISTRY_BACKUP, answer);
        bool done = Backup("cancel.rbk");
        EXPECT_EQ(done, answer == IDNO);
        EXPECT_EQ(Exists("cancel.rbk"), answer == IDNO);
        // The question is all the user hears either way.
        EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_CANCEL_REGISTRY_BACKUP}));
        user_.ClearShown();
    }
    DestroyWindow(presser);
}

TEST_F(RegistryBackupTest, APasswordIsAskedTwiceAndStoredScrambled) {
    SetText(HKEY_CURRENT_USER, u"Software\\A", u"x", u"1");
    user_.OnDialog(res::IDD_REGISTRY_BACKUP, [](HWND dialog) {
        CheckDlgButton(dialog, res::IDC_REG_PASSWORD, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    user_.OnDialog(res::IDD_PROTECT_PASSWORD, [](HWND dialog) {
        SetDlgItemTextW(dialog, res::IDC_PASSWORD, u"secret");
        SetDlgItemTextW(dialog, res::IDC_PASSWORD_CONFIRM, u"secret");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(Backup("p.rbk"));
    UniqueHandle file(CreateFileW(Path("p.rbk").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    RbkHeader header;
    ASSERT_TRUE(ReadRbkHeader(file.get(), header));
    backup::ScramblePassword(header.password);
    EXPECT_EQ(std::u16string(header.password), u"secret");
    file.reset();
    // The restore asks for it before the selection.
    user_.OnDialog(res::IDD_ENTER_PASSWORD, [](HWND dialog) {
        SetDlgItemTextW(dialog, res::IDC_PASSWORD_ENTER, u"secret");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    EXPECT_TRUE(Restore("p.rbk"));
}

TEST_F(RegistryBackupTest, ASecondBackupHoldsWhatAnotherProcessChangedAfterTheFirst) {
    SetText(HKEY_CURRENT_USER, u"Software\\Shared", u"Greeting", u"hello");
    ChooseRoots({false, false, true});
    ASSERT_TRUE(Backup("first.rbk"));
    for (auto [key, text] :
         {std::pair{"Software\\Shared", "changed"}, std::pair{"Software\\Shared\\New", "added"}}) {
        auto result = testing_support::RunProgram(testing_support::BuiltProgram("objectstore_peer"),
                                                  {"regset", key, "Greeting", text},
                                                  {device_.EnvAssignment()});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    }
    ChooseRoots({false, false, true});
    ASSERT_TRUE(Backup("second.rbk"));
    using Seen = std::vector<std::pair<std::u16string, std::u16string>>;
    EXPECT_EQ(Records("first.rbk"), (Seen{{u"Software\\Shared", u"hello"}}));
    EXPECT_EQ(Records("second.rbk"),
              (Seen{{u"Software\\Shared", u"changed"}, {u"Software\\Shared\\New", u"added"}}));
}

// ---- Restore ----

TEST_F(RegistryBackupTest, AKeyNamedTwiceInAFileIsComparedAgainAfterItsFirstRecordWasWritten) {
    SetText(HKEY_CURRENT_USER, u"Software\\Twice", u"a", u"1");
    WriteFile("twice.rbk", RecordList(Record(u"Software\\Twice", {{u"a", u"2"}}),
                                      Record(u"software\\twice", {{u"a", u"1"}})));
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    ASSERT_TRUE(Restore("twice.rbk"));
    WCHAR text[8] = {};
    DWORD size = sizeof text;
    UniqueKey key = Create(HKEY_CURRENT_USER, u"Software\\Twice");
    ASSERT_EQ(
        RegQueryValueExW(key.get(), u"a", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), u"1");
}

TEST_F(RegistryBackupTest, AValueNamedInAnotherCaseIsDeletedAndWrittenAsTheFileNamesIt) {
    SetText(HKEY_CURRENT_USER, u"Software\\Case", u"Name", u"1");
    std::uint64_t before = Written(HKEY_CURRENT_USER, u"Software", u"Case");
    WriteFile("case.rbk", RecordList(Record(u"SOFTWARE\\CASE", {{u"name", u"1"}})));
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    ASSERT_TRUE(Restore("case.rbk"));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, u"Software\\Case"),
              (std::vector<std::u16string>{u"name"}));
    EXPECT_NE(Written(HKEY_CURRENT_USER, u"Software", u"Case"), before);
}

TEST_F(RegistryBackupTest, AMatchingKeyIsLeftAloneAndAnExtraValueIsDeletedBeforeTheWrite) {
    SetText(HKEY_CURRENT_USER, u"Software\\Same", u"a", u"1");
    SetText(HKEY_CURRENT_USER, u"Software\\Extra", u"a", u"1");
    ChooseRoots({false, false, true});
    ASSERT_TRUE(Backup("r.rbk"));
    SetText(HKEY_CURRENT_USER, u"Software\\Extra", u"b", u"2");
    SetText(HKEY_CURRENT_USER, u"Software\\Extra", u"c", u"3");
    std::uint64_t same = Written(HKEY_CURRENT_USER, u"Software", u"Same");
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    ASSERT_TRUE(Restore("r.rbk"));
    EXPECT_EQ(Written(HKEY_CURRENT_USER, u"Software", u"Same"), same);
    // Both extra values go, the second too although the first moved it down.
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, u"Software\\Extra"),
              (std::vector<std::u16string>{u"a"}));
}

TEST_F(RegistryBackupTest, ValuesAreSetFromTheLastToTheFirst) {
    WriteFile("order.rbk",
              RecordList(Record(u"Software\\New", {{u"first", u"1"}, {u"second", u"2"}})));
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    ASSERT_TRUE(Restore("order.rbk"));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, u"Software\\New"),
              (std::vector<std::u16string>{u"second", u"first"}));
}

TEST_F(RegistryBackupTest, OnlyTheFilesRootsStartCheckedAndOthersRestoreNothingMore) {
    KeyRecord machine = Record(u"System\\M", {{u"m", u"1"}});
    machine.root = HKEY_LOCAL_MACHINE;
    WriteFile("lm.rbk", RecordList(std::move(machine)), kRootLocalMachine);
    user_.OnDialog(res::IDD_REGISTRY_BACKUP, [](HWND dialog) {
        HWND list = GetDlgItem(dialog, res::IDC_REG_ROOTS);
        EXPECT_FALSE(ListView_GetCheckState(list, kRowClassesRoot));
        EXPECT_TRUE(ListView_GetCheckState(list, kRowLocalMachine));
        EXPECT_FALSE(ListView_GetCheckState(list, kRowCurrentUser));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, res::IDC_REG_PASSWORD)));
        WCHAR caption[64] = {};
        GetWindowTextW(dialog, caption, 64);
        EXPECT_EQ(std::u16string(caption), u"Restore Registry");
        ListView_SetCheckState(list, kRowCurrentUser, true);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    ASSERT_TRUE(Restore("lm.rbk"));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, u"System\\M"), (std::vector<std::u16string>{u"m"}));
}

TEST_F(RegistryBackupTest, AnythingButYesToTheWarningKeepsTheSelectionOpen) {
    WriteFile("w.rbk", RecordList(Record(u"Software\\W", {{u"w", u"1"}})));
    user_.OnDialog(res::IDD_REGISTRY_BACKUP, [](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_FALSE(gui::DialogEnded(dialog));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDNO);
    EXPECT_FALSE(Restore("w.rbk"));
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, u"Software\\W").empty());
}

TEST_F(RegistryBackupTest, AFileWithoutKeysEndsWithoutAnyMessage) {
    WriteFile("empty.rbk", {});
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    EXPECT_FALSE(Restore("empty.rbk"));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_REG_CONFIRM_RESTORE}));
}

TEST_F(RegistryBackupTest, ABrokenOrMissingFileGetsItsMessage) {
    WriteFile("cut.rbk", RecordList(Record(u"Software\\One", {{u"v", u"1"}}),
                                    Record(u"Software\\Two", {{u"v", u"2"}})));
    std::filesystem::resize_file(device_.path() / "cut.rbk",
                                 std::filesystem::file_size(device_.path() / "cut.rbk") - 3);
    ChooseRoots();
    user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    EXPECT_FALSE(Restore("cut.rbk"));
    EXPECT_EQ(user_.ShownIds(),
              (std::vector<UINT>{res::IDS_REG_CONFIRM_RESTORE, res::IDS_REG_FILE_CORRUPT}));
    // The keys restored before the damage stay.
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, u"Software\\One"), (std::vector<std::u16string>{u"v"}));
    user_.ClearShown();
    EXPECT_FALSE(Restore("absent.rbk"));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_REG_CANT_OPEN_FILE}));
}

// A value name the registry refuses (over 255 characters) makes the key's
// write fail.
class FailedKeyTest : public RegistryBackupTest {
protected:
    void SetUp() override {
        std::u16string tooLong(256, u'n');
        WriteFile("bad.rbk", RecordList(Record(u"Software\\Bad", {{tooLong, u"x"}}),
                                        Record(u"Software\\Good", {{u"g", u"1"}})));
        ChooseRoots();
        user_.Answer(res::IDS_REG_CONFIRM_RESTORE, IDYES);
    }
};

TEST_F(FailedKeyTest, IgnoreSkipsTheKeyAndTheRestoreGoesOn) {
    user_.Answer(res::IDS_REG_CANT_STORE_KEY, IDRETRY);
    user_.Answer(res::IDS_REG_CANT_STORE_KEY, IDIGNORE);
    user_.Answer(res::IDS_REG_SOFT_RESET, IDOK);
    EXPECT_TRUE(Restore("bad.rbk"));
    EXPECT_EQ(user_.CountShown(res::IDS_REG_CANT_STORE_KEY), 2);
    EXPECT_NE(user_.shown().at(1).text.find(u"[0x57 (87)]"), std::u16string::npos);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, u"Software\\Good"),
              (std::vector<std::u16string>{u"g"}));
}

TEST_F(FailedKeyTest, AbortEndsTheRestoreWithoutTheSoftResetMessage) {
    user_.Answer(res::IDS_REG_CANT_STORE_KEY, IDABORT);
    EXPECT_FALSE(Restore("bad.rbk"));
    EXPECT_FALSE(user_.WasShown(res::IDS_REG_SOFT_RESET));
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, u"Software\\Good").empty());
}

}  // namespace

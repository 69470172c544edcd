// Backup, restore and Autobackup on a real device: what reaches the
// archive, what comes back into the object store, and that no failure or
// cancel loses what was there before.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "backup/BackupArchive.h"
#include "backup/ScriptFile.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/files/Files.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "resources/BackupIds.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace backup;
using Bytes = std::vector<std::uint8_t>;
using ce::gui::ScriptedUser;

// Every record of a database as its relative image, in creation order.
std::vector<Bytes> Records(const char16_t* name) {
    store::Database database;
    std::vector<Bytes> records;
    if (database.Open(name) == ce::INVALID_HANDLE_VALUE)
        return records;
    store::RecordBuffer buffer;
    DWORD index = 0;
    auto quiet = database.QuietErrors();
    for (bool found = database.SeekFirst(index); found; found = database.SeekNext(index)) {
        if (database.ReadRecordRelative(buffer) != 0)
            records.emplace_back(buffer.buffer, buffer.buffer + buffer.size);
    }
    buffer.Release();
    return records;
}

ce::CEOID Identifier(const char16_t* name) {
    ce::CEOID oid = 0;
    ce::HANDLE handle = ce::CeOpenDatabase(&oid, name, 0, 0, nullptr);
    if (handle != ce::INVALID_HANDLE_VALUE)
        ce::CloseHandle(handle);
    return oid;
}

// The answers a test gives to the exists questions.
ExistsAnswer gExistsAnswer = ExistsAnswer::Overwrite;
const char16_t* gNewName = nullptr;

ExistsQuestions TestQuestions() {
    return {[](const WCHAR*, HWND) { return gExistsAnswer; },
            [](const WCHAR*, DatabaseName& target, HWND) {
                if (gNewName == nullptr)
                    return false;
                ce::CopyWide(target, std::u16string_view(gNewName));
                return true;
            }};
}

class BackupRestoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        appcore::App().settings = std::make_unique<appcore::Settings>();
        settings().showDialogs = 0;
        settings().noProgress = 1;
        gExistsAnswer = ExistsAnswer::Overwrite;
        gNewName = nullptr;
        // Tests write their archives again and again.
        user().AlwaysAnswer(res::IDS_FILE_EXISTS, ce::IDYES);
        test_support::MakeDatabase(u"Contacts", 5, 7, 0, {{test_support::kSeedText, 0}});
        test_support::MakeDatabase(u"Notes", 3);
        test_support::MakeDatabase(u"Empty", 0);
    }
    void TearDown() override { ce::ClearWriteFailure(); }

    appcore::Settings& settings() { return *appcore::App().settings; }
    std::u16string Path(const char* name) const {
        return ce::Utf8ToWide((device_.path() / name).string());
    }
    Bytes FileBytes(const char* name) const {
        std::ifstream in(device_.path() / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool Backup(const char* file, std::vector<const char16_t*> names, bool compress = true,
                std::u16string_view password = u"") {
        BackupArchive archive;
        archive.SetCompress(compress);
        archive.SetPassword(password);
        if (!archive.OpenForBackup(nullptr, false, Path(file).c_str()))
            return false;
        bool ok = true;
        for (const char16_t* name : names)
            ok = ok && archive.BackupDatabase(name);
        return archive.FinishBackup() && ok;
    }

    // Restores every database of the archive, as an unattended run does.
    bool Restore(const char* file, bool* complete = nullptr) {
        BackupArchive archive;
        archive.SetExistsQuestions(TestQuestions());
        bool opened = archive.OpenForRestore(nullptr, Path(file).c_str());
        if (complete != nullptr)
            *complete = archive.restoreComplete();
        return opened && archive.restoreComplete();
    }

    // The archive's databases by name, read as restore reads them; false
    // when any block or record does not read.
    bool Verify(const char* file, std::vector<std::u16string>* names = nullptr) {
        BackupArchive archive;
        if (!archive.OpenArchiveFile(Path(file).c_str()))
            return false;
        std::vector<CatalogueEntry> rows;
        if (!archive.WalkCatalogue(rows))
            return false;
        if (names != nullptr)
            names->clear();
        for (const CatalogueEntry& row : rows) {
            archive.SetPosition(row.position);
            DatabaseHeader header;
            if (!archive.ReadDatabaseHeader(header))
                return false;
            for (WORD i = 0; i < header.info.wNumRecords; ++i) {
                ArchiveRecord record;
                if (!archive.ReadRecord(record, header.info.szDbaseName))
                    return false;
            }
            if (names != nullptr)
                names->push_back(header.info.szDbaseName);
        }
        return true;
    }

    void DeleteDatabase(const char16_t* name) {
        store::Database database;
        ASSERT_TRUE(database.DeleteDatabase(name));
    }

    ScriptedUser& user() { return session_.user(); }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

TEST_F(BackupRestoreTest, DatabasesComeBackWithTheirRecordsTypeAndSortOrders) {
    for (bool compress : {true, false}) {
        const std::vector<Bytes> contacts = Records(u"Contacts");
        ASSERT_TRUE(Backup("all.bkp", {u"Contacts", u"Notes", u"Empty"}, compress));
        EXPECT_EQ(FileBytes("all.bkp")[12], compress ? 1 : 0);
        for (const char16_t* name : {u"Contacts", u"Notes", u"Empty"})
            DeleteDatabase(name);
        ASSERT_TRUE(Restore("all.bkp"));
        EXPECT_EQ(Records(u"Contacts"), contacts);
        EXPECT_EQ(Records(u"Notes").size(), 3u);
        EXPECT_TRUE(test_support::DatabaseExists(u"Empty"));
        ce::CEDBASEINFO info = test_support::DatabaseInfo(u"Contacts");
        EXPECT_EQ(info.dwDbaseType, 7u);
        ASSERT_EQ(info.wNumSortOrder, 1);
        EXPECT_EQ(info.rgSortSpecs[0].propid, test_support::kSeedText);
    }
    // The second backup asked before replacing the first; nothing else was said.
    EXPECT_EQ(user().ShownIds(), std::vector<ce::UINT>{res::IDS_FILE_EXISTS});
}

TEST_F(BackupRestoreTest, ACancelledBackupKeepsTheWholeBlocksAndCountsThem) {
    settings().noProgress = 0;
    user().AlwaysAnswer(res::IDS_ABORT_BACKUP, ce::IDYES);
    BackupArchive archive;
    ASSERT_TRUE(archive.OpenForBackup(nullptr, false, Path("cut.bkp").c_str()));
    // The empty database has no records, so no point at which to cancel.
    ASSERT_TRUE(archive.BackupDatabase(u"Empty"));
    // The progress window's Cancel, pressed during the next walk.
    ASSERT_NE(archive.progressWindow(), nullptr);
    ce::PostMessageW(archive.progressWindow(), ce::WM_COMMAND, ce::IDCANCEL, 0);
    EXPECT_FALSE(archive.BackupDatabase(u"Contacts"));
    EXPECT_TRUE(archive.FinishBackup());
    EXPECT_FALSE(archive.backupComplete());
    std::vector<std::u16string> names;
    ASSERT_TRUE(Verify("cut.bkp", &names));
    EXPECT_EQ(names, std::vector<std::u16string>{u"Empty"});
    EXPECT_EQ(user().ShownIds(), std::vector<ce::UINT>{res::IDS_ABORT_BACKUP});
}

TEST_F(BackupRestoreTest, ARecordThatCannotBeReadIsPassedOverAndNotCounted) {
    for (bool compress : {true, false}) {
        DeleteDatabase(u"Notes");
        test_support::MakeDatabase(u"Notes", 3);
        std::vector<Bytes> before = Records(u"Notes");
        // Damage the second record behind the store's back.
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(ce::device::VolumePath().c_str(), &raw), SQLITE_OK);
        sqlite3_busy_timeout(raw, 5000);
        std::string sql =
            "UPDATE records SET props = x'05' WHERE oid = (SELECT oid FROM records "
            "WHERE db = " +
            std::to_string(Identifier(u"Notes")) + " ORDER BY oid LIMIT 1 OFFSET 1)";
        ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);

        ASSERT_TRUE(Backup("holes.bkp", {u"Notes", u"Contacts"}, compress));
        std::vector<std::u16string> names;
        ASSERT_TRUE(Verify("holes.bkp", &names));
        EXPECT_EQ(names, (std::vector<std::u16string>{u"Notes", u"Contacts"}));
        ASSERT_TRUE(Restore("holes.bkp"));
        std::vector<Bytes> restored = Records(u"Notes");
        ASSERT_EQ(restored.size(), 2u);
        EXPECT_EQ(restored[0], before[0]);
        EXPECT_EQ(restored[1], before[2]);
        EXPECT_EQ(Records(u"Contacts").size(), 5u);
    }
}

TEST_F(BackupRestoreTest, OverwriteFromADamagedArchiveLeavesTheOldDatabase) {
    ASSERT_TRUE(Backup("full.bkp", {u"Contacts"}, false));
    Bytes image = FileBytes("full.bkp");
    std::filesystem::resize_file(device_.path() / "full.bkp", image.size() - 10);
    test_support::MakeDatabase(u"Extra", 1);
    std::vector<Bytes> before = Records(u"Contacts");
    ce::CEOID oid = Identifier(u"Contacts");
    EXPECT_FALSE(Restore("full.bkp"));
    EXPECT_EQ(user().ShownIds(), std::vector<ce::UINT>{res::IDS_RESTORE_CORRUPT});
    EXPECT_EQ(Records(u"Contacts"), before);
    EXPECT_EQ(Identifier(u"Contacts"), oid);
    // No temporary database is left behind.
    int databases = 0;
    ce::HANDLE all = ce::CeFindFirstDatabase(0);
    while (ce::CeFindNextDatabase(all) != 0)
        ++databases;
    ce::CloseHandle(all);
    EXPECT_EQ(databases, 4);
}

// Restores of more records than one write batch commits, and (compressed)
// than the decompressing worker holds at a time.
class LargeRestoreTest : public BackupRestoreTest, public ::testing::WithParamInterface<bool> {
protected:
    static constexpr int kRecords = 2600;
    void SetUp() override {
        BackupRestoreTest::SetUp();
        ce::StoreWriteBatch batch;  // fills it in a moment
        test_support::MakeDatabase(u"Big", kRecords, 4);
        ASSERT_TRUE(batch.End());
        before_ = Records(u"Big");
        ASSERT_EQ(before_.size(), static_cast<std::size_t>(kRecords));
        ASSERT_TRUE(Backup("big.bkp", {u"Big"}, GetParam()));
    }
    // The records of the database that another connection sees committed.
    std::int64_t CommittedRecords(ce::CEOID database) {
        sqlite3* other = nullptr;
        std::int64_t count = -1;
        if (sqlite3_open_v2(ce::device::VolumePath().c_str(), &other, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt* query = nullptr;
            sqlite3_prepare_v2(other, "SELECT count(*) FROM records WHERE db = ?", -1, &query,
                               nullptr);
            sqlite3_bind_int64(query, 1, database);
            if (sqlite3_step(query) == SQLITE_ROW)
                count = sqlite3_column_int64(query, 0);
            sqlite3_finalize(query);
        }
        sqlite3_close(other);
        return count;
    }
    // Cuts the archive in the middle of the record that `fraction` of the
    // way through.
    void Damage(double fraction) {
        std::size_t size = FileBytes("big.bkp").size();
        std::filesystem::resize_file(
            device_.path() / "big.bkp",
            static_cast<std::size_t>(static_cast<double>(size) * fraction));
    }
    int DatabaseCount() {
        int databases = 0;
        ce::HANDLE all = ce::CeFindFirstDatabase(0);
        while (ce::CeFindNextDatabase(all) != 0)
            ++databases;
        ce::CloseHandle(all);
        return databases;
    }
    std::vector<Bytes> before_;
};

TEST_P(LargeRestoreTest, EveryRecordComesBackAndIsCommitted) {
    DeleteDatabase(u"Big");
    ASSERT_TRUE(Restore("big.bkp"));
    EXPECT_EQ(Records(u"Big"), before_);
    EXPECT_EQ(test_support::DatabaseInfo(u"Big").wNumRecords, kRecords);
    EXPECT_EQ(CommittedRecords(Identifier(u"Big")), kRecords);
}

TEST_P(LargeRestoreTest, AnArchiveDamagedPastTheFirstBatchLeavesNoHalfDatabase) {
    DeleteDatabase(u"Big");
    int databases = DatabaseCount();
    Damage(0.7);
    EXPECT_FALSE(Restore("big.bkp"));
    EXPECT_EQ(user().ShownIds(), std::vector<ce::UINT>{res::IDS_RESTORE_CORRUPT});
    EXPECT_FALSE(test_support::DatabaseExists(u"Big"));
    EXPECT_EQ(DatabaseCount(), databases);
}

TEST_P(LargeRestoreTest, OverwriteFromADamagedArchiveKeepsTheOldRecords) {
    ce::CEOID oid = Identifier(u"Big");
    int databases = DatabaseCount();
    Damage(0.7);
    EXPECT_FALSE(Restore("big.bkp"));
    EXPECT_EQ(Records(u"Big"), before_);
    EXPECT_EQ(Identifier(u"Big"), oid);
    EXPECT_EQ(CommittedRecords(oid), kRecords);
    EXPECT_EQ(DatabaseCount(), databases);  // no temporary database left
}

TEST_P(LargeRestoreTest, AFullStoreMidwayFailsTheRestoreAndRemovesWhatItAdded) {
    DeleteDatabase(u"Big");
    int databases = DatabaseCount();
    settings().silent = 1;
    ce::FailStoreWritesAfter(kRecords / 2);
    EXPECT_FALSE(Restore("big.bkp"));
    ce::FailStoreWritesAfter(-1);
    EXPECT_FALSE(test_support::DatabaseExists(u"Big"));
    EXPECT_EQ(DatabaseCount(), databases);
}

TEST_P(LargeRestoreTest, ARecordDamagedMidwayGivesOneMessageAndLeavesNoHalfDatabase) {
    if (!GetParam())
        GTEST_SKIP() << "changed bytes of an uncompressed image are just other record data";
    DeleteDatabase(u"Big");
    int databases = DatabaseCount();
    Bytes bytes = FileBytes("big.bkp");
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2),
              bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2 + 24), 0xFF);
    {
        std::ofstream out(device_.path() / "big.bkp", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_FALSE(Restore("big.bkp"));
    EXPECT_EQ(user().ShownIds().size(), 1u);
    EXPECT_FALSE(test_support::DatabaseExists(u"Big"));
    EXPECT_EQ(DatabaseCount(), databases);
}

INSTANTIATE_TEST_SUITE_P(Archives, LargeRestoreTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Compressed" : "Uncompressed";
                         });

TEST_F(BackupRestoreTest, OverwriteReplacesADatabaseNobodyHasOpen) {
    ASSERT_TRUE(Backup("one.bkp", {u"Notes"}));
    test_support::MakeDatabase(u"Other", 1);
    DeleteDatabase(u"Notes");
    test_support::MakeDatabase(u"Notes", 9, 3);
    ASSERT_TRUE(Restore("one.bkp"));
    EXPECT_EQ(Records(u"Notes").size(), 3u);
    EXPECT_EQ(test_support::DatabaseInfo(u"Notes").dwDbaseType, 0u);
}

TEST_F(BackupRestoreTest, ADatabaseInUseIsRefilledInPlaceOrPassedOver) {
    ASSERT_TRUE(Backup("notes.bkp", {u"Notes"}));
    DeleteDatabase(u"Notes");
    test_support::MakeDatabase(u"Notes", 6, 9);
    ce::CEOID oid = Identifier(u"Notes");
    store::Database held;
    ASSERT_NE(held.Open(u"Notes"), ce::INVALID_HANDLE_VALUE);

    user().Answer(res::IDS_DATABASE_IN_USE, ce::IDNO);
    bool complete = true;
    EXPECT_FALSE(Restore("notes.bkp", &complete));
    EXPECT_FALSE(complete);
    EXPECT_EQ(Records(u"Notes").size(), 6u);

    user().Answer(res::IDS_DATABASE_IN_USE, ce::IDYES);
    EXPECT_TRUE(Restore("notes.bkp"));
    EXPECT_EQ(Identifier(u"Notes"), oid);
    EXPECT_EQ(test_support::DatabaseInfo(u"Notes").dwDbaseType, 9u);
    EXPECT_EQ(Records(u"Notes").size(), 3u);

    // Silently, the answer is Yes without a question.
    settings().silent = 1;
    EXPECT_TRUE(Restore("notes.bkp"));
    EXPECT_EQ(user().CountShown(res::IDS_DATABASE_IN_USE), 2);
}

TEST_F(BackupRestoreTest, AFailedInPlaceRestoreKeepsTheOldRecords) {
    ASSERT_TRUE(Backup("notes.bkp", {u"Notes"}));
    DeleteDatabase(u"Notes");
    test_support::MakeDatabase(u"Notes", 6);
    std::vector<Bytes> before = Records(u"Notes");
    store::Database held;
    ASSERT_NE(held.Open(u"Notes"), ce::INVALID_HANDLE_VALUE);
    // The store fills up while the new records go in.
    settings().silent = 1;
    ce::FailStoreWritesAfter(5);
    EXPECT_FALSE(Restore("notes.bkp"));
    ce::FailStoreWritesAfter(-1);
    EXPECT_EQ(Records(u"Notes"), before);
}

TEST_F(BackupRestoreTest, RenameAndCancelLeaveTheExistingDatabaseAlone) {
    ASSERT_TRUE(Backup("two.bkp", {u"Notes", u"Contacts"}));
    std::vector<Bytes> notes = Records(u"Notes");
    settings().showDialogs = 1;
    BackupArchive archive;
    archive.SetExistsQuestions(TestQuestions());
    gExistsAnswer = ExistsAnswer::Rename;
    gNewName = u"Notes again";
    user().OnDialog(res::IDD_RESTORE, [](ce::HWND dialog) {
        ce::HWND list = ce::GetDlgItem(dialog, res::IDC_RESTORE_LIST);
        ASSERT_EQ(ce::ListView_GetItemCount(list), 2);
        WCHAR info[128] = {};
        ce::GetDlgItemTextW(dialog, res::IDC_RESTORE_INFO, info, 128);
        EXPECT_EQ(std::u16string(info).rfind(u"Compressed; Size ", 0), 0u) << ce::WideToUtf8(info);
        EXPECT_NE(std::u16string(info).find(u"Records 3"), std::u16string::npos);
        ce::gui::input::PressDone(dialog);
    });
    ASSERT_TRUE(archive.OpenForRestore(nullptr, Path("two.bkp").c_str()));
    EXPECT_TRUE(archive.restoreComplete());
    EXPECT_EQ(Records(u"Notes again"), notes);
    EXPECT_EQ(Records(u"Notes"), notes);
    EXPECT_FALSE(test_support::DatabaseExists(u"Contacts again"));

    gExistsAnswer = ExistsAnswer::Cancel;
    user().OnDialog(res::IDD_RESTORE, [](ce::HWND dialog) {
        ce::HWND list = ce::GetDlgItem(dialog, res::IDC_RESTORE_LIST);
        ce::ListView_SetItemState(list, 0, 0, ce::LVIS_SELECTED);
        ce::ListView_SetItemState(list, 1, ce::LVIS_SELECTED, ce::LVIS_SELECTED);
        ce::gui::input::PressDone(dialog);
    });
    std::vector<Bytes> contacts = Records(u"Contacts");
    ASSERT_TRUE(archive.OpenForRestore(nullptr, Path("two.bkp").c_str()));
    EXPECT_FALSE(archive.restoreComplete());
    EXPECT_EQ(Records(u"Contacts"), contacts);
}

TEST_F(BackupRestoreTest, AProtectedArchiveOpensOnlyWithItsPassword) {
    ASSERT_TRUE(Backup("locked.bkp", {u"Notes"}, true, u"open sesame"));
    DeleteDatabase(u"Notes");
    user().OnDialog(res::IDD_ENTER_PASSWORD, [](ce::HWND dialog) {
        ce::SetDlgItemTextW(dialog, res::IDC_PASSWORD_ENTER, u"");
        ce::gui::input::PressDone(dialog);
    });
    EXPECT_FALSE(Restore("locked.bkp"));
    EXPECT_FALSE(test_support::DatabaseExists(u"Notes"));
    user().OnDialog(res::IDD_ENTER_PASSWORD, [](ce::HWND dialog) {
        ce::SetDlgItemTextW(dialog, res::IDC_PASSWORD_ENTER, u"open sesame");
        ce::gui::input::PressDone(dialog);
    });
    EXPECT_TRUE(Restore("locked.bkp"));
    EXPECT_EQ(Records(u"Notes").size(), 3u);
}

TEST_F(BackupRestoreTest, EveryFailedWriteShowsString75AndLeavesAReadableArchiveOrNone) {
    for (bool compress : {true, false}) {
        ASSERT_TRUE(Backup("whole.bkp", {u"Contacts", u"Empty", u"Notes"}, compress));
        const std::size_t size = FileBytes("whole.bkp").size();
        for (std::size_t limit = 0; limit < size; ++limit) {
            user().ClearShown();
            ce::SetWriteFailure(limit, "short.bkp");
            bool ok = Backup("short.bkp", {u"Contacts", u"Empty", u"Notes"}, compress);
            ce::ClearWriteFailure();
            EXPECT_FALSE(ok) << compress << " " << limit;
            EXPECT_TRUE(user().WasShown(res::IDS_CANT_WRITE_FILE)) << compress << " " << limit;
            if (std::filesystem::exists(device_.path() / "short.bkp")) {
                EXPECT_TRUE(Verify("short.bkp")) << compress << " " << limit;
            }
            std::filesystem::remove(device_.path() / "short.bkp");
        }
    }
}

class AutobackupTest : public BackupRestoreTest {
protected:
    // A script that backs `names` up into `archive`.
    void WriteScript(const char* archive, std::vector<const char16_t*> names) {
        ScriptHeader header;
        ce::CopyWide(header.archiveName, Path(archive));
        header.databaseCount = static_cast<DWORD>(names.size());
        auto bytes = EncodeScriptHeader(header);
        std::ofstream out(device_.path() / "run.abk", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        for (const char16_t* name : names) {
            auto entry = EncodeScriptEntry(name);
            out.write(reinterpret_cast<const char*>(entry.data()), entry.size());
        }
        ce::CopyWide(settings().scriptName, Path("run.abk"));
    }
    bool Run() {
        BackupArchive archive;
        return archive.RunAutobackup(nullptr);
    }
};

TEST_F(AutobackupTest, ARunWritesTheArchiveAndSaysSo) {
    WriteScript("auto.bkp", {u"Notes", u"Empty"});
    settings().showDialogs = 1;
    ASSERT_TRUE(Run());
    std::vector<std::u16string> names;
    ASSERT_TRUE(Verify("auto.bkp", &names));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Notes", u"Empty"}));
    EXPECT_EQ(user().ShownIds(), std::vector<ce::UINT>{res::IDS_BACKUP_COMPLETE});
    EXPECT_FALSE(std::filesystem::exists(device_.path() / "auto.bkp.new"));
}

TEST_F(AutobackupTest, AFailedRunLeavesThePreviousArchiveByteForByte) {
    WriteScript("auto.bkp", {u"Notes"});
    ASSERT_TRUE(Run());
    const Bytes previous = FileBytes("auto.bkp");
    WriteScript("auto.bkp", {u"Notes", u"Gone"});
    user().Answer(res::IDS_FILE_EXISTS, ce::IDYES);
    EXPECT_FALSE(Run());
    EXPECT_EQ(FileBytes("auto.bkp"), previous);
    EXPECT_FALSE(std::filesystem::exists(device_.path() / "auto.bkp.new"));
    EXPECT_TRUE(user().WasShown(res::IDS_CANT_OPEN_DB));

    // Declining the overwrite question ends the run before anything is written.
    user().Answer(res::IDS_FILE_EXISTS, ce::IDNO);
    EXPECT_FALSE(Run());
    EXPECT_EQ(FileBytes("auto.bkp"), previous);
}

TEST_F(AutobackupTest, AMissingOrDamagedScriptIsString96) {
    ce::CopyWide(settings().scriptName, Path("none.abk"));
    EXPECT_FALSE(Run());
    std::ofstream(device_.path() / "short.abk") << "too short";
    ce::CopyWide(settings().scriptName, Path("short.abk"));
    EXPECT_FALSE(Run());
    // An entry cut short at the end of the file.
    WriteScript("auto.bkp", {u"Notes"});
    std::filesystem::resize_file(device_.path() / "run.abk", kScriptHeaderSize + 10);
    EXPECT_FALSE(Run());
    EXPECT_FALSE(std::filesystem::exists(device_.path() / "auto.bkp"));
    EXPECT_EQ(user().CountShown(res::IDS_SCRIPT_MISSING), 3);
}

}  // namespace

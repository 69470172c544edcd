// The volume file: how it is made, and what happens when it is not ours.

#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>
#include <fstream>

#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "platform/registry/Registry.h"
#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

using ce::device::CheckVolume;
using ce::device::VolumePath;

std::int64_t PragmaValue(const std::string& path, const char* pragma) {
    sqlite3* raw = nullptr;
    sqlite3_open(path.c_str(), &raw);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(raw, pragma, -1, &statement, nullptr);
    std::int64_t value =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(raw);
    return value;
}

void RunSql(const std::string& path, const char* sql) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
}

// Every entry point refuses to work on a bad volume, with the same code.
void ExpectEveryCallFails(DWORD code) {
    EXPECT_EQ(CeCreateDatabase(u"Db", 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), code);
    EXPECT_EQ(CeFindFirstDatabase(0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), code);
    CEOID oid = 0;
    EXPECT_EQ(CeOpenDatabase(&oid, u"Db", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), code);
    CEOIDINFO info{};
    EXPECT_FALSE(CeOidGetInfo(1, &info));
    EXPECT_EQ(GetLastError(), code);
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &key),
              static_cast<LONG>(code));
}

class VolumeTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(device_.path()); }
    testing_support::TempDevice device_;
};

TEST_F(VolumeTest, ANewVolumeIsMarkedAsOursAndUsesWal) {
    std::string error;
    ASSERT_TRUE(CheckVolume(&error)) << error;
    EXPECT_EQ(PragmaValue(VolumePath(), "PRAGMA application_id"), 0x54534C59);
    EXPECT_EQ(PragmaValue(VolumePath(), "PRAGMA user_version"), 2);
    sqlite3* raw = nullptr;
    sqlite3_open(VolumePath().c_str(), &raw);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA journal_mode", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "wal");
    sqlite3_finalize(statement);
    sqlite3_close(raw);
    EXPECT_TRUE(std::filesystem::is_directory(device_.path() / "files" / "My Documents"));
}

TEST_F(VolumeTest, AVolumeOfTheFirstSchemaIsUpgradedKeepingWhatItHolds) {
    CEOID db = CeCreateDatabase(u"Older", 0, 0, nullptr);
    ASSERT_NE(db, 0u);
    CEOID oid = db;
    HANDLE writer = CeOpenDatabase(&oid, nullptr, 0, 0, nullptr);
    CEPROPVAL value = IntProp(kNumber, 1);
    ASSERT_NE(CeWriteRecordProps(writer, 0, 1, &value), 0u);
    CloseHandle(writer);
    ce::device::CloseVolume();
    RunSql(VolumePath(), "ALTER TABLE changes DROP COLUMN span; PRAGMA user_version = 1");

    std::string error;
    ASSERT_TRUE(CheckVolume(&error)) << error;
    EXPECT_EQ(PragmaValue(VolumePath(), "PRAGMA user_version"), 2);
    EXPECT_EQ(PragmaValue(VolumePath(), "SELECT sum(span) FROM changes"), 1);
    // The upgraded log takes batched entries and hands them out.
    HWND window = reinterpret_cast<HWND>(0x41);
    oid = db;
    ScopedHandle watcher(CeOpenDatabase(&oid, nullptr, 0, 0, window));
    ScopedHandle h(CeOpenDatabase(&oid, nullptr, 0, 0, nullptr));
    {
        StoreWriteBatch batch;
        for (int i = 0; i < 4; ++i)
            ASSERT_NE(CeWriteRecordProps(h, 0, 1, &value), 0u);
        ASSERT_TRUE(batch.End());
    }
    EXPECT_EQ(TakeDatabaseNotifications().size(), 4u);
    CEOIDINFO info{};
    ASSERT_TRUE(CeOidGetInfo(db, &info));
    EXPECT_EQ(info.infDatabase.wNumRecords, 5);
}

struct BadVolume {
    const char* name;
    void (*make)(const std::string& path);
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const BadVolume& b) {
    return out << b.name;
}

const BadVolume kBadVolumes[] = {
    {"Garbage",
     [](const std::string& path) {
         std::ofstream out(path, std::ios::binary);
         for (int i = 0; i < 4096; ++i)
             out.put(static_cast<char>(i * 7 + 3));
     },
     "is not a Tessaly volume"},
    {"AnotherApplicationsTables",
     [](const std::string& path) { RunSql(path, "CREATE TABLE notes(id INTEGER, text TEXT)"); },
     "is not a Tessaly volume"},
    {"AnotherApplicationId",
     [](const std::string& path) {
         RunSql(path, "PRAGMA application_id = 1234; CREATE TABLE t(x)");
     },
     "is not a Tessaly volume"},
    {"OursButMissingTables",
     [](const std::string& path) {
         RunSql(path, "PRAGMA application_id = 1414745177; CREATE TABLE databases(x)");
     },
     "is damaged"},
    {"NewerSchema",
     [](const std::string& path) {
         RunSql(path, "PRAGMA application_id = 1414745177; PRAGMA user_version = 99;");
     },
     "newer version"},
};

class BadVolumeTest : public VolumeTest, public ::testing::WithParamInterface<BadVolume> {};

TEST_P(BadVolumeTest, FailsClearlyWithoutTouchingTheFile) {
    GetParam().make(VolumePath());
    auto before = std::filesystem::file_size(VolumePath());
    std::string error;
    EXPECT_FALSE(CheckVolume(&error));
    EXPECT_NE(error.find(VolumePath().string()), std::string::npos) << error;
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    ExpectEveryCallFails(ERROR_BADDB);
    EXPECT_EQ(std::filesystem::file_size(VolumePath()), before);
}

INSTANTIATE_TEST_SUITE_P(Files, BadVolumeTest, ::testing::ValuesIn(kBadVolumes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VolumeTest, ADeviceDirectoryThatCannotBeCreatedFails) {
    std::filesystem::path blocker = device_.path() / "plain-file";
    std::ofstream(blocker) << "x";
    ce::device::SetDeviceDirectory(blocker / "device");
    std::string error;
    EXPECT_FALSE(CheckVolume(&error));
    EXPECT_NE(error.find("cannot create the device directory"), std::string::npos) << error;
    ExpectEveryCallFails(ERROR_ACCESS_DENIED);
}

TEST_F(VolumeTest, AnUnwritableDeviceDirectoryFails) {
    // Permissions do not bind root: check from a child that gives them up.
    ASSERT_TRUE(CheckVolume(nullptr));
    ce::device::CloseVolume();
    std::filesystem::permissions(device_.path(), std::filesystem::perms::owner_all |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::group_exec |
                                                     std::filesystem::perms::others_read |
                                                     std::filesystem::perms::others_exec);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        std::string error;
        bool ok = CheckVolume(&error);
        bool clear = error.find("is not writable") != std::string::npos;
        bool refused =
            CeCreateDatabase(u"Db", 0, 0, nullptr) == 0 && GetLastError() == ERROR_ACCESS_DENIED;
        ::_exit(!ok && clear && refused ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(VolumeTest, ChangingTheDeviceClosesTheVolume) {
    ASSERT_NE(CeCreateDatabase(u"OnFirst", 0, 0, nullptr), 0u);
    std::filesystem::path first = device_.path();
    {
        testing_support::TempDevice second;
        CEOID oid = 0;
        EXPECT_EQ(CeOpenDatabase(&oid, u"OnFirst", 0, 0, nullptr), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
    ce::device::SetDeviceDirectory(first);
    CEOID oid = 0;
    HANDLE h = CeOpenDatabase(&oid, u"OnFirst", 0, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
}

TEST_F(VolumeTest, AVolumeThatBecomesReadableIsUsedAgain) {
    std::ofstream(VolumePath(), std::ios::binary) << std::string(2048, 'z');
    EXPECT_FALSE(CheckVolume(nullptr));
    std::filesystem::remove(VolumePath());
    std::string error;
    EXPECT_TRUE(CheckVolume(&error)) << error;
}

}  // namespace
}  // namespace store_test

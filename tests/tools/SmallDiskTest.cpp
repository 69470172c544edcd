// A device on a small file system, filled with devicectl until the store is
// full: a real tmpfs of 2 MB where the test may mount one (as root, or in a
// user namespace of its own), and always the simulated one of
// $TESSALY_VOLUME_QUOTA.

#include <fcntl.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::ProcessResult;
using testing_support::RunProgram;

constexpr std::uint64_t kFileSystemBytes = 2 << 20;
constexpr std::size_t kRecordBytes = 16384;

enum class SmallDisk { Mounted, Simulated };

const char* Name(SmallDisk disk) {
    return disk == SmallDisk::Mounted ? "Tmpfs" : "Simulated";
}
void PrintTo(SmallDisk disk, std::ostream* out) {
    *out << Name(disk);
}

bool WriteFile(const char* path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out.flush());
}

// Gives this test process a mount namespace of its own (inside a user
// namespace when it is not root), so that the mount is seen only by it and
// the programs it starts. Returns why not when it may not.
std::string EnterMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        int error = errno;
        uid_t uid = ::getuid();
        gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return std::string("no mount namespace: ") + std::strerror(error) +
                   "; no user namespace: " + std::strerror(errno);
        }
        if (!WriteFile("/proc/self/setgroups", "deny") ||
            !WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return "the user namespace's identities cannot be mapped";
        }
    }
    // Mounts made here must not reach the rest of the machine.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("mounts cannot be made private: ") + std::strerror(errno);
    return {};
}

class SmallDiskTest : public ::testing::TestWithParam<SmallDisk> {
protected:
    void SetUp() override {
        device_ = directory_.path() / "device";
        if (GetParam() == SmallDisk::Simulated) {
            env_ = {"TESSALY_DEVICE=" + device_.string(),
                    "TESSALY_VOLUME_QUOTA=" + std::to_string(kFileSystemBytes)};
            return;
        }
        std::string why = EnterMountNamespace();
        std::string size = "size=" + std::to_string(kFileSystemBytes);
        if (why.empty() &&
            ::mount("tmpfs", directory_.path().c_str(), "tmpfs", 0, size.c_str()) != 0) {
            why = std::string("tmpfs cannot be mounted: ") + std::strerror(errno);
        }
        if (!why.empty())
            GTEST_SKIP() << why << " (the simulated file system runs instead)";
        mounted_ = true;
        env_ = {"TESSALY_DEVICE=" + device_.string()};
    }
    void TearDown() override {
        if (mounted_)
            ::umount2(directory_.path().c_str(), MNT_DETACH);
    }

    ProcessResult Run(const std::vector<std::string>& args) {
        return RunProgram(BuiltProgram("devicectl"), args, env_);
    }
    std::string AddRecord() {
        ProcessResult added =
            Run({"add", "Filler", "1:BINARY=" + std::string(2 * kRecordBytes, '7')});
        last_ = added;
        return added.exitCode == 0 ? added.out.substr(0, added.out.find('\n')) : "";
    }
    // The record bytes the store holds, as `info` counts them.
    std::uint64_t StoredBytes() {
        ProcessResult info = Run({"info"});
        std::size_t at = info.out.find("data:");
        return at == std::string::npos ? 0 : std::stoull(info.out.substr(at + 5));
    }
    std::string IntegrityCheck() {
        sqlite3* db = nullptr;
        std::string result = "cannot open";
        if (sqlite3_open_v2((device_ / "objectstore.db").c_str(), &db, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
            if (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW)
                result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return result;
    }

    testing_support::TempDirectory directory_;
    std::filesystem::path device_;
    std::vector<std::string> env_;
    bool mounted_ = false;
    ProcessResult last_;
};

TEST_P(SmallDiskTest, RecordsFillMostOfItAndADeletionMakesRoomAgain) {
    ASSERT_EQ(Run({"create", "Filler"}).exitCode, 0);
    std::string lastRecord;
    int records = 0;
    for (std::string oid = AddRecord(); !oid.empty() && records < 200; oid = AddRecord()) {
        lastRecord = oid;
        ++records;
    }
    ASSERT_NE(last_.exitCode, 0) << "the store never filled";
    EXPECT_NE(last_.err.find("the store is full"), std::string::npos) << last_.err;
    // Each program folded the WAL into the volume when it closed it.
    EXPECT_FALSE(std::filesystem::exists(device_ / "objectstore.db-wal"));

    double ratio = static_cast<double>(StoredBytes()) / kFileSystemBytes;
    RecordProperty("fill_ratio", std::to_string(ratio));
    std::printf("%d records of %zu bytes fill %.1f%% of the %s file system\n", records,
                kRecordBytes, 100 * ratio, Name(GetParam()));
    EXPECT_GE(ratio, 0.80);

    // A full store still takes a deletion, which makes room for a record.
    ProcessResult deleted = Run({"del-record", "Filler", lastRecord});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_FALSE(AddRecord().empty()) << last_.err;
    ProcessResult dropped = Run({"delete", "Filler"});
    EXPECT_EQ(dropped.exitCode, 0) << dropped.err;
    ASSERT_EQ(Run({"create", "Again"}).exitCode, 0);
    EXPECT_EQ(Run({"add", "Again", "1:TEXT=after the deletion"}).exitCode, 0);
    EXPECT_EQ(IntegrityCheck(), "ok");
}

INSTANTIATE_TEST_SUITE_P(FileSystems, SmallDiskTest,
                         ::testing::Values(SmallDisk::Mounted, SmallDisk::Simulated),
                         [](const ::testing::TestParamInfo<SmallDisk>& info) {
                             return std::string(Name(info.param));
                         });

}  // namespace

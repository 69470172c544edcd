// The object store shared with real second processes (objectstore_peer).

#include <sqlite3.h>

#include <csignal>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "platform/device/DeviceDirectory.h"
#include "tests/platform/objectstore/StoreTestSupport.h"
#include "tests/support/Process.h"

namespace store_test {
namespace {

using testing_support::BackgroundProcess;
using testing_support::BuiltProgram;
using testing_support::RunProgram;

class MultiProcessTest : public StoreTest {
protected:
    std::vector<std::string> Env() const { return {device_.EnvAssignment()}; }
    testing_support::ProcessResult Peer(std::vector<std::string> args,
                                        std::vector<std::string> extraEnv = {}) {
        std::vector<std::string> env = Env();
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        return RunProgram(BuiltProgram("objectstore_peer"), args, env);
    }
};

std::vector<CEOID> Ids(const std::string& output) {
    std::vector<CEOID> ids;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) {
            ids.push_back(static_cast<CEOID>(std::stoul(line)));
        }
    }
    return ids;
}

TEST_F(MultiProcessTest, NotificationsArriveFromAnotherProcess) {
    CEOID db = Create(u"Shared");
    HWND window = reinterpret_cast<HWND>(0x42);
    ScopedHandle watcher(Open(db, 0, 0, window));
    Write(watcher, {IntProp(kNumber, 1)});  // own write: no notification

    auto result = Peer({"churn", "Shared"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    CEOID record = static_cast<CEOID>(std::stoul(result.out.substr(result.out.find(' ') + 1)));

    std::vector<DatabaseNotification> due = TakeDatabaseNotifications();
    ASSERT_EQ(due.size(), 3u);
    UINT expected[3] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(due[i].window, window);
        EXPECT_EQ(due[i].message, expected[i]);
        EXPECT_EQ(due[i].object, record);
        EXPECT_EQ(due[i].parent, db);
    }
    EXPECT_TRUE(TakeDatabaseNotifications().empty());
}

TEST_F(MultiProcessTest, DeletionWaitsForAnotherProcessToLetGo) {
    CEOID db = Create(u"Held");
    BackgroundProcess holder(BuiltProgram("objectstore_peer"), {"hold", "Held", "2"}, Env());
    ASSERT_TRUE(holder.WaitForOutput("open"));
    EXPECT_FALSE(CeDeleteDatabase(db));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(holder.Wait(), 0);
    EXPECT_TRUE(CeDeleteDatabase(db));
}

TEST_F(MultiProcessTest, AKilledHolderLeavesNoLockBehind) {
    CEOID db = Create(u"Held");
    BackgroundProcess holder(BuiltProgram("objectstore_peer"), {"hold", "Held", "60"}, Env());
    ASSERT_TRUE(holder.WaitForOutput("open"));
    EXPECT_FALSE(CeDeleteDatabase(db));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    holder.Signal(SIGKILL);
    EXPECT_EQ(holder.Wait(), 128 + SIGKILL);
    EXPECT_TRUE(CeDeleteDatabase(db)) << GetLastError();
}

TEST_F(MultiProcessTest, ConcurrentWritersNeverSeeABusyVolume) {
    CEOID db = Create(u"Busy");
    BackgroundProcess first(BuiltProgram("objectstore_peer"), {"write", "Busy", "1500"}, Env());
    BackgroundProcess second(BuiltProgram("objectstore_peer"), {"write", "Busy", "1500"}, Env());
    {
        ScopedHandle h(Open(db));
        for (int i = 0; i < 1500; ++i) {
            CEPROPVAL v = IntProp(kNumber, i);
            ASSERT_NE(CeWriteRecordProps(h, 0, 1, &v), 0u) << GetLastError();
        }
    }
    EXPECT_EQ(first.Wait(), 0) << first.output();
    EXPECT_EQ(second.Wait(), 0) << second.output();
    std::vector<CEOID> ids = Ids(first.output());
    std::vector<CEOID> more = Ids(second.output());
    ids.insert(ids.end(), more.begin(), more.end());
    EXPECT_EQ(std::set<CEOID>(ids.begin(), ids.end()).size(), 3000u);
    EXPECT_EQ(Info(db).wNumRecords, 4500);
}

TEST_F(MultiProcessTest, WritesThatReturnedSurviveAKill) {
    CEOID db = Create(u"Crash");
    BackgroundProcess writer(BuiltProgram("objectstore_peer"), {"write", "Crash", "1000000"},
                             Env());
    // Let it get well into the run, then kill it mid-write. On a fresh
    // volume its records take the identifiers after the database's.
    std::string marker = "\n";
    marker += std::to_string(db + 300);
    marker += '\n';
    ASSERT_TRUE(writer.WaitForOutput(marker, 60));
    writer.Signal(SIGKILL);
    EXPECT_EQ(writer.Wait(), 128 + SIGKILL);
    std::vector<CEOID> ids = Ids(writer.output());
    ASSERT_GE(ids.size(), 300u);

    ScopedHandle h(Open(db));
    for (CEOID id : ids) {
        ASSERT_EQ(CeSeekDatabase(h, CEDB_SEEK_CEOID, id, nullptr), id) << "lost record " << id;
    }
    EXPECT_GE(Info(db).wNumRecords, ids.size());
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(ce::device::VolumePath().c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(raw);
}

TEST_F(MultiProcessTest, ChangesByAnotherProcessAreSeenAtOnce) {
    CEOID db = Create(u"Seen");
    CEOID gone = Create(u"Gone");
    ScopedHandle h(Open(db));
    CEOID mine = Write(h, {IntProp(kNumber, 1)});
    ASSERT_EQ(CeSeekDatabase(h, CEDB_SEEK_END, 0, nullptr), mine);  // order and records kept
    CEOID probe = 0;
    HANDLE named = CeOpenDatabase(&probe, u"Gone", 0, 0, nullptr);  // the name is looked up
    ASSERT_NE(named, INVALID_HANDLE_VALUE);
    CloseHandle(named);

    auto result = Peer({"write", "Seen", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    CEOID theirs = Ids(result.out).at(0);
    DWORD index = 0;
    EXPECT_EQ(CeSeekDatabase(h, CEDB_SEEK_END, 0, &index), theirs);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(Info(db).wNumRecords, 2);

    result = Peer({"delete", "Gone"});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    probe = 0;
    EXPECT_EQ(CeOpenDatabase(&probe, u"Gone", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    CEOIDINFO info{};
    EXPECT_FALSE(CeOidGetInfo(gone, &info));
}

TEST_F(MultiProcessTest, TheFailingWritesVariableLimitsAnotherProcess) {
    Create(u"Limited");
    auto result = Peer({"write", "Limited", "10"}, {"TESSALY_FAIL_STORE_WRITES_AFTER=3"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Ids(result.out).size(), 3u);
    EXPECT_NE(result.out.find("error write 112"), std::string::npos) << result.out;
}

TEST_F(MultiProcessTest, AGarbageVolumeStopsAnotherProgramWithAMessage) {
    std::filesystem::create_directories(device_.path());
    std::ofstream(ce::device::VolumePath(), std::ios::binary) << std::string(5000, '\x07');
    auto result = Peer({"create", "X"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("is not a Tessaly volume"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace store_test

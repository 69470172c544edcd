// The bookkeeping of record writes inside a write batch (counts, sizes,
// change log, identifiers) is held back until each commit: after it, the
// volume must hold exactly what the same writes made one by one leave, as
// another connection or process sees it; a lost batch must leave nothing.

#include <sqlite3.h>

#include <set>
#include <sstream>

#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "tests/platform/objectstore/StoreTestSupport.h"
#include "tests/support/Process.h"

namespace store_test {
namespace {

// What another connection sees committed of one database.
struct Committed {
    std::int64_t records = -1;        // rows in the records table
    std::int64_t counted = -1;        // the catalogue's record_count
    std::int64_t size = -1;           // the catalogue's size
    std::int64_t version = -1;        // the catalogue's version
    std::vector<std::int64_t> log;    // change-log entries: record ids in order
    std::vector<std::int64_t> kinds;  // their messages
    std::int64_t rows = 0;            // the log's rows for them
    bool operator==(const Committed&) const = default;
};

class BatchedBookkeepingTest : public StoreTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(device::CheckVolume(nullptr));  // made on first use
        ASSERT_EQ(
            sqlite3_open_v2(device::VolumePath().c_str(), &other_, SQLITE_OPEN_READWRITE, nullptr),
            SQLITE_OK);
        sqlite3_busy_timeout(other_, 10000);
    }
    void TearDown() override {
        sqlite3_close(other_);
        StoreTest::TearDown();
    }

    std::int64_t One(const char* sql, CEOID db) {
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(other_, sql, -1, &query, nullptr);
        sqlite3_bind_int64(query, 1, db);
        std::int64_t value =
            sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int64(query, 0) : -1;
        sqlite3_finalize(query);
        return value;
    }
    Committed Seen(CEOID db) {
        Committed c;
        c.records = One("SELECT count(*) FROM records WHERE db = ?", db);
        c.counted = One("SELECT record_count FROM databases WHERE oid = ?", db);
        c.size = One("SELECT size FROM databases WHERE oid = ?", db);
        c.version = One("SELECT version FROM databases WHERE oid = ?", db);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(other_,
                           "SELECT record, kind, span FROM changes WHERE db = ? ORDER BY seq", -1,
                           &query, nullptr);
        sqlite3_bind_int64(query, 1, db);
        // A row with a span stands for the records that follow its own.
        while (sqlite3_step(query) == SQLITE_ROW) {
            for (std::int64_t i = 0; i < sqlite3_column_int64(query, 2); ++i) {
                c.log.push_back(sqlite3_column_int64(query, 0) + i);
                c.kinds.push_back(sqlite3_column_int64(query, 1));
            }
            ++c.rows;
        }
        sqlite3_finalize(query);
        return c;
    }
    // The same mix of writes: creations with texts of growing length, and a
    // change of an earlier record that grows it. Returns the record ids in
    // the order the log should have them.
    std::vector<std::int64_t> Mix(HANDLE h, int count) {
        std::vector<std::int64_t> order;
        std::u16string text;
        CEOID first = 0;
        for (int i = 0; i < count; ++i) {
            text += u'x';
            CEOID id = Write(h, {IntProp(kNumber, i), TextProp(kName, text.c_str())});
            if (first == 0)
                first = id;
            order.push_back(id);
            if (i % 7 == 3) {
                Write(h, {TextProp(kName, u"a longer text than before")}, first);
                order.push_back(first);
            }
        }
        return order;
    }
    // Identifiers differ between two runs, and batched entries share rows;
    // the rest must agree.
    static Committed WithoutIds(Committed c) {
        c.log.clear();
        c.rows = 0;
        return c;
    }

    sqlite3* other_ = nullptr;
};

TEST_F(BatchedBookkeepingTest, ACommittedBatchLeavesWhatSingleWritesLeave) {
    CEOID single = Create(u"Single");
    CEOID batched = Create(u"Batched");
    {
        ScopedHandle h(Open(single));
        Mix(h, 40);
    }
    std::vector<std::int64_t> order;
    {
        ScopedHandle h(Open(batched));
        StoreWriteBatch batch;
        order = Mix(h, 40);
        // Until the commit another connection sees nothing of them.
        Committed before = Seen(batched);
        EXPECT_EQ(before.records, 0);
        EXPECT_EQ(before.counted, 0);
        EXPECT_EQ(before.version, 0);
        EXPECT_TRUE(before.log.empty());
        // This process sees its own writes in the catalogue meanwhile.
        EXPECT_EQ(Info(batched).wNumRecords, 40);
        EXPECT_EQ(Info(batched).dwSize, Info(single).dwSize);
        ASSERT_TRUE(batch.End());
    }
    Committed a = Seen(single), b = Seen(batched);
    EXPECT_EQ(WithoutIds(a), WithoutIds(b));
    EXPECT_EQ(b.records, 40);
    EXPECT_EQ(b.counted, 40);
    EXPECT_EQ(b.log, order);
    EXPECT_EQ(Info(batched).wNumRecords, 40);
    EXPECT_EQ(Info(batched).dwSize, Info(single).dwSize);
}

TEST_F(BatchedBookkeepingTest, EachCommitOfALongBatchIsCompleteInItself) {
    CEOID db = Create(u"Steps");
    ScopedHandle h(Open(db));
    StoreWriteBatch batch;
    for (int step = 1; step <= 3; ++step) {
        for (int i = 0; i < 5; ++i)
            Write(h, {IntProp(kNumber, i)});
        ASSERT_TRUE(batch.Commit());
        Committed seen = Seen(db);
        EXPECT_EQ(seen.records, 5 * step);
        EXPECT_EQ(seen.counted, 5 * step);
        EXPECT_EQ(seen.version, 5 * step);
        EXPECT_EQ(seen.log.size(), static_cast<std::size_t>(5 * step));
    }
    EXPECT_TRUE(batch.End());
}

TEST_F(BatchedBookkeepingTest, OtherWritesInsideTheBatchSeeTheCountsSoFar) {
    CEOID db = Create(u"Mixed");
    ScopedHandle h(Open(db));
    StoreWriteBatch batch;
    CEOID doomed = Write(h, {IntProp(kNumber, 1)});
    Write(h, {IntProp(kNumber, 2)});
    // A deletion and a rename are written as SQL has the catalogue: the
    // held-back counts go in first.
    ASSERT_TRUE(CeDeleteRecord(h, doomed));
    CEDBASEINFO rename{};
    rename.dwFlags = CEDB_VALIDNAME;
    std::u16string name = u"Renamed";
    std::copy(name.begin(), name.end() + 1, rename.szDbaseName);
    ASSERT_TRUE(CeSetDatabaseInfo(db, &rename));
    Write(h, {IntProp(kNumber, 3)});
    ASSERT_TRUE(batch.End());
    Committed seen = Seen(db);
    EXPECT_EQ(seen.records, 2);
    EXPECT_EQ(seen.counted, 2);
    EXPECT_EQ(seen.kinds, (std::vector<std::int64_t>{DB_CEOID_CREATED, DB_CEOID_CREATED,
                                                     DB_CEOID_RECORD_DELETED, DB_CEOID_CREATED}));
    EXPECT_EQ(Info(db).wNumRecords, 2);
}

TEST_F(BatchedBookkeepingTest, ALostBatchLeavesNeitherCountsNorLogEntries) {
    CEOID db = Create(u"Lost");
    ScopedHandle h(Open(db));
    CEOID before = Write(h, {IntProp(kNumber, 0)});
    Committed kept = Seen(db);
    std::vector<CEOID> lost;
    {
        StoreWriteBatch batch;
        for (int i = 0; i < 5; ++i)
            lost.push_back(Write(h, {IntProp(kNumber, i)}));
        device::AccessVolume([](device::Volume& volume) -> DWORD {
            sqlite3_exec(volume.connection(), "ROLLBACK", nullptr, nullptr, nullptr);
            return ERROR_SUCCESS;
        });
        EXPECT_FALSE(batch.End());
    }
    EXPECT_EQ(Seen(db), kept);
    EXPECT_EQ(Info(db).wNumRecords, 1);
    // The next writes, batched or not, count from what is there.
    CEOID after = Write(h, {IntProp(kNumber, 9)});
    EXPECT_GT(after, before);
    {
        StoreWriteBatch batch;
        Write(h, {IntProp(kNumber, 10)});
        ASSERT_TRUE(batch.End());
    }
    Committed seen = Seen(db);
    EXPECT_EQ(seen.records, 3);
    EXPECT_EQ(seen.counted, 3);
    EXPECT_EQ(seen.log.size(), 3u);
}

TEST_F(BatchedBookkeepingTest, ANotifiedHandleHearsEveryBatchedWriteAfterTheCommit) {
    CEOID db = Create(u"Heard");
    HWND window = reinterpret_cast<HWND>(0x31);
    ScopedHandle watcher(Open(db, 0, 0, window));
    ScopedHandle writer(Open(db));
    {
        StoreWriteBatch batch;
        for (int i = 0; i < 12; ++i)
            Write(writer, {IntProp(kNumber, i)});
        EXPECT_TRUE(TakeDatabaseNotifications().empty());
        ASSERT_TRUE(batch.End());
    }
    std::vector<DatabaseNotification> due = TakeDatabaseNotifications();
    ASSERT_EQ(due.size(), 12u);
    for (const DatabaseNotification& n : due)
        EXPECT_EQ(n.message, static_cast<UINT>(DB_CEOID_CREATED));
    EXPECT_LT(Seen(db).rows, 12) << "a run of creations shares log rows";

    // A handle opened while a batch holds entries back starts after them,
    // though they share a row with the ones it hears.
    std::vector<CEOID> written;
    StoreWriteBatch batch;
    for (int i = 0; i < 3; ++i)
        written.push_back(Write(writer, {IntProp(kNumber, 99)}));
    HWND lateWindow = reinterpret_cast<HWND>(0x32);
    ScopedHandle late(Open(db, 0, 0, lateWindow));
    for (int i = 0; i < 3; ++i)
        written.push_back(Write(writer, {IntProp(kNumber, 100)}));
    ASSERT_TRUE(batch.End());
    std::vector<CEOID> heardEarly, heardLate;
    for (const DatabaseNotification& n : TakeDatabaseNotifications())
        (n.window == lateWindow ? heardLate : heardEarly).push_back(n.object);
    EXPECT_EQ(heardEarly, written);
    EXPECT_EQ(heardLate, std::vector<CEOID>(written.begin() + 3, written.end()));
}

TEST_F(BatchedBookkeepingTest, IdentifiersStayUniqueWithAnotherProcessWriting) {
    CEOID db = Create(u"Shared");
    testing_support::BackgroundProcess peer(testing_support::BuiltProgram("objectstore_peer"),
                                            {"write", "Shared", "600"}, {device_.EnvAssignment()});
    std::set<CEOID> ours;
    {
        ScopedHandle h(Open(db));
        StoreWriteBatch batch;
        for (int i = 0; i < 600; ++i) {
            ours.insert(Write(h, {IntProp(kNumber, i)}));
            if (i % 50 == 49) {
                ASSERT_TRUE(batch.Commit());  // lets the other process in
            }
        }
        ASSERT_TRUE(batch.End());
    }
    ASSERT_EQ(peer.Wait(), 0) << peer.output();
    EXPECT_EQ(ours.size(), 600u);
    std::istringstream lines(peer.output());
    std::string line;
    int theirs = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])))
            continue;
        ++theirs;
        EXPECT_EQ(ours.count(static_cast<CEOID>(std::stoul(line))), 0u) << line;
    }
    EXPECT_EQ(theirs, 600);
    Committed seen = Seen(db);
    EXPECT_EQ(seen.records, 1200);
    EXPECT_EQ(seen.counted, 1200);
    EXPECT_EQ(std::set<std::int64_t>(seen.log.begin(), seen.log.end()).size(), 1200u);
}

}  // namespace
}  // namespace store_test

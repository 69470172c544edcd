// Write batches: many writes sharing transactions, as another connection
// to the volume (another process) sees them, and what happens when the
// store is full or the transaction is lost under the batch.

#include <sqlite3.h>

#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/StoreWriteBatch.h"
#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

class WriteBatchTest : public StoreTest {
protected:
    void SetUp() override {
        db_ = Create(u"Batched");
        h_ = Open(db_);
        ASSERT_EQ(
            sqlite3_open_v2(device::VolumePath().c_str(), &other_, SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
    }
    void TearDown() override {
        sqlite3_close(other_);
        CloseHandle(h_);
        StoreTest::TearDown();
    }

    // The records of the database that another connection sees committed.
    std::int64_t CommittedRecords() {
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(other_, "SELECT count(*) FROM records WHERE db = ?", -1, &query,
                           nullptr);
        sqlite3_bind_int64(query, 1, db_);
        std::int64_t count =
            sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int64(query, 0) : -1;
        sqlite3_finalize(query);
        return count;
    }
    // The records a fresh handle walks, and the count the catalogue keeps.
    std::pair<int, int> Walked() {
        ScopedHandle fresh(Open(db_));
        int walked = 0;
        for (CEOID at = CeSeekDatabase(fresh, CEDB_SEEK_BEGINNING, 0, nullptr); at != 0;
             at = CeSeekDatabase(fresh, CEDB_SEEK_CURRENT, 1, nullptr))
            ++walked;
        return {walked, Info(db_).wNumRecords};
    }
    void WriteNumbers(int from, int to) {
        for (int i = from; i < to; ++i)
            Write(h_, {IntProp(kNumber, i)});
    }
    // Caps the volume where it is now: the next large record finds it full.
    void CapVolume() {
        device::AccessVolume([](device::Volume& volume) -> DWORD {
            std::int64_t pages = 0;
            device::ExecInt(volume.connection(), "PRAGMA page_count", &pages);
            std::string cap = "PRAGMA max_page_count = " + std::to_string(pages);
            device::ExecInt(volume.connection(), cap.c_str(), nullptr);
            return ERROR_SUCCESS;
        });
    }
    CEOID WriteLarge() {
        std::vector<BYTE> bytes(60000, 3);
        CEPROPVAL blob{};
        blob.propid = kData;
        blob.val.blob = {static_cast<DWORD>(bytes.size()), bytes.data()};
        return CeWriteRecordProps(h_, 0, 1, &blob);
    }
    // Ends the transaction under the batch, as SQLite does by itself after
    // some I/O errors.
    void LoseTransaction() {
        device::AccessVolume([](device::Volume& volume) -> DWORD {
            sqlite3_exec(volume.connection(), "ROLLBACK", nullptr, nullptr, nullptr);
            return ERROR_SUCCESS;
        });
    }

    CEOID db_ = 0;
    HANDLE h_ = INVALID_HANDLE_VALUE;
    sqlite3* other_ = nullptr;
};

TEST_F(WriteBatchTest, WritesBecomeVisibleToOthersWhenTheBatchCommits) {
    StoreWriteBatch batch;
    WriteNumbers(0, 5);
    EXPECT_EQ(CommittedRecords(), 0);
    EXPECT_EQ(Walked(), std::make_pair(5, 5));  // this process reads its own writes
    ASSERT_TRUE(batch.Commit());
    EXPECT_EQ(CommittedRecords(), 5);
    WriteNumbers(5, 8);
    ASSERT_TRUE(batch.End());
    EXPECT_EQ(CommittedRecords(), 8);
    EXPECT_TRUE(batch.End());  // once ended, nothing more happens
}

TEST_F(WriteBatchTest, ALongBatchCommitsAThousandWritesAtATime) {
    StoreWriteBatch batch;
    WriteNumbers(0, static_cast<int>(device::Volume::kBatchWrites) + 10);
    // At the latest the thousandth write commits (a slow run commits sooner,
    // by the batch's age, and counts its thousand from there).
    EXPECT_GT(CommittedRecords(), 0);
    batch.End();
    EXPECT_EQ(CommittedRecords(), static_cast<std::int64_t>(device::Volume::kBatchWrites) + 10);
}

TEST_F(WriteBatchTest, ANestedBatchCommitsOnlyWithTheOutermost) {
    StoreWriteBatch outer;
    WriteNumbers(0, 2);
    {
        StoreWriteBatch inner;
        WriteNumbers(2, 4);
        EXPECT_TRUE(inner.End());
    }
    EXPECT_EQ(CommittedRecords(), 0);
    EXPECT_TRUE(outer.End());
    EXPECT_EQ(CommittedRecords(), 4);
}

TEST_F(WriteBatchTest, DeletionsAndSortOrderChangesAreCommittedAtOnce) {
    // Both are made under locks that other processes rely on.
    CEOID doomed = Create(u"Doomed", {{kNumber, 0}});
    StoreWriteBatch batch;
    WriteNumbers(0, 2);
    CEDBASEINFO info{};
    info.dwFlags = CEDB_VALIDSORTSPEC;
    info.wNumSortOrder = 0;
    ASSERT_TRUE(CeSetDatabaseInfo(doomed, &info));
    EXPECT_EQ(CommittedRecords(), 2);
    WriteNumbers(2, 3);
    ASSERT_TRUE(CeDeleteDatabase(doomed));
    EXPECT_EQ(CommittedRecords(), 3);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(other_, "SELECT count(*) FROM databases WHERE oid = ?", -1, &query, nullptr);
    sqlite3_bind_int64(query, 1, doomed);
    ASSERT_EQ(sqlite3_step(query), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int64(query, 0), 0);
    sqlite3_finalize(query);
    EXPECT_TRUE(batch.End());
}

TEST_F(WriteBatchTest, AFailedWriteIsUndoneAloneAndTheBatchGoesOn) {
    StoreWriteBatch batch;
    WriteNumbers(0, 2);
    // Too large for a record: refused after its properties were checked.
    std::vector<BYTE> huge(CEDB_MAXRECORDSIZE + 1, 7);
    CEPROPVAL blob{};
    blob.propid = kData;
    blob.val.blob = {static_cast<DWORD>(huge.size()), huge.data()};
    EXPECT_EQ(CeWriteRecordProps(h_, 0, 1, &blob), 0u);
    WriteNumbers(2, 3);
    ASSERT_TRUE(batch.End());
    EXPECT_EQ(CommittedRecords(), 3);
    EXPECT_EQ(Walked(), std::make_pair(3, 3));
}

TEST_F(WriteBatchTest, AFullStoreIsMadeRoomForAsOutsideABatch) {
    StoreWriteBatch batch;
    CapVolume();
    EXPECT_NE(WriteLarge(), 0u) << GetLastError();
    WriteNumbers(0, 2);
    ASSERT_TRUE(batch.End());
    EXPECT_EQ(Walked(), std::make_pair(3, 3));
}

TEST_F(WriteBatchTest, AFullStoreWithWritesPendingKeepsThemAllOrFailsTheBatch) {
    StoreWriteBatch batch;
    WriteNumbers(0, 3);
    CapVolume();
    if (WriteLarge() != 0) {
        // SQLite undid the one statement: the batch's writes were committed
        // to make room, and the write tried again.
        EXPECT_EQ(CommittedRecords(), 4);
        EXPECT_TRUE(batch.End());
    } else {
        // SQLite ended the transaction: the three are gone, and the batch
        // says so instead of writing on over the hole.
        EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
        EXPECT_EQ(CeWriteRecordProps(h_, 0, 0, nullptr), 0u);
        EXPECT_FALSE(batch.End());
        EXPECT_EQ(CommittedRecords(), 0);
    }
    auto [walked, counted] = Walked();
    EXPECT_EQ(walked, counted);
    EXPECT_EQ(walked, CommittedRecords());
    Write(h_, {IntProp(kNumber, 9)});  // the store takes writes again
}

TEST_F(WriteBatchTest, ALostTransactionFailsTheBatchAndLeavesNoTrace) {
    Write(h_, {IntProp(kNumber, -1)});  // before the batch: stays
    HANDLE watcher = Open(db_, 0, 0, reinterpret_cast<HWND>(0x20));
    TakeDatabaseNotifications();
    {
        StoreWriteBatch batch;
        WriteNumbers(0, 3);
        // Nothing is announced while it may still be rolled back.
        EXPECT_TRUE(TakeDatabaseNotifications().empty());
        ASSERT_EQ(CeSeekDatabase(watcher, CEDB_SEEK_END, 0, nullptr) != 0, true);
        LoseTransaction();
        EXPECT_EQ(CeWriteRecordProps(h_, 0, 0, nullptr), 0u);
        EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
        EXPECT_EQ(CeWriteRecordProps(h_, 0, 0, nullptr), 0u);  // and every one after
        EXPECT_FALSE(batch.End());
        EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    }
    EXPECT_EQ(CommittedRecords(), 1);
    EXPECT_EQ(Walked(), std::make_pair(1, 1));
    // The handle that had read the lost records walks what is there.
    DWORD index = 99;
    EXPECT_NE(CeSeekDatabase(watcher, CEDB_SEEK_END, 0, &index), 0u);
    EXPECT_EQ(index, 0u);
    // Writes after the batch are announced, though the lost ones had used
    // the change log's numbers first.
    EXPECT_TRUE(TakeDatabaseNotifications().empty());
    ScopedHandle writer(Open(db_));
    Write(writer, {IntProp(kNumber, 7)});
    EXPECT_EQ(TakeDatabaseNotifications().size(), 1u);
    // A new batch starts clean.
    StoreWriteBatch again;
    WriteNumbers(0, 2);
    EXPECT_TRUE(again.End());
    EXPECT_EQ(CommittedRecords(), 4);
    CloseHandle(watcher);
}

TEST_F(WriteBatchTest, AMessageToTheUserCommitsWhatTheBatchHolds) {
    StoreWriteBatch batch;
    WriteNumbers(0, 2);
    CommitStoreWriteBatch();
    EXPECT_EQ(CommittedRecords(), 2);
    WriteNumbers(2, 3);
    EXPECT_TRUE(batch.End());
    EXPECT_EQ(CommittedRecords(), 3);
}

}  // namespace
}  // namespace store_test

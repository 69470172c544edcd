// Change notifications between handles of one process (other processes:
// MultiProcessTest).

#include <sqlite3.h>

#include "platform/device/DeviceDirectory.h"
#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

HWND Window(std::uintptr_t n) {
    return reinterpret_cast<HWND>(n);
}

class NotificationTest : public StoreTest {
protected:
    void SetUp() override {
        db_ = Create(u"Watched");
        watcher_ = Open(db_, 0, 0, Window(0x10));
        writer_ = Open(db_);
        TakeDatabaseNotifications();
    }
    void TearDown() override {
        CloseHandle(watcher_);
        CloseHandle(writer_);
        StoreTest::TearDown();
    }
    CEOID db_ = 0;
    HANDLE watcher_ = INVALID_HANDLE_VALUE;
    HANDLE writer_ = INVALID_HANDLE_VALUE;
};

TEST_F(NotificationTest, OtherHandlesChangesArriveInOrder) {
    CEOID record = Write(writer_, {IntProp(kNumber, 1)});
    Write(writer_, {IntProp(kNumber, 2)}, record);
    ASSERT_TRUE(CeDeleteRecord(writer_, record));
    std::vector<DatabaseNotification> due = TakeDatabaseNotifications();
    ASSERT_EQ(due.size(), 3u);
    UINT expected[3] = {DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(due[i].window, Window(0x10));
        EXPECT_EQ(due[i].message, expected[i]);
        EXPECT_EQ(due[i].object, record);
        EXPECT_EQ(due[i].parent, db_);
    }
    EXPECT_TRUE(TakeDatabaseNotifications().empty());  // each is handed out once
}

TEST_F(NotificationTest, OwnWritesAndOtherDatabasesGiveNone) {
    Write(watcher_, {IntProp(kNumber, 1)});
    CEOID other = Create(u"Elsewhere");
    {
        ScopedHandle h(Open(other));
        Write(h, {IntProp(kNumber, 1)});
    }
    EXPECT_TRUE(TakeDatabaseNotifications().empty());
}

TEST_F(NotificationTest, HandlesWithoutAWindowAndClosedHandlesGetNothing) {
    HANDLE second = Open(db_, 0, 0, Window(0x20));
    ASSERT_TRUE(CloseHandle(second));
    Write(writer_, {IntProp(kNumber, 1)});
    std::vector<DatabaseNotification> due = TakeDatabaseNotifications();
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].window, Window(0x10));
}

TEST_F(NotificationTest, TheChangeLogStaysBounded) {
    std::size_t delivered = 0;
    for (int i = 0; i < 9000; ++i) {
        CEPROPVAL v = IntProp(kNumber, i);
        ASSERT_NE(CeWriteRecordProps(writer_, 0, 1, &v), 0u);
        if (i % 1000 == 999)
            delivered += TakeDatabaseNotifications().size();
    }
    EXPECT_EQ(delivered, 9000u);  // a process that polls loses nothing
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(ce::device::VolumePath().c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(raw, "SELECT count(*) FROM changes", -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_LE(sqlite3_column_int(count, 0), 8192 + 256);
    sqlite3_finalize(count);
    sqlite3_close(raw);
}

}  // namespace
}  // namespace store_test

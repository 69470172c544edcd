// The seek pointer: every seek type, both ends, and what moves it.

#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

class SeekTest : public StoreTest {
protected:
    void SetUp() override {
        db_ = Create(u"Walk");
        HANDLE h = Open(db_);
        for (LONG v = 0; v < 4; ++v)
            oids_.push_back(Write(h, {IntProp(kNumber, v)}));
        CloseHandle(h);
        h_ = Open(db_);
    }
    void TearDown() override {
        CloseHandle(h_);
        StoreTest::TearDown();
    }
    CEOID Current() {
        ReadBack back;
        return ReadCurrent(h_, &back) ? back.oid : 0;
    }
    CEOID db_ = 0;
    HANDLE h_ = INVALID_HANDLE_VALUE;
    std::vector<CEOID> oids_;
};

TEST_F(SeekTest, StartsOnTheFirstRecord) {
    EXPECT_EQ(Current(), oids_[0]);
}

TEST_F(SeekTest, SeeksFromBothEndsAndTheCurrentRecord) {
    struct Step {
        DWORD type;
        DWORD value;
        int expected;  // index into oids_
    } steps[] = {
        {CEDB_SEEK_BEGINNING, 0, 0},
        {CEDB_SEEK_BEGINNING, 2, 2},
        {CEDB_SEEK_END, 0, 3},
        {CEDB_SEEK_END, 3, 0},
        {CEDB_SEEK_CURRENT, 2, 2},
        {CEDB_SEEK_CURRENT, 0, 2},
        {CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), 1},
    };
    for (const Step& s : steps) {
        DWORD index = 99;
        EXPECT_EQ(CeSeekDatabase(h_, s.type, s.value, &index), oids_[s.expected]);
        EXPECT_EQ(index, static_cast<DWORD>(s.expected));
        EXPECT_EQ(Current(), oids_[s.expected]);
    }
    DWORD index = 99;
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CEOID, oids_[3], &index), oids_[3]);
    EXPECT_EQ(index, 3u);
}

TEST_F(SeekTest, SeeksPastEitherEndFailAndLeaveThePointer) {
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 1, nullptr), oids_[1]);
    struct Step {
        DWORD type;
        DWORD value;
    } steps[] = {{CEDB_SEEK_BEGINNING, 4},
                 {CEDB_SEEK_END, 4},
                 {CEDB_SEEK_CURRENT, 3},
                 {CEDB_SEEK_CURRENT, static_cast<DWORD>(-2)},
                 {CEDB_SEEK_BEGINNING, 0xFFFFFFFF}};
    for (const Step& s : steps) {
        DWORD index = 77;
        EXPECT_EQ(CeSeekDatabase(h_, s.type, s.value, &index), 0u);
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
        EXPECT_EQ(index, 77u);
        EXPECT_EQ(Current(), oids_[1]);
    }
}

TEST_F(SeekTest, IdentifierSeeksRejectOtherRecords) {
    CEOID other = Create(u"Other");
    CEOID foreign = 0;
    {
        ScopedHandle h(Open(other));
        foreign = Write(h, {IntProp(kNumber, 9)});
    }
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 2, nullptr), oids_[2]);
    ASSERT_TRUE(CeDeleteRecord(h_, oids_[0]));
    for (CEOID bad : {foreign, oids_[0], CEOID{0}, db_, foreign + 100}) {
        EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CEOID, bad, nullptr), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(Current(), oids_[2]);
    EXPECT_EQ(CeSeekDatabase(h_, 0x40, 0, nullptr), 0u);  // value seeks are not offered
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(SeekTest, EmptyDatabasesHaveNoCurrentRecord) {
    CEOID empty = Create(u"Empty");
    ScopedHandle h(Open(empty));
    ReadBack back;
    EXPECT_FALSE(ReadCurrent(h, &back));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    for (DWORD type : {CEDB_SEEK_BEGINNING, CEDB_SEEK_END, CEDB_SEEK_CURRENT}) {
        EXPECT_EQ(CeSeekDatabase(h, type, 0, nullptr), 0u);
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    }
    // Creating a record does not move the pointer onto it.
    CEOID created = Write(h, {IntProp(kNumber, 1)});
    EXPECT_FALSE(ReadCurrent(h, &back));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(CeSeekDatabase(h, CEDB_SEEK_CURRENT, 1, nullptr), created);
}

TEST_F(SeekTest, CreatingRecordsLeavesThePointerOnItsRecord) {
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_END, 0, nullptr), oids_[3]);
    CEOID created = Write(h_, {IntProp(kNumber, 7)});
    EXPECT_EQ(Current(), oids_[3]);
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CURRENT, 1, nullptr), created);
}

TEST_F(SeekTest, AutoIncrementReadsMoveOn) {
    ScopedHandle h(Open(db_, 0, CEDB_AUTOINCREMENT));
    std::vector<CEOID> read;
    ReadBack back;
    while (ReadCurrent(h, &back)) {
        read.push_back(back.oid);
        LocalFree(back.buffer);
        back.buffer = nullptr;
    }
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(read, oids_);
    EXPECT_EQ(CeSeekDatabase(h, CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), nullptr), oids_[3]);
}

TEST_F(SeekTest, StaleHandlesFailAfterTheDeviceChanges) {
    testing_support::TempDevice other;  // points the process elsewhere
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CEOID probe = 0;
    EXPECT_EQ(CeOpenDatabase(&probe, u"Walk", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace store_test

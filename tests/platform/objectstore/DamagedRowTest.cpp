// Rows of the volume damaged behind the store's back (another program, a bad
// disk): the store describes what it can read, keeps what it cannot, and
// lets the damaged database or record be deleted.

#include <sqlite3.h>

#include <string>

#include "platform/device/DeviceDirectory.h"
#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

class DamagedRowTest : public StoreTest {
protected:
    void Damage(const std::string& sql) {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(ce::device::VolumePath().c_str(), &raw), SQLITE_OK);
        sqlite3_busy_timeout(raw, 5000);
        EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(raw);
    }
    // The records a handle walks, in its order.
    std::vector<CEOID> Walk(HANDLE h) {
        std::vector<CEOID> oids;
        DWORD index = 0;
        for (CEOID oid = CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, &index); oid != 0;
             oid = CeSeekDatabase(h, CEDB_SEEK_CURRENT, 1, &index)) {
            oids.push_back(oid);
        }
        return oids;
    }
};

TEST_F(DamagedRowTest, ADatabaseWhoseSortOrdersCannotBeReadIsStillDescribedOpenedAndDeleted) {
    CEOID db = Create(u"Broken", {{kNumber, 0}});
    {
        ScopedHandle h(Open(db));
        Write(h, {IntProp(kNumber, 1)});
        Write(h, {IntProp(kNumber, 2)});
    }
    Damage("UPDATE databases SET sort_orders = x'0102'");

    CEDBASEINFO info = Info(db);
    EXPECT_EQ(std::u16string(info.szDbaseName), u"Broken");
    EXPECT_EQ(info.dwFlags & CEDB_VALIDSORTSPEC, 0u);
    EXPECT_NE(info.dwFlags & CEDB_VALIDNAME, 0u);
    EXPECT_EQ(info.wNumSortOrder, 0);
    EXPECT_EQ(info.wNumRecords, 2);
    ScopedHandle enumeration(CeFindFirstDatabase(0));
    EXPECT_EQ(CeFindNextDatabase(enumeration), db);
    {
        CEOID byName = 0;
        ScopedHandle unsorted(CeOpenDatabase(&byName, u"broken", 0, 0, nullptr));
        ASSERT_NE(unsorted.get(), INVALID_HANDLE_VALUE) << GetLastError();
        EXPECT_EQ(Walk(unsorted).size(), 2u);
        CEOID sortedOid = db;
        EXPECT_EQ(CeOpenDatabase(&sortedOid, nullptr, kNumber, 0, nullptr), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_BADDB);
    }

    // A rename keeps the damaged sort orders as they are; new ones replace them.
    info.dwFlags = CEDB_VALIDNAME;
    CopyWide(info.szDbaseName, u"Renamed");
    ASSERT_TRUE(CeSetDatabaseInfo(db, &info));
    EXPECT_EQ(Info(db).dwFlags & CEDB_VALIDSORTSPEC, 0u);
    info.dwFlags = CEDB_VALIDSORTSPEC;
    info.wNumSortOrder = 1;
    info.rgSortSpecs[0] = {kNumber, CEDB_SORT_DESCENDING};
    ASSERT_TRUE(CeSetDatabaseInfo(db, &info));
    EXPECT_EQ(Info(db).wNumSortOrder, 1);
    EXPECT_NE(Info(db).dwFlags & CEDB_VALIDSORTSPEC, 0u);

    // Sort orders on a blob property are not sort orders either.
    Damage("UPDATE databases SET sort_orders = x'4100030000000000'");
    EXPECT_EQ(Info(db).dwFlags & CEDB_VALIDSORTSPEC, 0u);
    EXPECT_TRUE(CeDeleteDatabase(db)) << GetLastError();
    EXPECT_NE(CeCreateDatabase(u"Renamed", 0, 0, nullptr), 0u) << "the name is free again";
}

TEST_F(DamagedRowTest, ADamagedRecordKeepsAPlaceInASortedWalkAndCanBeDeleted) {
    CEOID db = Create(u"Records", {{kNumber, 0}});
    std::vector<CEOID> written;
    {
        ScopedHandle h(Open(db));
        for (LONG n : {1, 2, 3})
            written.push_back(Write(h, {IntProp(kNumber, n), TextProp(kName, u"some text")}));
    }
    CEOID damaged = written[1];
    Damage("UPDATE records SET props = x'05' WHERE oid = " + std::to_string(damaged));

    ScopedHandle sorted(Open(db, kNumber));
    // Without a readable key it goes where records lacking the property go.
    EXPECT_EQ(Walk(sorted), (std::vector<CEOID>{written[0], written[2], damaged}));
    DWORD index = 0;
    ASSERT_EQ(CeSeekDatabase(sorted, CEDB_SEEK_CEOID, damaged, &index), damaged);
    EXPECT_EQ(index, 2u);
    ReadBack back;
    EXPECT_FALSE(ReadCurrent(sorted, &back));
    EXPECT_EQ(GetLastError(), ERROR_BADDB);
    // A read of every image in one run passes it over.
    std::vector<CEOID> imaged;
    EXPECT_TRUE(CeReadRecordImages(sorted, 0, [&](CEOID oid, std::span<const BYTE>, WORD) {
        imaged.push_back(oid);
        return true;
    }));
    EXPECT_EQ(imaged, (std::vector<CEOID>{written[0], written[2]}));
    std::int64_t sizeBefore = Info(db).dwSize;

    EXPECT_TRUE(CeDeleteRecord(sorted, damaged)) << GetLastError();
    EXPECT_EQ(Info(db).wNumRecords, 2);
    EXPECT_LT(Info(db).dwSize, sizeBefore);
    EXPECT_EQ(Walk(sorted), (std::vector<CEOID>{written[0], written[2]}));
}

}  // namespace
}  // namespace store_test

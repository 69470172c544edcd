// Databases: names, identifiers, information, enumeration and deletion.

#include <set>

#include "platform/time/Time.h"
#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

using CatalogueTest = StoreTest;

TEST_F(CatalogueTest, NamesAreUniqueWithoutRegardToCase) {
    CEOID first = Create(u"Contacts");
    EXPECT_EQ(CeCreateDatabase(u"CONTACTS", 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DUP_NAME);

    CEOID oid = 0;
    ScopedHandle h(CeOpenDatabase(&oid, u"contacts", 0, 0, nullptr));
    ASSERT_NE(h.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(oid, first);                                            // written back
    EXPECT_EQ(std::u16string(Info(first).szDbaseName), u"Contacts");  // case as created
}

TEST_F(CatalogueTest, LongNamesAreCutTo31Characters) {
    std::u16string longName(40, u'x');
    CEOID oid = Create(longName.c_str());
    EXPECT_EQ(std::u16string(Info(oid).szDbaseName), std::u16string(31, u'x'));
    // The cut name is the name: creating it again is a duplicate.
    EXPECT_EQ(CeCreateDatabase(std::u16string(35, u'X').c_str(), 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DUP_NAME);
}

TEST_F(CatalogueTest, ALongNameIsCutBetweenCharacters) {
    std::u16string emoji;
    for (int i = 0; i < 16; ++i)
        emoji += u"\U0001F600";  // two units each: 32 in all
    CEOID oid = Create(emoji.c_str());
    EXPECT_EQ(std::u16string(Info(oid).szDbaseName), emoji.substr(0, 30));
    CEOID odd = Create((u"x" + emoji).c_str());
    std::u16string cut = u"x";
    cut += emoji.substr(0, 30);
    EXPECT_EQ(std::u16string(Info(odd).szDbaseName), cut);
}

TEST_F(CatalogueTest, BadCreationsFailWith87) {
    SORTORDERSPEC five[5] = {{kName, 0},
                             {kNumber, 0},
                             {kSmall, 0},
                             {MakePropID(9, CEVT_UI4), 0},
                             {MakePropID(10, CEVT_UI4), 0}};
    SORTORDERSPEC blob[1] = {{kData, 0}};
    SORTORDERSPEC badType[1] = {{MakePropID(1, 7), 0}};
    struct Case {
        const char16_t* name;
        WORD count;
        SORTORDERSPEC* orders;
    } cases[] = {{u"", 0, nullptr},  {nullptr, 0, nullptr}, {u"Five", 5, five},
                 {u"Blob", 1, blob}, {u"Type", 1, badType}, {u"Null", 1, nullptr}};
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CeCreateDatabase(c.name, 0, c.count, c.orders), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    SORTORDERSPEC four[4] = {five[0], five[1], five[2], five[3]};
    EXPECT_NE(CeCreateDatabase(u"Four", 0, 4, four), 0u);
}

TEST_F(CatalogueTest, IdentifiersAreNeverReused) {
    std::set<CEOID> seen;
    CEOID db = Create(u"A");
    seen.insert(db);
    {
        ScopedHandle h(Open(db));
        for (int i = 0; i < 3; ++i) {
            CEOID record = Write(h, {IntProp(kNumber, i)});
            EXPECT_TRUE(seen.insert(record).second);
            ASSERT_TRUE(CeDeleteRecord(h, record));
        }
    }
    ASSERT_TRUE(CeDeleteDatabase(db));
    CEOID again = Create(u"A");
    EXPECT_TRUE(seen.insert(again).second);
    EXPECT_EQ(seen.count(0), 0u);
}

TEST_F(CatalogueTest, InformationRoundTripRenamesAndKeepsTheRest) {
    SORTORDERSPEC sorts[2] = {{kName, CEDB_SORT_CASEINSENSITIVE}, {kNumber, CEDB_SORT_DESCENDING}};
    CEOID oid = CeCreateDatabase(u"Old", 0x1234, 2, sorts);
    {
        ScopedHandle h(Open(oid));
        Write(h, {IntProp(kNumber, 1)});
    }
    CEOIDINFO info{};
    ASSERT_TRUE(CeOidGetInfo(oid, &info));
    EXPECT_EQ(info.wObjType, OBJTYPE_DATABASE);
    EXPECT_EQ(info.infDatabase.dwFlags, 0x000Fu);
    CEDBASEINFO before = info.infDatabase;

    CopyWide(info.infDatabase.szDbaseName, u"New");
    ASSERT_TRUE(CeSetDatabaseInfo(oid, &info.infDatabase));
    CEDBASEINFO after = Info(oid);
    EXPECT_EQ(std::u16string(after.szDbaseName), u"New");
    EXPECT_EQ(after.dwDbaseType, 0x1234u);
    EXPECT_EQ(after.wNumSortOrder, 2);
    EXPECT_EQ(after.rgSortSpecs[1].propid, kNumber);
    EXPECT_EQ(after.rgSortSpecs[1].dwFlags, CEDB_SORT_DESCENDING);
    EXPECT_EQ(FileTimeToU64(after.ftLastModified), FileTimeToU64(before.ftLastModified));
    EXPECT_EQ(after.wNumRecords, 1);
    EXPECT_EQ(after.dwSize, before.dwSize);

    CEOID none = 0;
    EXPECT_EQ(CeOpenDatabase(&none, u"Old", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(CatalogueTest, SetInfoAppliesOnlyValidFields) {
    CEOID oid = Create(u"Db", {}, 7);
    CEDBASEINFO info{};
    info.dwFlags = CEDB_VALIDTYPE;
    info.dwDbaseType = 9;
    CopyWide(info.szDbaseName, u"Ignored");
    info.wNumRecords = 500;
    ASSERT_TRUE(CeSetDatabaseInfo(oid, &info));
    CEDBASEINFO now = Info(oid);
    EXPECT_EQ(std::u16string(now.szDbaseName), u"Db");
    EXPECT_EQ(now.dwDbaseType, 9u);
    EXPECT_EQ(now.wNumRecords, 0);

    info.dwFlags = CEDB_VALIDMODTIME;
    info.ftLastModified = U64ToFileTime(0x01C0000012345678ULL);
    ASSERT_TRUE(CeSetDatabaseInfo(oid, &info));
    EXPECT_EQ(FileTimeToU64(Info(oid).ftLastModified), 0x01C0000012345678ULL);

    info.dwFlags = CEDB_VALIDNAME;
    info.szDbaseName[0] = 0;
    EXPECT_FALSE(CeSetDatabaseInfo(oid, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(CeSetDatabaseInfo(oid + 1000, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CatalogueTest, RenamingOntoAnotherNameFailsWith52) {
    Create(u"First");
    CEOID second = Create(u"Second");
    CEDBASEINFO info = Info(second);
    CopyWide(info.szDbaseName, u"FIRST");
    EXPECT_FALSE(CeSetDatabaseInfo(second, &info));
    EXPECT_EQ(GetLastError(), ERROR_DUP_NAME);
    CopyWide(info.szDbaseName, u"SECOND");  // its own name in another case is fine
    EXPECT_TRUE(CeSetDatabaseInfo(second, &info));
    EXPECT_EQ(std::u16string(Info(second).szDbaseName), u"SECOND");
}

TEST_F(CatalogueTest, CountSizeAndTimeFollowWritesAndDeletes) {
    SetClockForTests(1'000'000'000'000'000'000LL);
    CEOID oid = Create(u"Sizes");
    FILETIME created = Info(oid).ftLastModified;
    SetClockForTests(1'000'000'100'000'000'000LL);
    ScopedHandle h(Open(oid));
    BYTE bytes[3] = {1, 2, 3};
    CEPROPVAL blob{};
    blob.propid = kData;
    blob.val.blob = {3, bytes};
    CEOID record = Write(h, {TextProp(kName, u"abc"), IntProp(kNumber, 5), blob});
    CEDBASEINFO info = Info(oid);
    EXPECT_EQ(info.wNumRecords, 1);
    EXPECT_EQ(info.dwSize, 3 * 16u + 8 + 3);  // entries, "abc" with terminator, blob
    EXPECT_GT(FileTimeToU64(info.ftLastModified), FileTimeToU64(created));

    Write(h, {DeleteProp(kData)}, record);
    EXPECT_EQ(Info(oid).dwSize, 2 * 16u + 8);
    SetClockForTests(1'000'000'200'000'000'000LL);
    ASSERT_TRUE(CeDeleteRecord(h, record));
    info = Info(oid);
    EXPECT_EQ(info.wNumRecords, 0);
    EXPECT_EQ(info.dwSize, 0u);
    EXPECT_EQ(FileTimeToU64(info.ftLastModified),
              kFileTimeUnixEpoch + 1'000'000'200'000'000'000ULL / 100);
    SetClockForTests(0);
}

TEST_F(CatalogueTest, OidGetInfoTellsRecordsAndUnknownIdentifiers) {
    CEOID db = Create(u"Db");
    ScopedHandle h(Open(db));
    CEOID record = Write(h, {IntProp(kNumber, 1)});
    CEOIDINFO info{};
    ASSERT_TRUE(CeOidGetInfo(record, &info));
    EXPECT_EQ(info.wObjType, OBJTYPE_RECORD);
    EXPECT_EQ(info.infRecord.oidParent, db);
    EXPECT_FALSE(CeOidGetInfo(record + 100, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CeOidGetInfo(0, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(CatalogueTest, EnumerationFollowsCreationOrderAndFiltersByType) {
    CEOID a = Create(u"Zeta", {}, 1);
    CEOID b = Create(u"Alpha", {}, 2);
    CEOID c = Create(u"Mid", {}, 1);
    ScopedHandle all(CeFindFirstDatabase(0));
    ASSERT_NE(all.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeFindNextDatabase(all), a);
    ASSERT_TRUE(CeDeleteDatabase(b));  // deleted during the walk: skipped
    EXPECT_EQ(CeFindNextDatabase(all), c);
    EXPECT_EQ(CeFindNextDatabase(all), 0u);
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);

    ScopedHandle ones(CeFindFirstDatabase(1));
    EXPECT_EQ(CeFindNextDatabase(ones), a);
    EXPECT_EQ(CeFindNextDatabase(ones), c);
    EXPECT_EQ(CeFindNextDatabase(ones), 0u);

    EXPECT_EQ(CeFindNextDatabase(reinterpret_cast<HANDLE>(0x12345)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CatalogueTest, OpenFailures) {
    SORTORDERSPEC sort{kNumber, 0};
    CEOID oid = CeCreateDatabase(u"Db", 0, 1, &sort);
    CEOID probe = oid;
    EXPECT_EQ(CeOpenDatabase(&probe, nullptr, kName, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);  // not one of its sort orders
    probe = oid + 50;
    EXPECT_EQ(CeOpenDatabase(&probe, nullptr, 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    probe = 0;
    EXPECT_EQ(CeOpenDatabase(&probe, u"Missing", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CeOpenDatabase(nullptr, u"Db", 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CatalogueTest, OpenDatabasesCannotBeDeleted) {
    CEOID oid = Create(u"Busy");
    HANDLE h = Open(oid);
    EXPECT_FALSE(CeDeleteDatabase(oid));  // the caller's own handle counts
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_TRUE(CeDeleteDatabase(oid));
    EXPECT_FALSE(CeDeleteDatabase(oid));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(CatalogueTest, DeletingADatabaseDeletesItsRecords) {
    CEOID oid = Create(u"Gone");
    CEOID record = 0;
    {
        ScopedHandle h(Open(oid));
        record = Write(h, {IntProp(kNumber, 1)});
    }
    ASSERT_TRUE(CeDeleteDatabase(oid));
    CEOIDINFO info{};
    EXPECT_FALSE(CeOidGetInfo(record, &info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(CatalogueTest, SortOrdersInUseCannotBeRemoved) {
    SORTORDERSPEC sorts[2] = {{kName, 0}, {kNumber, 0}};
    CEOID oid = CeCreateDatabase(u"Sorted", 0, 2, sorts);
    HANDLE byNumber = Open(oid, kNumber);
    CEDBASEINFO info = Info(oid);
    info.dwFlags = CEDB_VALIDSORTSPEC;
    info.wNumSortOrder = 1;  // keeps kName, drops kNumber
    EXPECT_FALSE(CeSetDatabaseInfo(oid, &info));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Info(oid).wNumSortOrder, 2);

    info.rgSortSpecs[0] = {kNumber, CEDB_SORT_DESCENDING};  // drops kName, unused
    EXPECT_TRUE(CeSetDatabaseInfo(oid, &info));
    ASSERT_TRUE(CloseHandle(byNumber));
    info.rgSortSpecs[0] = {kName, 0};
    EXPECT_TRUE(CeSetDatabaseInfo(oid, &info));
    EXPECT_EQ(Info(oid).rgSortSpecs[0].propid, kName);
}

}  // namespace
}  // namespace store_test

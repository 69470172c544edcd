#include "store/Database.h"

#include <gtest/gtest.h>
#include <cstring>
#include <vector>

#include "appcore/Application.h"
#include "platform/core/Bytes.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/StringIds.h"
#include "store/RecordImage.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;
using store::Database;
using store::RecordBuffer;

constexpr CEPROPID kName = MakePropID(1, CEVT_LPWSTR);
constexpr CEPROPID kCount = MakePropID(2, CEVT_I2);
constexpr CEPROPID kData = MakePropID(3, CEVT_BLOB);

class DatabaseTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(OpenHandleCount(), handlesAtStart_); }

    CEOID MakeDatabase(const char16_t* name, int records) {
        SORTORDERSPEC sort{kName, CEDB_SORT_CASEINSENSITIVE};
        CEOID oid = CeCreateDatabase(name, 42, 1, &sort);
        EXPECT_NE(oid, 0u);
        CEOID opened = oid;
        HANDLE h = CeOpenDatabase(&opened, nullptr, 0, 0, nullptr);
        for (int i = 0; i < records; ++i) {
            std::u16string text = u"record " + Utf8ToWide(std::to_string(i));
            CEPROPVAL props[2] = {};
            props[0].propid = kName;
            props[0].val.lpwstr = text.data();
            props[1].propid = kCount;
            props[1].val.iVal = static_cast<SHORT>(i);
            EXPECT_NE(CeWriteRecordProps(h, 0, 2, props), 0u);
        }
        CloseHandle(h);
        return oid;
    }

    std::u16string ShownText(std::size_t index = 0) {
        return index < session_.user().shown().size() ? session_.user().shown()[index].text
                                                      : std::u16string();
    }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
    std::size_t handlesAtStart_ = OpenHandleCount();
};

TEST_F(DatabaseTest, ClosingWhatWasNeverOpenedSucceedsQuietly) {
    Database db;
    EXPECT_TRUE(db.Close());
    EXPECT_TRUE(session_.user().shown().empty());
}

TEST_F(DatabaseTest, OpeningASecondDatabaseClosesTheFirst) {
    MakeDatabase(u"First", 1);
    MakeDatabase(u"Second", 1);
    Database db;
    ASSERT_NE(db.Open(u"First"), INVALID_HANDLE_VALUE);
    std::size_t withOne = OpenHandleCount();
    ASSERT_NE(db.Open(u"Second"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenHandleCount(), withOne);
    EXPECT_EQ(std::u16string(db.name()), u"Second");
    EXPECT_NE(db.identifier(), 0u);
}

TEST_F(DatabaseTest, AFailedOpenReportsTheGivenNameAndLeavesTheObjectClosed) {
    Database db;
    EXPECT_EQ(db.Open(u"Missing"), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.identifier(), 0u);
    EXPECT_EQ(session_.user().ShownIds(), std::vector<UINT>{res::IDS_CANT_OPEN_DB});
    EXPECT_EQ(ShownText(),
              u"Couldn't open \"Missing\" database: The system cannot find the file specified");
}

TEST_F(DatabaseTest, GetInfoOnAClosedObjectSaysItCannotUpdateAndZeroesTheInformation) {
    Database db;
    CEDBASEINFO info;
    std::memset(&info, 0xAB, sizeof info);
    EXPECT_FALSE(db.GetInfo(info));
    CEDBASEINFO zero{};
    EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);
    EXPECT_EQ(session_.user().ShownIds(), std::vector<UINT>{res::IDS_CANT_UPDATE_DB});
}

TEST_F(DatabaseTest, DeletingAMissingDatabaseNamesItWithTheErrorText) {
    Database db;
    EXPECT_FALSE(db.DeleteDatabase(u"Ghost"));
    EXPECT_EQ(ShownText(),
              u"Couldn't delete \"Ghost\" database: The system cannot find the file specified");
}

TEST_F(DatabaseTest, DeletingAnOpenDatabaseReportsItInUse) {
    MakeDatabase(u"Busy", 0);
    Database holder, deleter;
    ASSERT_NE(holder.Open(u"Busy"), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(deleter.DeleteDatabase(u"Busy"));
    EXPECT_EQ(ShownText(),
              u"Couldn't delete \"Busy\" database: The process cannot access the "
              u"file because it is being used by another process");
    holder.Close();
    EXPECT_TRUE(deleter.DeleteDatabase(u"Busy"));
}

TEST_F(DatabaseTest, QuietFailuresStillRecordTheErrorText) {
    Database db;
    db.SetReportErrors(false);
    EXPECT_EQ(db.Open(u"Missing"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(db.errorText()), u"The system cannot find the file specified");
    db.SetReportErrors(true);
    appcore::App().settings = std::make_unique<appcore::Settings>();
    appcore::App().settings->silent = 1;
    EXPECT_EQ(db.Open(u"Missing"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(session_.user().shown().empty());
}

TEST_F(DatabaseTest, OperationsOnAClosedObjectFailWithoutAMessage) {
    Database db;
    RecordBuffer record;
    DWORD index;
    CEPROPVAL value{};
    EXPECT_EQ(db.ReadRecord(record), 0u);
    EXPECT_EQ(db.WriteRecord(0, record), 0u);
    EXPECT_EQ(db.WriteProperty(0, value), 0u);
    EXPECT_FALSE(db.SeekFirst(index));
    EXPECT_FALSE(db.SeekNext(index));
    EXPECT_FALSE(db.DeleteRecord(1));
    EXPECT_FALSE(db.Empty());
    EXPECT_TRUE(session_.user().shown().empty());
}

TEST_F(DatabaseTest, SeeksWalkTheSortOrderAndFailPastTheEnds) {
    MakeDatabase(u"Walk", 3);
    Database db;
    ASSERT_NE(db.Open(u"Walk", kName), INVALID_HANDLE_VALUE);
    DWORD index = 99;
    CEOID first, last, record;
    ASSERT_TRUE(db.SeekFirst(index, &first));
    EXPECT_EQ(index, 0u);
    ASSERT_TRUE(db.SeekLast(index, &last));
    EXPECT_EQ(index, 2u);
    EXPECT_TRUE(db.SeekPrevious(index, &record));
    EXPECT_EQ(index, 1u);
    db.SetReportErrors(false);
    EXPECT_TRUE(db.SeekNext(index));
    EXPECT_FALSE(db.SeekNext(index));
    EXPECT_TRUE(db.SeekTo(first, index));
    EXPECT_EQ(index, 0u);
    EXPECT_FALSE(db.SeekPrevious(index));
    db.SetReportErrors(true);
    EXPECT_FALSE(db.SeekPrevious(index));
    EXPECT_EQ(session_.user().ShownIds(), std::vector<UINT>{res::IDS_CANT_FIND_RECORD});
}

TEST_F(DatabaseTest, RelativeRoundTripWritesAnEqualRecord) {
    MakeDatabase(u"Source", 0);
    Database db;
    ASSERT_NE(db.Open(u"Source"), INVALID_HANDLE_VALUE);
    // A record with every kind of pointer and unused value bytes that must survive.
    CEPROPVAL props[4] = {};
    props[0].propid = kName;
    props[0].val.lpwstr = const_cast<WCHAR*>(u"Grüße");
    props[1].propid = kCount;
    const BYTE bytes[8] = {7, 0, 1, 2, 3, 4, 5, 6};
    std::memcpy(props[1].val.bytes, bytes, 8);
    BYTE blob[5] = {1, 2, 3, 4, 5};
    props[2].propid = kData;
    props[2].val.blob = {5, blob};
    props[3].propid = MakePropID(4, CEVT_LPWSTR);  // absent text
    RecordBuffer in;
    in.count = 4;
    in.buffer = reinterpret_cast<BYTE*>(props);
    CEOID original = db.WriteRecord(0, in);
    ASSERT_NE(original, 0u);

    DWORD index;
    RecordBuffer image;
    ASSERT_TRUE(db.SeekFirst(index));
    ASSERT_EQ(db.ReadRecordRelative(image), original);
    EXPECT_EQ(image.count, 4);
    CEOID copy = db.WriteRecordRelative(0, image);
    ASSERT_NE(copy, 0u);
    ASSERT_NE(copy, original);

    RecordBuffer second;
    ASSERT_TRUE(db.SeekTo(copy, index));
    ASSERT_EQ(db.ReadRecordRelative(second), copy);
    ASSERT_EQ(second.size, image.size);
    EXPECT_EQ(std::memcmp(second.buffer, image.buffer, image.size), 0);
    image.Release();
    second.Release();
}

TEST_F(DatabaseTest, TheImageReadFromTheStoreIsTheImageOfTheRecordReadIntoProperties) {
    MakeDatabase(u"Kinds", 0);
    Database db;
    ASSERT_NE(db.Open(u"Kinds"), INVALID_HANDLE_VALUE);
    // Texts of odd and even lengths (their padding differs), empty and
    // absent ones, empty and odd-sized blobs, value bytes kept as written.
    std::vector<std::vector<CEPROPVAL>> records;
    BYTE blob[7] = {9, 8, 7, 6, 5, 4, 3};
    const WCHAR* texts[] = {u"", u"a", u"ab", u"abc", u"Grüße aus 𝄞"};
    for (const WCHAR* text : texts) {
        for (DWORD blobSize : {0u, 1u, 3u, 7u}) {
            CEPROPVAL props[4] = {};
            props[0].propid = kData;
            props[0].val.blob = {blobSize, blobSize != 0 ? blob : nullptr};
            props[1].propid = kName;
            props[1].val.lpwstr = const_cast<WCHAR*>(text);
            props[2].propid = kCount;
            const BYTE bytes[8] = {7, 0, 1, 2, 3, 4, 5, static_cast<BYTE>(blobSize)};
            std::memcpy(props[2].val.bytes, bytes, 8);
            props[3].propid = MakePropID(4, CEVT_LPWSTR);  // absent text
            records.emplace_back(props, props + 4);
        }
    }
    records.push_back({});  // no property at all
    for (std::vector<CEPROPVAL>& props : records) {
        RecordBuffer in;
        in.count = static_cast<WORD>(props.size());
        in.buffer = reinterpret_cast<BYTE*>(props.data());
        ASSERT_NE(db.WriteRecord(0, in), 0u);
    }
    DWORD index = 0;
    RecordBuffer image, read;
    int walked = 0;
    for (bool found = db.SeekFirst(index); found; found = db.SeekNext(index), ++walked) {
        CEOID id = db.ReadRecordRelative(image);
        ASSERT_NE(id, 0u);
        ASSERT_EQ(db.ReadRecord(read), id);
        ASSERT_EQ(image.count, read.count);
        std::vector<BYTE> expected = store::EncodeRelativeImage(read.props(), read.count);
        EXPECT_EQ(std::vector<BYTE>(image.buffer, image.buffer + image.size), expected)
            << "record " << walked;
    }
    EXPECT_EQ(walked, static_cast<int>(records.size()));
    image.Release();
    read.Release();
}

TEST_F(DatabaseTest, AnImageWithAnOffsetOutsideItIsRefusedAsAFailedWrite) {
    MakeDatabase(u"Target", 0);
    Database db;
    ASSERT_NE(db.Open(u"Target"), INVALID_HANDLE_VALUE);
    BYTE image[16] = {};
    StoreU32(image, kName);
    StoreU32(image + 8, 400);  // text far beyond the image
    RecordBuffer record;
    record.count = 1;
    record.size = sizeof image;
    record.buffer = image;
    EXPECT_EQ(db.WriteRecordRelative(0, record), 0u);
    EXPECT_EQ(ShownText(),
              u"Couldn't create a new record in \"Target\" database: The parameter is incorrect");
    CEDBASEINFO info;
    ASSERT_TRUE(db.GetInfo(info));
    EXPECT_EQ(info.wNumRecords, 0);
}

TEST_F(DatabaseTest, EmptyDeletesEveryRecordAndAnEmptyDatabaseSucceedsAtOnce) {
    MakeDatabase(u"Full", 5);
    MakeDatabase(u"Hollow", 0);
    Database db;
    ASSERT_NE(db.Open(u"Full"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(db.Empty());
    CEDBASEINFO info;
    ASSERT_TRUE(db.GetInfo(info));
    EXPECT_EQ(info.wNumRecords, 0);
    EXPECT_EQ(info.dwDbaseType, 42u);
    ASSERT_NE(db.Open(u"Hollow"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(db.Empty());
    EXPECT_TRUE(db.reportErrors());
    EXPECT_TRUE(session_.user().shown().empty());
}

TEST_F(DatabaseTest, CreateCopiesTypeAndSortOrdersAndOpensTheNewDatabase) {
    CEOID source = MakeDatabase(u"Model", 0);
    CEOIDINFO object;
    ASSERT_TRUE(CeOidGetInfo(source, &object));
    Database db;
    ASSERT_NE(db.Create(u"Copy", object.infDatabase), INVALID_HANDLE_VALUE);
    CEDBASEINFO info;
    ASSERT_TRUE(db.GetInfo(info));
    EXPECT_EQ(info.dwDbaseType, 42u);
    EXPECT_EQ(info.wNumSortOrder, 1);
    EXPECT_EQ(info.rgSortSpecs[0].propid, kName);
    EXPECT_EQ(std::u16string(db.name()), u"Copy");
    EXPECT_EQ(db.Create(u"copy", object.infDatabase), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ShownText(),
              u"Couldn't create \"copy\" database: A duplicate name exists on the network");
}

TEST_F(DatabaseTest, PropertyWritesAndDeletesUseTheirOwnMessages) {
    MakeDatabase(u"Props", 1);
    Database db;
    ASSERT_NE(db.Open(u"Props"), INVALID_HANDLE_VALUE);
    DWORD index;
    CEOID record;
    ASSERT_TRUE(db.SeekFirst(index, &record));
    CEPROPVAL value{};
    value.propid = kCount;
    value.wFlags = CEDB_PROPDELETE;  // cleared by WriteProperty
    value.val.iVal = 77;
    EXPECT_EQ(db.WriteProperty(record, value), record);
    EXPECT_EQ(db.DeleteProperty(record, value), record);
    RecordBuffer read;
    ASSERT_EQ(db.ReadRecord(read), record);
    EXPECT_EQ(read.count, 1);
    read.Release();
    EXPECT_TRUE(db.DeleteRecord(record));
    EXPECT_FALSE(db.DeleteRecord(record));
    ASSERT_EQ(session_.user().shown().size(), 1u);
    EXPECT_EQ(ShownText().rfind(u"Unable to delete the current record: ", 0), 0u);
}

TEST(ErrorTexts, EveryPlatformCodeMapsToItsString) {
    EXPECT_EQ(store::ErrorTextId(2), res::IDS_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(store::ErrorTextId(8), res::IDS_ERR_NOT_ENOUGH_STORAGE);
    EXPECT_EQ(store::ErrorTextId(32), res::IDS_ERR_SHARING_VIOLATION);
    EXPECT_EQ(store::ErrorTextId(52), res::IDS_ERR_DUP_NAME);
    EXPECT_EQ(store::ErrorTextId(87), res::IDS_ERR_INVALID_PARAMETER);
    EXPECT_EQ(store::ErrorTextId(112), res::IDS_ERR_DISK_FULL);
    EXPECT_EQ(store::ErrorTextId(122), res::IDS_ERR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(store::ErrorTextId(232), res::IDS_ERR_NO_DATA);
    EXPECT_EQ(store::ErrorTextId(259), res::IDS_ERR_NO_MORE_ITEMS);
    EXPECT_EQ(store::ErrorTextId(1018), res::IDS_ERR_KEY_DELETED);
    EXPECT_EQ(store::ErrorTextId(1009), res::IDS_ERR_UNKNOWN);
}

}  // namespace

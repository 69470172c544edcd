// Records: property values, read buffers, writes that merge, deletions.

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "platform/core/Bytes.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/objectstore/RelativeImage.h"
#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

class RecordTest : public StoreTest {
protected:
    void SetUp() override {
        db_ = Create(u"Records");
        h_ = Open(db_);
    }
    void TearDown() override {
        CloseHandle(h_);
        FailStoreWritesAfter(-1);
        StoreTest::TearDown();
    }
    CEOID db_ = 0;
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// Every in-place type keeps its 8 value bytes exactly as written, the
// bytes a 16-bit value leaves unused included.
class InPlaceValueTest : public RecordTest, public ::testing::WithParamInterface<WORD> {};

TEST_P(InPlaceValueTest, KeepsAllEightBytes) {
    CEPROPVAL v{};
    v.propid = MakePropID(7, GetParam());
    v.wLenData = 0xBEEF;  // ignored on entry
    const BYTE pattern[8] = {0x11, 0x82, 0x33, 0xC4, 0x55, 0x66, 0x77, 0xF8};
    std::memcpy(v.val.bytes, pattern, 8);
    CEOID oid = Write(h_, {v});
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CEOID, oid, nullptr), oid);
    ReadBack back;
    ASSERT_TRUE(ReadCurrent(h_, &back));
    ASSERT_EQ(back.values.size(), 1u);
    EXPECT_EQ(back.values[0].propid, v.propid);
    EXPECT_EQ(back.values[0].wLenData, 0);
    EXPECT_EQ(back.values[0].wFlags, 0);
    EXPECT_EQ(std::memcmp(back.values[0].val.bytes, pattern, 8), 0);
}

INSTANTIATE_TEST_SUITE_P(Types, InPlaceValueTest,
                         ::testing::Values(CEVT_I2, CEVT_UI2, CEVT_I4, CEVT_UI4, CEVT_R8, CEVT_BOOL,
                                           CEVT_FILETIME));

TEST_F(RecordTest, TextsAndBlobsComeBackInTheBuffer) {
    BYTE bytes[5] = {9, 8, 7, 6, 5};
    CEPROPVAL blob{}, empty{}, absent{};
    blob.propid = kData;
    blob.val.blob = {5, bytes};
    empty.propid = MakePropID(8, CEVT_BLOB);
    empty.val.blob = {0, bytes};
    absent.propid = MakePropID(9, CEVT_LPWSTR);
    Write(h_, {blob, TextProp(kName, u"Hello"), empty, absent,
               TextProp(MakePropID(10, CEVT_LPWSTR), u"")});
    ASSERT_NE(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, nullptr), 0u);
    ReadBack back;
    ASSERT_TRUE(ReadCurrent(h_, &back));
    ASSERT_EQ(back.values.size(), 5u);
    BYTE* begin = back.buffer;
    BYTE* end = back.buffer + back.size;
    const CEPROPVAL& b = back.values[0];
    ASSERT_EQ(b.val.blob.dwCount, 5u);
    EXPECT_GE(b.val.blob.lpb, begin + 5 * sizeof(CEPROPVAL));
    EXPECT_LE(b.val.blob.lpb + 5, end);
    EXPECT_EQ(std::memcmp(b.val.blob.lpb, bytes, 5), 0);
    const CEPROPVAL& t = back.values[1];
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(t.val.lpwstr) % 2, 0u);  // aligned after 5 bytes
    EXPECT_EQ(std::u16string(t.val.lpwstr), u"Hello");
    EXPECT_GT(t.val.lpwstr, reinterpret_cast<LPWSTR>(b.val.blob.lpb));  // property order
    EXPECT_EQ(back.values[2].val.blob.dwCount, 0u);
    EXPECT_EQ(back.values[2].val.blob.lpb, nullptr);
    EXPECT_EQ(back.values[3].val.lpwstr, nullptr);  // absent text stays absent
    ASSERT_NE(back.values[4].val.lpwstr, nullptr);
    EXPECT_EQ(back.values[4].val.lpwstr[0], 0);
}

TEST_F(RecordTest, BadPropertiesFailWith87AndChangeNothing) {
    CEPROPVAL nullBlob{};
    nullBlob.propid = kData;
    nullBlob.val.blob = {4, nullptr};
    CEPROPVAL badType{};
    badType.propid = MakePropID(1, 4);
    std::vector<BYTE> huge(CEDB_MAXPROPDATASIZE + 1);
    CEPROPVAL bigBlob{};
    bigBlob.propid = kData;
    bigBlob.val.blob = {static_cast<DWORD>(huge.size()), huge.data()};
    std::u16string longText(CEDB_MAXPROPDATASIZE / 2, u'a');
    CEPROPVAL bigText = TextProp(kName, longText.c_str());
    for (CEPROPVAL bad : {nullBlob, badType, bigBlob, bigText}) {
        CEPROPVAL props[2] = {IntProp(kNumber, 1), bad};
        SetLastError(0);
        EXPECT_EQ(CeWriteRecordProps(h_, 0, 2, props), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(Info(db_).wNumRecords, 0);
}

TEST_F(RecordTest, RecordsOverTheMaximumSizeAreRefused) {
    std::vector<BYTE> big(60000);
    std::vector<CEPROPVAL> props;
    for (WORD i = 0; i < 3; ++i) {
        CEPROPVAL p{};
        p.propid = MakePropID(static_cast<WORD>(20 + i), CEVT_BLOB);
        p.val.blob = {static_cast<DWORD>(big.size()), big.data()};
        props.push_back(p);
    }
    EXPECT_EQ(CeWriteRecordProps(h_, 0, 3, props.data()), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CEOID oid = Write(h_, {props[0], props[1]});
    EXPECT_EQ(CeWriteRecordProps(h_, oid, 1, &props[2]), 0u);  // growing past it
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(RecordTest, WritesReplaceAddAndDeleteInOneCall) {
    CEOID oid = Write(h_, {TextProp(kName, u"one"), IntProp(kNumber, 1), IntProp(kSmall, 2)});
    EXPECT_EQ(
        Write(h_,
              {IntProp(kNumber, 10), DeleteProp(kSmall),
               TextProp(MakePropID(5, CEVT_LPWSTR), u"new"), DeleteProp(MakePropID(6, CEVT_I4))},
              oid),
        oid);
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, oid, nullptr);
    ReadBack back;
    ASSERT_TRUE(ReadCurrent(h_, &back));
    ASSERT_EQ(back.values.size(), 3u);
    EXPECT_EQ(back.values[0].propid, kName);  // kept in place
    EXPECT_EQ(back.values[1].propid, kNumber);
    EXPECT_EQ(back.values[1].val.lVal, 10);
    EXPECT_EQ(std::u16string(back.values[2].val.lpwstr), u"new");
    EXPECT_EQ(back.Find(kSmall), nullptr);
}

// The relative image of `props`, as archives and the infrared link carry it.
std::vector<BYTE> ImageOf(const std::vector<CEPROPVAL>& props) {
    std::vector<BYTE> image;
    objectstore::WriteRelativeImage(
        props.size(),
        [&](std::size_t i) {
            const CEPROPVAL& p = props[i];
            objectstore::ImageProperty out;
            out.propid = p.propid;
            out.flags = p.wFlags;
            out.value = p.val.bytes;
            if (TypeFromPropID(p.propid) == CEVT_LPWSTR && p.val.lpwstr != nullptr) {
                out.present = true;
                out.text = p.val.lpwstr;
            } else if (TypeFromPropID(p.propid) == CEVT_BLOB && p.val.blob.dwCount != 0) {
                out.present = true;
                out.bytes = std::span<const BYTE>(p.val.blob.lpb, p.val.blob.dwCount);
            }
            return out;
        },
        image);
    return image;
}

std::vector<BYTE> ImageRead(HANDLE h, CEOID oid) {
    CeSeekDatabase(h, CEDB_SEEK_CEOID, oid, nullptr);
    std::vector<BYTE> image;
    WORD count = 0;
    EXPECT_EQ(CeReadRecordImage(h, &image, &count), oid);
    return image;
}

TEST_F(RecordTest, ImagesReadInRunsComeInIdentifierOrderAndLeaveTheSeekPointer) {
    std::vector<CEOID> written;
    for (LONG n : {5, 4, 3, 2, 1})
        written.push_back(Write(h_, {IntProp(kNumber, n), TextProp(kName, u"run")}));
    ASSERT_TRUE(std::is_sorted(written.begin(), written.end()));
    DWORD index = 0;
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CEOID, written[2], &index), written[2]);

    // Stopped after two, then resumed after the last one taken.
    std::vector<CEOID> taken;
    std::vector<std::vector<BYTE>> images;
    auto take = [&](std::size_t stopAt) {
        return [&, stopAt](CEOID oid, std::span<const BYTE> image, WORD count) {
            EXPECT_EQ(count, 2);
            taken.push_back(oid);
            images.emplace_back(image.begin(), image.end());
            return taken.size() != stopAt;
        };
    };
    ASSERT_TRUE(CeReadRecordImages(h_, 0, take(2)));
    ASSERT_EQ(taken.size(), 2u);
    ASSERT_TRUE(CeReadRecordImages(h_, taken.back(), take(0)));
    EXPECT_EQ(taken, written);
    DWORD still = 0;
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CURRENT, 0, &still), written[2]);
    EXPECT_EQ(still, index);
    for (std::size_t i = 0; i < written.size(); ++i)
        EXPECT_EQ(images[i], ImageRead(h_, written[i])) << i;

    // A deleted record is not handed over; nothing after the last is.
    ASSERT_TRUE(CeDeleteRecord(h_, written[1]));
    taken.clear();
    ASSERT_TRUE(CeReadRecordImages(h_, written[0], take(0)));
    EXPECT_EQ(taken, (std::vector<CEOID>{written[2], written[3], written[4]}));
    taken.clear();
    ASSERT_TRUE(CeReadRecordImages(h_, written[4], take(0)));
    EXPECT_TRUE(taken.empty());

    EXPECT_FALSE(CeReadRecordImages(INVALID_HANDLE_VALUE, 0, take(0)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(RecordTest, AnImageWritesWhatItsPropertiesWouldWrite) {
    BYTE blob[3] = {1, 2, 3};
    CEPROPVAL data{};
    data.propid = kData;
    data.val.blob = {3, blob};
    CEPROPVAL absent{};
    absent.propid = MakePropID(7, CEVT_LPWSTR);
    std::vector<CEPROPVAL> props = {TextProp(kName, u"odd"), IntProp(kNumber, -5), data, absent,
                                    IntProp(kSmall, 2)};
    std::vector<BYTE> image = ImageOf(props);
    CEOID fromImage = CeWriteRecordImage(h_, 0, image, static_cast<WORD>(props.size()));
    ASSERT_NE(fromImage, 0u);
    CEOID fromProps = Write(h_, props);
    EXPECT_EQ(ImageRead(h_, fromImage), ImageRead(h_, fromProps));
    EXPECT_EQ(ImageRead(h_, fromImage), image);
    EXPECT_EQ(Info(db_).wNumRecords, 2);

    // Into an existing record: replaced in place, added, and a property
    // flagged for deletion removed.
    std::vector<CEPROPVAL> changes = {IntProp(kNumber, 10), DeleteProp(kSmall),
                                      TextProp(MakePropID(5, CEVT_LPWSTR), u"new"),
                                      DeleteProp(MakePropID(6, CEVT_I4))};
    image = ImageOf(changes);
    ASSERT_EQ(CeWriteRecordImage(h_, fromImage, image, static_cast<WORD>(changes.size())),
              fromImage);
    ASSERT_EQ(Write(h_, changes, fromProps), fromProps);
    EXPECT_EQ(ImageRead(h_, fromImage), ImageRead(h_, fromProps));
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, fromImage, nullptr);
    ReadBack back;
    ASSERT_TRUE(ReadCurrent(h_, &back));
    EXPECT_EQ(back.Find(kSmall), nullptr);
    ASSERT_NE(back.Find(kNumber), nullptr);
    EXPECT_EQ(back.Find(kNumber)->val.lVal, 10);
}

TEST_F(RecordTest, AnImageThatDoesNotHoldItsPropertiesFailsWith87AndChangesNothing) {
    auto entry = [](std::vector<BYTE>& image, std::size_t i, CEPROPID id, DWORD a, DWORD b) {
        StoreU32(image.data() + 16 * i, id);
        StoreU32(image.data() + 16 * i + 8, a);
        StoreU32(image.data() + 16 * i + 12, b);
    };
    struct Case {
        const char* what;
        std::vector<BYTE> image;
        WORD count;
    };
    std::vector<Case> cases;
    std::vector<BYTE> image(32, 0);
    cases.push_back({"entries past the end", image, 3});
    entry(image, 0, kName, 8, 0);
    cases.push_back({"text among the entries", image, 2});
    entry(image, 0, kName, 32, 0);
    cases.push_back({"text at the very end", image, 2});
    image.assign(37, 0);
    entry(image, 0, kName, 16, 0);
    std::memset(image.data() + 16, 'a', 21);
    cases.push_back({"text without its terminator", image, 1});
    image.assign(24, 0);
    entry(image, 0, kData, 9, 16);
    cases.push_back({"blob running past the end", image, 1});
    entry(image, 0, kData, 8, 4);
    cases.push_back({"blob among the entries", image, 1});
    entry(image, 0, MakePropID(1, 4), 0, 0);
    cases.push_back({"no such type", image, 1});
    image.assign(16 + CEDB_MAXPROPDATASIZE + 3, 'a');
    entry(image, 0, kName, 16, 0);
    image[image.size() - 1] = image[image.size() - 2] = 0;
    cases.push_back({"text longer than a property holds", image, 1});
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CeWriteRecordImage(h_, 0, c.image, c.count), 0u) << c.what;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << c.what;
    }
    EXPECT_EQ(Info(db_).wNumRecords, 0);
}

TEST_F(RecordTest, WritesMayPointIntoAReadBuffer) {
    CEOID oid = Write(h_, {TextProp(kName, u"shared text"), IntProp(kNumber, 3)});
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, oid, nullptr);
    ReadBack back;
    ASSERT_TRUE(ReadCurrent(h_, &back));
    CEOID copy = CeWriteRecordProps(h_, 0, static_cast<WORD>(back.values.size()),
                                    reinterpret_cast<CEPROPVAL*>(back.buffer));
    ASSERT_NE(copy, 0u);
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, copy, nullptr);
    ReadBack again;
    ASSERT_TRUE(ReadCurrent(h_, &again));
    EXPECT_EQ(std::u16string(again.Find(kName)->val.lpwstr), u"shared text");
    EXPECT_EQ(again.Find(kNumber)->val.lVal, 3);
}

TEST_F(RecordTest, EmptyRecordsCanBeCreated) {
    CEOID oid = CeWriteRecordProps(h_, 0, 0, nullptr);
    ASSERT_NE(oid, 0u);
    CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, nullptr);
    ReadBack back;
    ASSERT_TRUE(ReadCurrent(h_, &back));
    EXPECT_EQ(back.values.size(), 0u);
    EXPECT_EQ(back.size, 0u);
}

TEST_F(RecordTest, ReadingAListFlagsMissingProperties) {
    Write(h_, {TextProp(kName, u"x"), IntProp(kNumber, 42)});
    CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, nullptr);
    CEPROPID wanted[3] = {kNumber, MakePropID(2, CEVT_UI4), kName};  // same id, other type
    WORD count = 3;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    ASSERT_NE(CeReadRecordProps(h_, CEDB_ALLOWREALLOC, &count, wanted, &buffer, &size), 0u);
    auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(values[0].val.lVal, 42);
    EXPECT_EQ(values[1].propid, wanted[1]);
    EXPECT_EQ(values[1].wFlags, CEDB_PROPNOTFOUND);
    EXPECT_EQ(std::u16string(values[2].val.lpwstr), u"x");
    LocalFree(buffer);
}

TEST_F(RecordTest, ReallocatingBuffersGrowButNeverShrink) {
    std::u16string longText(300, u'L');
    CEOID big = Write(h_, {TextProp(kName, longText.c_str())});
    CEOID small = Write(h_, {IntProp(kNumber, 1)});
    BYTE* buffer = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, 8));
    DWORD size = 8;
    WORD count = 0;
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, big, nullptr);
    ASSERT_EQ(CeReadRecordProps(h_, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), big);
    EXPECT_EQ(size, sizeof(CEPROPVAL) + 602);
    std::size_t grown = LocalSize(buffer);
    EXPECT_GE(grown, size);
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, small, nullptr);
    ASSERT_EQ(CeReadRecordProps(h_, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), small);
    EXPECT_EQ(size, sizeof(CEPROPVAL));
    EXPECT_EQ(LocalSize(buffer), grown);
    LocalFree(buffer);
}

TEST_F(RecordTest, ReallocationFailureKeepsTheOldBlock) {
    CEOID oid = Write(h_, {TextProp(kName, u"needs room")});
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, oid, nullptr);
    BYTE* buffer = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, 4));
    BYTE* original = buffer;
    DWORD size = 4;
    WORD count = 0;
    FailNextLocalAllocs(1);
    EXPECT_EQ(CeReadRecordProps(h_, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(buffer, original);
    LocalFree(buffer);
}

TEST_F(RecordTest, CallerBuffersThatAreTooSmallGive122AndTheSize) {
    CEOID oid = Write(h_, {TextProp(kName, u"abc")});
    CeSeekDatabase(h_, CEDB_SEEK_CEOID, oid, nullptr);
    alignas(CEPROPVAL) BYTE storage[256];
    BYTE* buffer = storage;
    DWORD size = 10;
    WORD count = 0;
    EXPECT_EQ(CeReadRecordProps(h_, 0, &count, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, sizeof(CEPROPVAL) + 8);
    ASSERT_EQ(CeReadRecordProps(h_, 0, &count, nullptr, &buffer, &size), oid);
    EXPECT_EQ(buffer, storage);
    EXPECT_EQ(std::u16string(reinterpret_cast<CEPROPVAL*>(storage)->val.lpwstr), u"abc");
}

TEST_F(RecordTest, WritesToOtherDatabasesOrUnknownRecordsFail) {
    CEOID other = Create(u"Other");
    ScopedHandle h2(Open(other));
    CEOID foreign = Write(h2, {IntProp(kNumber, 1)});
    CEPROPVAL v = IntProp(kNumber, 2);
    EXPECT_EQ(CeWriteRecordProps(h_, foreign, 1, &v), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CeWriteRecordProps(h_, foreign + 77, 1, &v), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(CeDeleteRecord(h_, foreign));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CeWriteRecordProps(reinterpret_cast<HANDLE>(0x999), 0, 1, &v), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(RecordTest, DeletingTheCurrentRecordLeavesThePointerBetweenItsNeighbours) {
    CEOID a = Write(h_, {IntProp(kNumber, 1)});
    CEOID b = Write(h_, {IntProp(kNumber, 2)});
    CEOID c = Write(h_, {IntProp(kNumber, 3)});
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CEOID, b, nullptr), b);
    ASSERT_TRUE(CeDeleteRecord(h_, b));
    ReadBack back;
    EXPECT_FALSE(ReadCurrent(h_, &back));
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
    DWORD index = 99;
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CURRENT, 1, &index), c);
    EXPECT_EQ(index, 1u);  // later records moved down
    ASSERT_TRUE(CeDeleteRecord(h_, c));
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), &index), a);
    EXPECT_EQ(index, 0u);
}

TEST_F(RecordTest, DeletionThroughAnotherHandleIsSeenOnRead) {
    CEOID a = Write(h_, {IntProp(kNumber, 1)});
    ScopedHandle other(Open(db_));
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CEOID, a, nullptr), a);
    ASSERT_TRUE(CeDeleteRecord(other, a));
    ReadBack back;
    EXPECT_FALSE(ReadCurrent(h_, &back));
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
}

TEST_F(RecordTest, TheRecordLimitGivesDiskFull) {
    Write(h_, {IntProp(kNumber, 1)});
    {
        // Stand in for 65,534 more records.
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(ce::device::VolumePath().c_str(), &raw), SQLITE_OK);
        sqlite3_busy_timeout(raw, 5000);
        EXPECT_EQ(sqlite3_exec(raw, "UPDATE databases SET record_count = 65534", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    CEPROPVAL v = IntProp(kNumber, 2);
    EXPECT_NE(CeWriteRecordProps(h_, 0, 1, &v), 0u);  // the 65,535th
    EXPECT_EQ(CeWriteRecordProps(h_, 0, 1, &v), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(Info(db_).wNumRecords, 0xFFFF);
}

TEST_F(RecordTest, FailingWritesHookRefusesLaterWrites) {
    FailStoreWritesAfter(2);
    CEPROPVAL v = IntProp(kNumber, 1);
    EXPECT_NE(CeWriteRecordProps(h_, 0, 1, &v), 0u);
    CEOID second = CeWriteRecordProps(h_, 0, 1, &v);
    EXPECT_NE(second, 0u);
    EXPECT_EQ(CeWriteRecordProps(h_, 0, 1, &v), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(CeCreateDatabase(u"Later", 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_TRUE(CeDeleteRecord(h_, second));  // deletions still work
    EXPECT_EQ(Info(db_).wNumRecords, 1);
    FailStoreWritesAfter(-1);
    EXPECT_NE(CeWriteRecordProps(h_, 0, 1, &v), 0u);
}

}  // namespace
}  // namespace store_test

// Sort orders: which record comes first for every kind of key and flag.

#include <optional>

#include "tests/platform/objectstore/StoreTestSupport.h"

namespace store_test {
namespace {

constexpr CEPROPID kTag = MakePropID(99, CEVT_I4);
constexpr WORD kKey = 2;

CEPROPVAL Value(WORD type, std::uint64_t bits) {
    CEPROPVAL v{};
    v.propid = MakePropID(kKey, type);
    std::memcpy(v.val.bytes, &bits, 8);
    return v;
}
CEPROPVAL I4(LONG x) {
    return Value(CEVT_I4, static_cast<ULONG>(x));
}
CEPROPVAL Real(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, 8);
    return Value(CEVT_R8, bits);
}
CEPROPVAL Text(const char16_t* text) {
    CEPROPVAL v{};
    v.propid = MakePropID(kKey, CEVT_LPWSTR);
    v.val.lpwstr = const_cast<LPWSTR>(text);
    return v;
}

struct SortCase {
    const char* name;
    WORD type;
    DWORD flags;
    std::vector<std::optional<CEPROPVAL>> records;  // nullopt: lacks the key
    std::vector<int> expected;                      // creation indexes in order
};

std::ostream& operator<<(std::ostream& out, const SortCase& c) {
    return out << c.name;
}

const std::optional<CEPROPVAL> kMissing = std::nullopt;

const SortCase kCases[] = {
    {"IntAscending", CEVT_I4, 0, {I4(5), I4(-3), kMissing, I4(10), I4(-3)}, {1, 4, 0, 3, 2}},
    {"IntDescending",
     CEVT_I4,
     CEDB_SORT_DESCENDING,
     {I4(5), I4(-3), kMissing, I4(10), I4(-3)},
     {3, 0, 1, 4, 2}},
    {"DescendingUnknownFirst",
     CEVT_I4,
     CEDB_SORT_DESCENDING | CEDB_SORT_UNKNOWNFIRST,
     {I4(5), kMissing, I4(10)},
     {1, 2, 0}},
    {"AscendingUnknownFirst", CEVT_I4, CEDB_SORT_UNKNOWNFIRST, {I4(5), kMissing, I4(1)}, {1, 2, 0}},
    {"UnsignedFourBytes", CEVT_UI4, 0, {Value(CEVT_UI4, 0xFFFFFFFF), Value(CEVT_UI4, 1)}, {1, 0}},
    {"SignedTwoBytes",
     CEVT_I2,
     0,
     {Value(CEVT_I2, 0xAAAA0001), Value(CEVT_I2, 0x0000FFFF)},
     {1, 0}},
    {"UnsignedTwoBytes",
     CEVT_UI2,
     0,
     {Value(CEVT_UI2, 0x0000FFFF), Value(CEVT_UI2, 0xFFFF0001)},
     {1, 0}},
    {"Doubles", CEVT_R8, 0, {Real(2.5), Real(-1.0), Real(1e10), Real(-0.5)}, {1, 3, 0, 2}},
    {"FileTimesAsOneNumber",
     CEVT_FILETIME,
     0,
     {Value(CEVT_FILETIME, 0x0000000100000000ULL), Value(CEVT_FILETIME, 0x00000000FFFFFFFFULL)},
     {1, 0}},
    {"BoolByValue",
     CEVT_BOOL,
     0,
     {Value(CEVT_BOOL, 1), Value(CEVT_BOOL, 0), Value(CEVT_BOOL, 0xFFFFFFFF)},
     {2, 1, 0}},
    {"TextByUnits",
     CEVT_LPWSTR,
     0,
     {Text(u"b"), Text(u"B"), Text(u"a"), Text(u"A"), Text(u"ab")},
     {3, 1, 2, 4, 0}},
    {"TextIgnoringCase",
     CEVT_LPWSTR,
     CEDB_SORT_CASEINSENSITIVE,
     {Text(u"b"), Text(u"B"), Text(u"a"), Text(u"A")},
     {2, 3, 0, 1}},
    {"TextDescending",
     CEVT_LPWSTR,
     CEDB_SORT_DESCENDING,
     {Text(u"apple"), Text(u"\u00e9clair"), Text(u"zoo")},
     {1, 2, 0}},
    {"AbsentTextCountsAsLacking", CEVT_LPWSTR, 0, {Text(nullptr), Text(u"x")}, {1, 0}},
    {"OtherTypeCountsAsLacking", CEVT_I4, 0, {Value(CEVT_UI4, 1), I4(7)}, {1, 0}},
};

class SortOrderTest : public StoreTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(SortOrderTest, WalksRecordsInOrder) {
    const SortCase& c = GetParam();
    SORTORDERSPEC rule{MakePropID(kKey, c.type), c.flags};
    CEOID db = CeCreateDatabase(u"Sorted", 0, 1, &rule);
    ASSERT_NE(db, 0u);
    ScopedHandle h(Open(db, rule.propid));
    for (std::size_t i = 0; i < c.records.size(); ++i) {
        std::vector<CEPROPVAL> props{IntProp(kTag, static_cast<LONG>(i))};
        if (c.records[i])
            props.push_back(*c.records[i]);
        Write(h, props);
    }
    std::vector<int> order;
    DWORD index = 0;
    for (CEOID oid = CeSeekDatabase(h, CEDB_SEEK_BEGINNING, 0, &index); oid != 0;
         oid = CeSeekDatabase(h, CEDB_SEEK_CURRENT, 1, &index)) {
        EXPECT_EQ(index, order.size());
        ReadBack back;
        ASSERT_TRUE(ReadCurrent(h, &back));
        order.push_back(back.Find(kTag)->val.lVal);
    }
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(order, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, SortOrderTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class SortedHandleTest : public StoreTest {
protected:
    void SetUp() override {
        SORTORDERSPEC rule{kNumber, 0};
        db_ = CeCreateDatabase(u"Numbers", 0, 1, &rule);
        h_ = Open(db_, kNumber);
        for (LONG v : {10, 20, 30})
            oids_.push_back(Write(h_, {IntProp(kNumber, v)}));
    }
    void TearDown() override {
        CloseHandle(h_);
        StoreTest::TearDown();
    }
    CEOID db_ = 0;
    HANDLE h_ = INVALID_HANDLE_VALUE;
    std::vector<CEOID> oids_;
};

TEST_F(SortedHandleTest, APointerFollowsItsRecordWhenTheKeyChanges) {
    ASSERT_EQ(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, nullptr), oids_[0]);
    Write(h_, {IntProp(kNumber, 25)}, oids_[0]);
    DWORD index = 0;
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CURRENT, 0, &index), oids_[0]);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_CURRENT, 1, &index), oids_[2]);
}

TEST_F(SortedHandleTest, ChangesThroughAnotherHandleReorderThisOne) {
    ScopedHandle other(Open(db_));
    Write(other, {IntProp(kNumber, 5)}, oids_[2]);
    Write(other, {IntProp(kNumber, 15)});
    DWORD index = 0;
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, &index), oids_[2]);
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_END, 0, &index), oids_[1]);
    EXPECT_EQ(index, 3u);
}

TEST_F(SortedHandleTest, ChangedSortFlagsApplyToOpenHandles) {
    CEDBASEINFO info = Info(db_);
    info.dwFlags = CEDB_VALIDSORTSPEC;
    info.rgSortSpecs[0].dwFlags = CEDB_SORT_DESCENDING;
    ASSERT_TRUE(CeSetDatabaseInfo(db_, &info));
    EXPECT_EQ(CeSeekDatabase(h_, CEDB_SEEK_BEGINNING, 0, nullptr), oids_[2]);
}

}  // namespace
}  // namespace store_test

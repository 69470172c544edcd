#include "store/Formatting.h"

#include <gtest/gtest.h>

#include "tests/support/ParamNames.h"

#include "platform/core/Text.h"

namespace {

struct DoubleCase {
    double value;
    const char* text;
};

class FormatDoubleTable : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(FormatDoubleTable, FiveDecimals) {
    EXPECT_EQ(ce::WideToUtf8(store::FormatDouble(GetParam().value, 5)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatDoubleTable,
    ::testing::Values(DoubleCase{0.5, "0.5"}, DoubleCase{12, "12."}, DoubleCase{-3.25, "-3.25"},
                      DoubleCase{-0.5, "-0.5"}, DoubleCase{0.001, "0.001"},
                      DoubleCase{1234567.891, "1234567.891"},
                      DoubleCase{123456789012.5, "1.234567890125e+011"},
                      // 100000000000. is 13 characters: the first scientific one.
                      DoubleCase{1E11, "1.0e+011"},
                      // 12 characters stay fixed.
                      DoubleCase{12345678901.0, "12345678901."}, DoubleCase{0.0, "0."},
                      DoubleCase{2.0, "2."}, DoubleCase{-0.000001, "-0."},
                      DoubleCase{0.123456, "0.12346"}, DoubleCase{-1E12, "-1.0e+012"}),
    testing_support::RowName());

TEST(FormatDouble, HugeValuesStayWithinTheTextLimit) {
    EXPECT_LE(store::FormatDouble(1e308, 5).size(), 259u);
    EXPECT_EQ(ce::WideToUtf8(store::FormatDouble(1e308, 5)).substr(0, 2), "1.");
}

struct SizeCase {
    std::int64_t bytes;
    const char* text;
    const char* withBytes;
};

class SizeTextTable : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeTextTable, KilobytesAndHundredthsRoundTowardZero) {
    EXPECT_EQ(ce::WideToUtf8(store::SizeText(GetParam().bytes)), GetParam().text);
    EXPECT_EQ(ce::WideToUtf8(store::SizeTextWithBytes(GetParam().bytes)), GetParam().withBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SizeTextTable,
    ::testing::Values(SizeCase{0, "0.00KB", "0.00KB"}, SizeCase{-5, "0.00KB", "0.00KB"},
                      SizeCase{1536, "1.50KB", "1.50KB (1536 Bytes)"},
                      SizeCase{1000, "0.97KB", "0.97KB (1000 Bytes)"},
                      SizeCase{1023, "0.99KB", "0.99KB (1023 Bytes)"},
                      SizeCase{1024, "1.00KB", "1.00KB (1024 Bytes)"},
                      SizeCase{10, "0.00KB", "0.00KB (10 Bytes)"},
                      SizeCase{4294967295LL, "4194303.99KB", "4194303.99KB (4294967295 Bytes)"}),
    testing_support::RowName());

TEST(DateTime, DiffersIgnoresMillisecondsAndDayOfWeek) {
    ce::SYSTEMTIME a{2026, 12, 2, 8, 6, 5, 9, 100};
    ce::SYSTEMTIME b = a;
    b.wMilliseconds = 999;
    b.wDayOfWeek = 5;
    EXPECT_FALSE(store::DateTime(a).Differs(store::DateTime(b)));
    b.wSecond = 10;
    EXPECT_TRUE(store::DateTime(a).Differs(store::DateTime(b)));
}

TEST(DateTime, TextsFromAFileTimeInLocalTime) {
    // 2026-12-08 06:18:51 UTC; the tests run with TZ=UTC.
    ce::FILETIME ft{static_cast<ce::DWORD>(134411843310000000ULL),
                    static_cast<ce::DWORD>(134411843310000000ULL >> 32)};
    store::DateTime when = store::DateTime::FromFileTime(ft);
    EXPECT_EQ(std::u16string(when.ShortDate()), u"12/08/26");
    EXPECT_EQ(std::u16string(when.TimeText(false)), u"06:18");
    EXPECT_EQ(std::u16string(when.TimeText(true)), u"06:18:51");
    store::DateTime made(2026, 12, 8, 6, 18, 51);
    EXPECT_FALSE(made.Differs(when));
}

}  // namespace

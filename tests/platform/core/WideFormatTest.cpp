#include "platform/core/WideFormat.h"

#include <gtest/gtest.h>

#include "tests/support/ParamNames.h"

#include "platform/core/Text.h"

namespace {

using ce::FormatWide;

struct FormatCase {
    const char16_t* format;
    std::u16string expected;
    std::vector<ce::FormatArg> args;
};

std::u16string Apply(const FormatCase& c) {
    switch (c.args.size()) {
        case 0:
            return FormatWide(c.format, {});
        case 1:
            return FormatWide(c.format, {c.args[0]});
        case 2:
            return FormatWide(c.format, {c.args[0], c.args[1]});
        default:
            return FormatWide(c.format, {c.args[0], c.args[1], c.args[2]});
    }
}

class WideFormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WideFormatTable, FormatsLikeTheStringTableExpects) {
    EXPECT_EQ(ce::WideToUtf8(Apply(GetParam())), ce::WideToUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, WideFormatTable,
    ::testing::Values(
        FormatCase{u"%d.%02dKB", u"1.50KB", {1, 50}}, FormatCase{u"%d.%02dKB", u"0.05KB", {0, 5}},
        FormatCase{u"%ld Bytes", u"-1536 Bytes", {-1536}}, FormatCase{u"%u", u"4294967295", {-1}},
        FormatCase{u"%lu of %u", u"7 of 9", {7u, 9u}}, FormatCase{u"%x/%X", u"ff/FF", {255, 255}},
        FormatCase{u"Couldn't open \"%s\" database: %s",
                   u"Couldn't open \"Contacts\" database: x",
                   {u"Contacts", u"x"}},
        FormatCase{u"100%% done", u"100% done", {}},
        FormatCase{u"%5d|%-5d|%05d", u"   42|42   |00042", {42, 42, 42}},
        FormatCase{u"%d", u"-2147483648", {static_cast<int>(-2147483647 - 1)}},
        FormatCase{u"%s and %s", u"one and ", {u"one"}}, FormatCase{u"%.3s", u"abc", {u"abcdef"}},
        FormatCase{u"trailing %", u"trailing %", {}}, FormatCase{u"%hd", u"-1", {65535}},
        FormatCase{u"Record\n%u of %u", u"Record\n1 of 1", {1u, 1u}}),
    testing_support::RowName());

TEST(WideFormat, CountsPlaceholdersButNotPercentSigns) {
    EXPECT_EQ(ce::CountPlaceholders(u"Couldn't open \"%s\" database: %s"), 2);
    EXPECT_EQ(ce::CountPlaceholders(u"Unable to delete property: %s"), 1);
    EXPECT_EQ(ce::CountPlaceholders(u"100%% of %d"), 1);
    EXPECT_EQ(ce::CountPlaceholders(u"none"), 0);
}

TEST(WideFormat, FixedBufferIsTruncatedAndTerminated) {
    ce::WCHAR buffer[6];
    EXPECT_EQ(ce::FormatWideInto(buffer, u"%s!", {u"abcdefgh"}), 5u);
    EXPECT_EQ(std::u16string(buffer), u"abcde");
}

}  // namespace

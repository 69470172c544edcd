// Reading typed numbers: the platform's field conversion and the range of
// each property type.

#include "editor/NumberInput.h"

#include <gtest/gtest.h>

#include "resources/EditorIds.h"

namespace {

using namespace ce;
using editor::ReadNumber;

struct Case {
    WORD type;
    const char16_t* text;
    bool accepted;
};

class ReadNumberTest : public ::testing::TestWithParam<Case> {};

TEST_P(ReadNumberTest, AcceptsExactlyTheTypesRange) {
    CEVALUNION value{};
    EXPECT_EQ(ReadNumber(GetParam().type, GetParam().text, value), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ReadNumberTest,
    ::testing::Values(Case{CEVT_I2, u"-32768", true}, Case{CEVT_I2, u"32767", true},
                      Case{CEVT_I2, u"32768", false}, Case{CEVT_I2, u"  -7", true},
                      Case{CEVT_I2, u"7 ", false}, Case{CEVT_I2, u"", false},
                      Case{CEVT_UI2, u"65535", true}, Case{CEVT_UI2, u"-1", false},
                      Case{CEVT_I4, u"-2147483648", true}, Case{CEVT_I4, u"2147483648", false},
                      Case{CEVT_I4, u"abc", false}, Case{CEVT_I4, u"99999999999999999999", false},
                      Case{CEVT_UI4, u"4294967295", true}, Case{CEVT_UI4, u"4294967296", false},
                      Case{CEVT_R8, u"1e308", true}, Case{CEVT_R8, u"1e999", false},
                      Case{CEVT_R8, u" -0.5 ", true}, Case{CEVT_R8, u"0x10", false},
                      Case{CEVT_R8, u"nan", false}, Case{CEVT_R8, u"1.5.", false}));

TEST(ReadNumber, StoresTheValueInItsTypesField) {
    CEVALUNION value{};
    ASSERT_TRUE(ReadNumber(CEVT_I2, u"-2", value));
    EXPECT_EQ(value.iVal, -2);
    ASSERT_TRUE(ReadNumber(CEVT_UI4, u"4000000000", value));
    EXPECT_EQ(value.ulVal, 4000000000u);
    ASSERT_TRUE(ReadNumber(CEVT_R8, u"2.25", value));
    EXPECT_EQ(value.dblVal, 2.25);
    EXPECT_EQ(editor::BadNumberMessage(CEVT_UI4), res::IDS_BAD_ULONG);
}

}  // namespace

#include "platform/core/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, Utf8RoundTripKeepsSurrogatePairs) {
    std::u16string text = u"Grüße \u20AC \U0001F600";
    EXPECT_EQ(ce::Utf8ToWide(ce::WideToUtf8(text)), text);
    EXPECT_EQ(ce::WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Text, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(ce::Utf8ToWide("a\xFF"
                             "b"),
              u"a\uFFFDb");
    EXPECT_EQ(ce::Utf8ToWide("\xE2\x82"), u"\uFFFD\uFFFD");  // cut short
    EXPECT_EQ(ce::WideToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, CopyWideTruncatesAndAlwaysTerminates) {
    ce::WCHAR buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(ce::CopyWide(buffer, u"abcdef"), 3u);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(ce::CopyWide(buffer, 0, u"abc"), 0u);
    EXPECT_EQ(ce::WideLengthBounded(u"abc", 2), 2u);
    EXPECT_EQ(ce::WideLength(nullptr), 0u);
}

TEST(Text, CopyWideCutsBetweenCharactersNotInsideOne) {
    ce::WCHAR buffer[4];
    // U+1F600 is two units; only one of them would fit after "ab".
    EXPECT_EQ(ce::CopyWide(buffer, u"ab\U0001F600"), 2u);
    EXPECT_EQ(std::u16string(buffer), u"ab");
    EXPECT_EQ(ce::CopyWide(buffer, u"a\U0001F600b"), 3u);
    EXPECT_EQ(std::u16string(buffer), u"a\U0001F600");
    // A lone surrogate is a unit like any other.
    EXPECT_EQ(ce::CopyWide(buffer, std::u16string(u"ab\xD83Dx")), 3u);
    EXPECT_EQ(ce::CutOnCharacter(u"\U0001F600", 1), 0u);
}

TEST(Text, CaseInsensitiveComparisonFoldsLettersBeyondAscii) {
    EXPECT_EQ(ce::CompareWideIgnoreCase(u"Contacts", u"CONTACTS"), 0);
    EXPECT_EQ(ce::CompareWideIgnoreCase(u"\u00C4pfel", u"\u00E4PFEL"), 0);
    EXPECT_LT(ce::CompareWideIgnoreCase(u"abc", u"ABD"), 0);
    EXPECT_LT(ce::CompareWideIgnoreCase(u"ab", u"abc"), 0);
    EXPECT_GT(ce::lstrcmpW(u"b", u"a"), 0);
    EXPECT_NE(ce::lstrcmpW(u"a", u"A"), 0);
}

TEST(Text, SpaceClassIncludesTabsAndWideBlanks) {
    EXPECT_TRUE(ce::IsWideSpace(u' '));
    EXPECT_TRUE(ce::IsWideSpace(u'\t'));
    EXPECT_TRUE(ce::IsWideSpace(u'\n'));
    EXPECT_FALSE(ce::IsWideSpace(u'/'));
}

}  // namespace

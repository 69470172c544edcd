// Byte images of archives and scripts, written out by hand from the format
// tables, against what the encoders produce and the decoders accept.

#include "backup/ArchiveFormat.h"

#include <gtest/gtest.h>
#include <cstring>
#include <vector>

#include "backup/Password.h"
#include "backup/ScriptFile.h"

namespace {

using namespace backup;
using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes ToBytes(const std::array<std::uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

void Put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = (v >> (8 * i)) & 0xFF;
}
void PutText(Bytes& b, std::size_t at, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        Put16(b, at + 2 * i, text[i]);
}

TEST(ArchiveFormatTest, ArchiveHeaderImages) {
    const Bytes plain = {0x31, 0x30, 0x53, 0x54, 24, 0, 0, 0, 0,  0, 0, 0,
                         0,    0,    0,    0,    0,  0, 0, 0, 24, 0, 0, 0};
    EXPECT_EQ(ToBytes(EncodeArchiveHeader(MakeArchiveHeader(0, false, false))), plain);

    const Bytes protectedCompressed = {0x31, 0x30, 0x53, 0x54, 24,   0, 0, 0, 3,  0, 0, 0,
                                       1,    0,    0,    0,    0x10, 0, 0, 0, 64, 0, 0, 0};
    ArchiveHeader header = MakeArchiveHeader(3, true, true);
    EXPECT_EQ(ToBytes(EncodeArchiveHeader(header)), protectedCompressed);

    ArchiveHeader read =
        DecodeArchiveHeader(std::span<const std::uint8_t, 24>(protectedCompressed.data(), 24));
    EXPECT_EQ(read.databaseCount, 3u);
    EXPECT_TRUE(read.IsCompressed());
    EXPECT_TRUE(read.HasPassword());
    EXPECT_EQ(read.firstBlock, 64u);
}

TEST(ArchiveFormatTest, OnlyFlagBit0x10MeansAPasswordAndAnyNonzeroMeansCompressed) {
    Bytes image(24, 0);
    Put32(image, 12, 7);
    Put32(image, 16, 0xFFEF);
    ArchiveHeader header = DecodeArchiveHeader(std::span<const std::uint8_t, 24>(image.data(), 24));
    EXPECT_TRUE(header.IsCompressed());
    EXPECT_FALSE(header.HasPassword());
}

TEST(ArchiveFormatTest, DatabaseHeaderImageFollowsTheTable) {
    DatabaseHeader header;
    header.info.dwFlags = 0x11223344;
    std::memcpy(header.info.szDbaseName, u"Contacts", 9 * 2);
    header.info.dwDbaseType = 0x0102;
    header.info.wNumRecords = 513;
    header.info.wNumSortOrder = 2;
    header.info.dwSize = 1536;
    header.info.ftLastModified = {0xAABBCCDD, 0x01D00000};
    header.info.rgSortSpecs[0] = {0x0001001F, 2};
    header.info.rgSortSpecs[3] = {0x00040003, 5};
    header.stored = {2026, 12, 2, 8, 6, 18, 51, 999};
    header.nextBlock = 0x12345;

    Bytes expected(144, 0);
    Put32(expected, 0, 144);
    Put32(expected, 4, 0x11223344);
    PutText(expected, 8, u"Contacts");
    Put32(expected, 72, 0x0102);
    Put16(expected, 76, 513);
    Put16(expected, 78, 2);
    Put32(expected, 80, 1536);
    Put32(expected, 84, 0xAABBCCDD);
    Put32(expected, 88, 0x01D00000);
    Put32(expected, 92, 0x0001001F);
    Put32(expected, 96, 2);
    Put32(expected, 116, 0x00040003);
    Put32(expected, 120, 5);
    const unsigned time[] = {2026, 12, 2, 8, 6, 18, 51, 999};
    for (int i = 0; i < 8; ++i)
        Put16(expected, 124 + 2 * i, time[i]);
    Put32(expected, 140, 0x12345);
    ASSERT_EQ(ToBytes(EncodeDatabaseHeader(header)), expected);

    DatabaseHeader back =
        DecodeDatabaseHeader(std::span<const std::uint8_t, 144>(expected.data(), 144));
    EXPECT_EQ(ToBytes(EncodeDatabaseHeader(back)), expected);
    EXPECT_EQ(std::u16string(back.info.szDbaseName), u"Contacts");
}

TEST(ArchiveFormatTest, ADatabaseNameFillingItsFieldIsCutToStayTerminated) {
    Bytes image(144, 0);
    for (int i = 0; i < 32; ++i)
        Put16(image, 8 + 2 * i, 'A');
    DatabaseHeader header =
        DecodeDatabaseHeader(std::span<const std::uint8_t, 144>(image.data(), 144));
    EXPECT_EQ(std::u16string(header.info.szDbaseName), std::u16string(31, u'A'));
}

TEST(ArchiveFormatTest, RecordHeaderImage) {
    RecordHeader header;
    header.propertyCount = 0x0203;
    header.sequence = 1;
    header.length = 0x01020304;
    const Bytes expected = {0x03, 0x02, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(ToBytes(EncodeRecordHeader(header)), expected);
    RecordHeader back = DecodeRecordHeader(std::span<const std::uint8_t, 16>(expected.data(), 16));
    EXPECT_EQ(back.propertyCount, 0x0203);
    EXPECT_EQ(back.sequence, 1u);
    EXPECT_EQ(back.length, 0x01020304u);
}

TEST(PasswordTest, ScramblingIsItsOwnInverseAndStopsAtTheTerminator) {
    WCHAR text[kPasswordUnits] = u"secret";
    text[8] = u'x';  // past the terminator: never touched
    ScramblePassword(text);
    EXPECT_EQ(text[0], u's' ^ PasswordKey());
    EXPECT_EQ(text[6], 0);
    EXPECT_EQ(text[8], u'x');
    ScramblePassword(text);
    EXPECT_EQ(std::u16string(text), u"secret");
}

TEST(PasswordTest, AUnitEqualToTheKeyEndsTheStoredPassword) {
    WCHAR text[kPasswordUnits] = {u'a', u'b', PasswordKey(), u'c', 0};
    ScramblePassword(text);
    ScramblePassword(text);
    EXPECT_EQ(std::u16string(text), u"ab");
}

TEST(PasswordTest, PasswordBlockKeepsNineteenUnitsAndZerosAfterTheEnd) {
    WCHAR stored[kPasswordUnits] = u"abcd";
    Bytes expected(40, 0);
    PutText(expected, 0, u"abcd");
    EXPECT_EQ(ToBytes(EncodePasswordBlock(stored)), expected);

    Bytes hostile(40, 0);
    for (int i = 0; i < 20; ++i)
        Put16(hostile, 2 * i, i == 3 ? 0 : 'z');
    DecodePasswordBlock(std::span<const std::uint8_t, 40>(hostile.data(), 40), stored);
    EXPECT_EQ(std::u16string(stored), u"zzz");
    for (int i = 3; i < 20; ++i)
        EXPECT_EQ(stored[i], 0) << i;

    std::fill(hostile.begin(), hostile.end(), 'z');
    DecodePasswordBlock(std::span<const std::uint8_t, 40>(hostile.data(), 40), stored);
    EXPECT_EQ(std::u16string(stored).size(), 19u);
}

Bytes ScriptHeaderImage(std::uint32_t compressed, std::u16string_view archive,
                        const WCHAR* storedPassword, std::uint32_t count) {
    Bytes b(588, 0);
    Put32(b, 0, 588);
    Put32(b, 4, 288);
    Put32(b, 8, compressed);
    PutText(b, 16, archive);
    if (storedPassword != nullptr) {
        for (int i = 0; storedPassword[i] != 0; ++i)
            Put16(b, 536 + 2 * i, storedPassword[i]);
    }
    Put32(b, 576, count);
    return b;
}

TEST(ScriptFileTest, HeaderImagesWithAndWithoutPassword) {
    ScriptHeader header;
    header.compressed = 1;
    std::memcpy(header.archiveName, u"\\My Documents\\all.bkp", 22 * 2);
    header.databaseCount = 2;
    EXPECT_EQ(ToBytes(EncodeScriptHeader(header)),
              ScriptHeaderImage(1, u"\\My Documents\\all.bkp", nullptr, 2));

    WCHAR stored[kPasswordUnits] = u"pass1";
    ScramblePassword(stored);
    std::memcpy(header.password, stored, sizeof stored);
    header.compressed = 0;
    Bytes image = ScriptHeaderImage(0, u"\\My Documents\\all.bkp", stored, 2);
    EXPECT_EQ(ToBytes(EncodeScriptHeader(header)), image);

    ScriptHeader back = DecodeScriptHeader(std::span<const std::uint8_t, 588>(image.data(), 588));
    EXPECT_EQ(std::u16string(back.archiveName), u"\\My Documents\\all.bkp");
    ScramblePassword(back.password);
    EXPECT_EQ(std::u16string(back.password), u"pass1");
    EXPECT_EQ(back.databaseCount, 2u);
}

TEST(ScriptFileTest, EntryIsTheNameIn36Units) {
    Bytes expected(72, 0);
    PutText(expected, 0, u"\\Calendar");
    EXPECT_EQ(ToBytes(EncodeScriptEntry(u"\\Calendar")), expected);
}

}  // namespace

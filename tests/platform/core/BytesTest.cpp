#include "platform/core/Bytes.h"

#include <gtest/gtest.h>

namespace {

TEST(ByteReader, ReadsLittleEndianAndRefusesToReadPastTheEnd) {
    const ce::BYTE data[] = {0x31, 0x30, 0x53, 0x54, 0x18, 0x00, 0x7F};
    ce::ByteReader reader(data, sizeof data);
    ce::DWORD signature;
    ce::WORD size;
    ce::DWORD tooMuch = 0xAAAAAAAA;
    ASSERT_TRUE(reader.U32(signature));
    EXPECT_EQ(signature, 0x54533031u);
    ASSERT_TRUE(reader.U16(size));
    EXPECT_EQ(size, 24);
    EXPECT_FALSE(reader.U32(tooMuch));
    EXPECT_EQ(tooMuch, 0xAAAAAAAAu);
    EXPECT_EQ(reader.Offset(), 6u);
    EXPECT_FALSE(reader.Skip(2));
    EXPECT_TRUE(reader.Skip(1));
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ByteReader, WideFieldStopsAtTheFirstZeroButConsumesTheField) {
    ce::ByteWriter writer;
    writer.WideField(u"abc", 5);
    writer.U8(9);
    EXPECT_EQ(writer.Size(), 11u);
    ce::ByteReader reader(writer.Data());
    std::u16string text;
    ASSERT_TRUE(reader.WideField(5, text));
    EXPECT_EQ(text, u"abc");
    ce::BYTE tail;
    ASSERT_TRUE(reader.U8(tail));
    EXPECT_EQ(tail, 9);
    ce::ByteReader shortReader(writer.Data().data(), 4);
    EXPECT_FALSE(shortReader.WideField(5, text));
}

TEST(ByteWriter, WideFieldCutsTextToLeaveTheTerminator) {
    ce::ByteWriter writer;
    writer.WideField(u"abcdef", 3);
    ASSERT_EQ(writer.Size(), 6u);
    EXPECT_EQ(writer.Data()[0], 'a');
    EXPECT_EQ(writer.Data()[2], 'b');
    EXPECT_EQ(writer.Data()[4], 0);
    writer.PatchU32(0, 0x01020304);
    EXPECT_EQ(ce::LoadU32(writer.Data().data()), 0x01020304u);
    // A character of two units that would not fit whole is left out whole.
    ce::ByteWriter pair;
    pair.WideField(u"a\U0001F600", 3);
    EXPECT_EQ(pair.Data(), (std::vector<ce::BYTE>{'a', 0, 0, 0, 0, 0}));
}

}  // namespace

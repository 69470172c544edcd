// The clipboard block: its layout for each type, and blocks that are short,
// inconsistent or of unknown types refused without reading past them.

#include "editor/ClipboardBlock.h"

#include <gtest/gtest.h>

#include "platform/core/Bytes.h"

namespace {

using namespace ce;
using editor::DecodeClipboardBlock;
using editor::EncodeClipboardBlock;

TEST(ClipboardBlock, ATextIsItsHeaderThenItsCharactersWithTheTerminator) {
    std::u16string text = u"\u00e9t\u00e9";
    CEPROPVAL value{};
    value.propid = MakePropID(7, CEVT_LPWSTR);
    value.val.lpwstr = text.data();
    std::vector<BYTE> block = *EncodeClipboardBlock(value);
    ASSERT_EQ(block.size(), 16u + 2u * 4u);
    EXPECT_EQ(LoadU32(block.data()), MakePropID(7, CEVT_LPWSTR));
    EXPECT_NE(LoadU32(block.data() + 8), 0u);
    EXPECT_EQ(LoadU16(block.data() + 16), 0x00E9);
    EXPECT_EQ(LoadU16(block.data() + 22), 0);
    auto back = DecodeClipboardBlock(block);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text(), text);
}

TEST(ClipboardBlock, AnAbsentTextAndAnEmptyBinaryAreSixteenBytes) {
    CEPROPVAL text{};
    text.propid = MakePropID(1, CEVT_LPWSTR);
    std::vector<BYTE> block = *EncodeClipboardBlock(text);
    ASSERT_EQ(block.size(), 16u);
    EXPECT_FALSE(DecodeClipboardBlock(block)->hasText());
    CEPROPVAL blob{};
    blob.propid = MakePropID(2, CEVT_BLOB);
    block = *EncodeClipboardBlock(blob);
    ASSERT_EQ(block.size(), 16u);
    EXPECT_EQ(LoadU32(block.data() + 12), 0u);
    EXPECT_TRUE(DecodeClipboardBlock(block)->bytes().empty());
}

TEST(ClipboardBlock, NumbersKeepTheirEightValueBytesAndTheFlags) {
    CEPROPVAL value{};
    value.propid = MakePropID(3, CEVT_R8);
    value.wLenData = 8;
    value.wFlags = 0x0010;
    value.val.dblVal = -1.25;
    auto back = DecodeClipboardBlock(*EncodeClipboardBlock(value));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Value().val.dblVal, -1.25);
    EXPECT_EQ(back->Value().wLenData, 8);
    EXPECT_EQ(back->Value().wFlags, 0x0010);
}

TEST(ClipboardBlock, HostileBlocksAreRefused) {
    std::vector<BYTE> shortHeader(15, 0);
    EXPECT_FALSE(DecodeClipboardBlock(shortHeader));
    // A text that announces characters but has no terminator inside the block.
    std::vector<BYTE> text(20, 0x41);
    StoreU32(text.data(), MakePropID(1, CEVT_LPWSTR));
    StoreU32(text.data() + 8, 16);
    EXPECT_FALSE(DecodeClipboardBlock(text));
    // A binary whose count runs past the end.
    std::vector<BYTE> blob(20, 0);
    StoreU32(blob.data(), MakePropID(1, CEVT_BLOB));
    StoreU32(blob.data() + 8, 5);
    StoreU32(blob.data() + 12, 16);
    EXPECT_FALSE(DecodeClipboardBlock(blob));
    StoreU32(blob.data() + 8, 4);
    EXPECT_EQ(DecodeClipboardBlock(blob)->bytes().size(), 4u);
    // Bytes announced without the pointer saying they follow.
    StoreU32(blob.data() + 12, 0);
    EXPECT_FALSE(DecodeClipboardBlock(blob));
    // A type the editor does not know.
    std::vector<BYTE> unknown(16, 0);
    StoreU32(unknown.data(), MakePropID(1, 0x77));
    EXPECT_FALSE(DecodeClipboardBlock(unknown));
    EXPECT_FALSE(EncodeClipboardBlock(CEPROPVAL{MakePropID(1, 0x77), 0, 0, {}}));
}

}  // namespace

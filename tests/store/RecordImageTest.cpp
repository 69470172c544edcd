#include "store/RecordImage.h"

#include <gtest/gtest.h>
#include <cstring>

#include "tests/support/ParamNames.h"

#include "platform/core/Bytes.h"

namespace {

using ce::BYTE;
using ce::CEPROPVAL;

CEPROPVAL Prop(ce::WORD number, ce::WORD type) {
    CEPROPVAL p{};
    p.propid = ce::MakePropID(number, type);
    return p;
}

TEST(RecordImage, LayoutOfEntriesTextAndBytes) {
    CEPROPVAL props[3] = {Prop(1, ce::CEVT_I2), Prop(2, ce::CEVT_LPWSTR), Prop(3, ce::CEVT_BLOB)};
    // A 16-bit value keeps the 6 bytes it does not use, exactly as written.
    const BYTE value[8] = {0x34, 0x12, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    std::memcpy(props[0].val.bytes, value, 8);
    props[0].wLenData = 7;
    props[1].val.lpwstr = const_cast<ce::WCHAR*>(u"Hi");
    BYTE blob[3] = {9, 8, 7};
    props[2].val.blob = {3, blob};

    std::vector<BYTE> image = store::EncodeRelativeImage(props, 3);
    const std::vector<BYTE> expected = {
        // entry 0: propid 0x00010002, wLenData 7, wFlags 0, the 8 value bytes
        0x02, 0x00, 0x01, 0x00, 0x07, 0x00, 0x00, 0x00, 0x34, 0x12, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE,
        0xFF,
        // entry 1: text at offset 48
        0x1F, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00,
        // entry 2: 3 bytes at offset 56
        0x41, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x38, 0x00, 0x00,
        0x00,
        // "Hi\0" in UTF-16LE, then 2 bytes of padding to a 4-byte boundary
        'H', 0, 'i', 0, 0, 0, 0, 0, 9, 8, 7};
    EXPECT_EQ(image, expected);

    store::DecodedRecord decoded;
    std::string problem;
    ASSERT_TRUE(store::DecodeRelativeImage(image.data(), static_cast<ce::DWORD>(image.size()), 3,
                                           decoded, &problem))
        << problem;
    const auto& back = decoded.props();
    EXPECT_EQ(std::memcmp(back[0].val.bytes, value, 8), 0);
    EXPECT_EQ(back[0].wLenData, 7);
    EXPECT_EQ(std::u16string(back[1].val.lpwstr), u"Hi");
    ASSERT_EQ(back[2].val.blob.dwCount, 3u);
    EXPECT_EQ(back[2].val.blob.lpb[2], 7);
    // Encoding the decoded record gives the same image.
    EXPECT_EQ(store::EncodeRelativeImage(back.data(), 3), image);
}

TEST(RecordImage, AbsentTextAndEmptyBlobHaveNoData) {
    CEPROPVAL props[2] = {Prop(1, ce::CEVT_LPWSTR), Prop(2, ce::CEVT_BLOB)};
    std::vector<BYTE> image = store::EncodeRelativeImage(props, 2);
    ASSERT_EQ(image.size(), 32u);
    store::DecodedRecord decoded;
    ASSERT_TRUE(store::DecodeRelativeImage(image.data(), 32, 2, decoded, nullptr));
    EXPECT_EQ(decoded.props()[0].val.lpwstr, nullptr);
    EXPECT_EQ(decoded.props()[1].val.blob.lpb, nullptr);
    EXPECT_EQ(decoded.props()[1].val.blob.dwCount, 0u);
}

struct BadImage {
    const char* what;
    std::vector<BYTE> image;
    ce::WORD count;
};

std::vector<BYTE> Entry(ce::DWORD propid, ce::DWORD first, ce::DWORD second) {
    ce::ByteWriter w;
    w.U32(propid);
    w.U32(0);
    w.U32(first);
    w.U32(second);
    return w.Take();
}

std::vector<BYTE> operator+(std::vector<BYTE> a, const std::vector<BYTE>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class BadImages : public ::testing::TestWithParam<BadImage> {};

TEST_P(BadImages, AreRefusedWithoutReadingPastThem) {
    const BadImage& bad = GetParam();
    store::DecodedRecord decoded;
    std::string problem;
    // A copy of exactly the image's size, so that ASan sees any read past it.
    std::unique_ptr<BYTE[]> exact(new BYTE[bad.image.size() + (bad.image.empty() ? 1 : 0)]);
    std::memcpy(exact.get(), bad.image.data(), bad.image.size());
    EXPECT_FALSE(store::DecodeRelativeImage(exact.get(), static_cast<ce::DWORD>(bad.image.size()),
                                            bad.count, decoded, &problem))
        << bad.what;
    EXPECT_FALSE(problem.empty());
}

const ce::DWORD kText = ce::MakePropID(1, ce::CEVT_LPWSTR);
const ce::DWORD kBlob = ce::MakePropID(1, ce::CEVT_BLOB);

INSTANTIATE_TEST_SUITE_P(
    Cases, BadImages,
    ::testing::Values(
        BadImage{"more entries than bytes", Entry(kBlob, 0, 0), 2},
        BadImage{"text offset past the end", Entry(kText, 40, 0), 1},
        BadImage{"text offset inside the entries", Entry(kText, 4, 0) + std::vector<BYTE>{0, 0}, 1},
        BadImage{"text without terminator", Entry(kText, 16, 0) + std::vector<BYTE>{'a', 0, 'b'},
                 1},
        BadImage{"blob running past the end", Entry(kBlob, 5, 16) + std::vector<BYTE>{1, 2, 3}, 1},
        BadImage{"blob count that wraps", Entry(kBlob, 0xFFFFFFFF, 16) + std::vector<BYTE>{1}, 1},
        BadImage{"blob offset past the end", Entry(kBlob, 1, 0xFFFFFFF0), 1}),
    testing_support::RowName());

}  // namespace

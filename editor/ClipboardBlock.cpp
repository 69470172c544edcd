#include "editor/ClipboardBlock.h"

#include <cstring>

#include "editor/PropertyTypes.h"
#include "platform/core/Bytes.h"

namespace editor {

using namespace ce;

namespace {

// The pointer fields say only whether data follows; the writer puts there
// where the data starts within the block.
constexpr DWORD kDataFollows = kClipboardHeaderSize;

}  // namespace

std::optional<std::vector<BYTE>> EncodeClipboardBlock(const CEPROPVAL& value) {
    WORD type = TypeFromPropID(value.propid);
    if (FindType(type) == nullptr)
        return std::nullopt;
    std::size_t textUnits = 0;
    if (type == CEVT_LPWSTR && value.val.lpwstr != nullptr)
        textUnits = std::u16string_view(value.val.lpwstr).size() + 1;
    DWORD count = type == CEVT_BLOB && value.val.blob.lpb != nullptr ? value.val.blob.dwCount : 0;
    std::vector<BYTE> block(kClipboardHeaderSize + textUnits * 2 + count);
    BYTE* p = block.data();
    StoreU32(p, value.propid);
    StoreU16(p + 4, value.wLenData);
    StoreU16(p + 6, value.wFlags);
    if (type == CEVT_LPWSTR) {
        StoreU32(p + 8, textUnits > 0 ? kDataFollows : 0);
        for (std::size_t i = 0; i < textUnits; ++i)
            StoreU16(p + kClipboardHeaderSize + 2 * i,
                     i + 1 < textUnits ? static_cast<WORD>(value.val.lpwstr[i]) : 0);
    } else if (type == CEVT_BLOB) {
        StoreU32(p + 8, count);
        StoreU32(p + 12, count > 0 ? kDataFollows : 0);
        if (count > 0)
            std::memcpy(p + kClipboardHeaderSize, value.val.blob.lpb, count);
    } else {
        std::memcpy(p + 8, value.val.bytes, 8);
    }
    return block;
}

std::optional<PropertyValue> DecodeClipboardBlock(std::span<const BYTE> block) {
    ByteReader reader(block);
    CEPROPVAL header{};
    BYTE valueBytes[8] = {};
    if (!reader.U32(header.propid) || !reader.U16(header.wLenData) || !reader.U16(header.wFlags))
        return std::nullopt;
    for (BYTE& b : valueBytes) {
        if (!reader.U8(b))
            return std::nullopt;
    }
    WORD type = TypeFromPropID(header.propid);
    if (FindType(type) == nullptr)
        return std::nullopt;
    std::memcpy(header.val.bytes, valueBytes, 8);
    PropertyValue value;
    if (type == CEVT_LPWSTR) {
        header.val.lpwstr = nullptr;
        value.SetHeader(header);
        if (LoadU32(valueBytes) == 0)
            return value;
        std::u16string text;
        for (;;) {
            WORD unit = 0;
            if (!reader.U16(unit))
                return std::nullopt;
            if (unit == 0)
                break;
            text.push_back(static_cast<char16_t>(unit));
        }
        value.SetText(std::move(text), true);
        return value;
    }
    if (type == CEVT_BLOB) {
        DWORD count = LoadU32(valueBytes);
        bool follows = LoadU32(valueBytes + 4) != 0;
        header.val.blob.lpb = nullptr;
        value.SetHeader(header);
        if (count == 0) {
            value.SetBytes({});
            return value;
        }
        if (!follows || count > reader.Remaining())
            return std::nullopt;
        const BYTE* data = block.data() + reader.Offset();
        value.SetBytes(std::vector<BYTE>(data, data + count));
        return value;
    }
    value.SetHeader(header);
    return value;
}

}  // namespace editor

#pragma once
// Writes the relative record form (store/RecordImage.h describes it): the
// one writer behind both the image of a record read into CEPROPVALs and the
// image made straight from a stored record, so that the two agree byte for
// byte.

#include <cstddef>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "platform/core/Bytes.h"
#include "platform/core/Types.h"

namespace ce::objectstore {

// One property as the image takes it.
struct ImageProperty {
    CEPROPID propid = 0;
    WORD lenData = 0;
    WORD flags = 0;
    const BYTE* value = nullptr;  // the 8 value bytes of the in-place types
    bool present = false;         // a text or blob with a pointer
    // A text: its units without the terminator, either as host units or as
    // UTF-16LE bytes; a blob: its bytes.
    std::u16string_view text;
    std::span<const BYTE> bytes;
};

// Replaces `image` with the image of `count` properties, `at(i)` giving the
// i-th as an ImageProperty.
template <class At>
void WriteRelativeImage(std::size_t count, At at, std::vector<BYTE>& image) {
    constexpr std::size_t kEntry = 16;
    auto align = [](std::size_t n) { return (n + 3) & ~std::size_t{3}; };
    auto isText = [](CEPROPID id) { return TypeFromPropID(id) == CEVT_LPWSTR; };
    auto isBlob = [](CEPROPID id) { return TypeFromPropID(id) == CEVT_BLOB; };
    // The whole size first, so that the image is allocated (and zeroed,
    // which pads it) once.
    std::size_t size = count * kEntry;
    for (std::size_t i = 0; i < count; ++i) {
        ImageProperty p = at(i);
        if (!p.present)
            continue;
        if (isText(p.propid))
            size = align(size) + 2 * (p.text.empty() ? p.bytes.size() / 2 : p.text.size()) + 2;
        else if (isBlob(p.propid) && !p.bytes.empty())
            size = align(size) + p.bytes.size();
    }
    image.assign(size, 0);
    BYTE* out = image.data();
    std::size_t data = count * kEntry;
    for (std::size_t i = 0; i < count; ++i) {
        ImageProperty p = at(i);
        BYTE* entry = out + i * kEntry;
        StoreU32(entry, p.propid);
        StoreU16(entry + 4, p.lenData);
        StoreU16(entry + 6, p.flags);
        if (isText(p.propid)) {
            if (!p.present)
                continue;  // absent text: offset 0
            data = align(data);
            StoreU32(entry + 8, static_cast<DWORD>(data));
            if (!p.text.empty()) {
                for (char16_t c : p.text) {
                    StoreU16(out + data, c);
                    data += 2;
                }
            } else {
                std::size_t n = p.bytes.size() / 2 * 2;
                if (n != 0)
                    std::memcpy(out + data, p.bytes.data(), n);
                data += n;
            }
            data += 2;  // the terminator, zero already
        } else if (isBlob(p.propid)) {
            DWORD n = p.present ? static_cast<DWORD>(p.bytes.size()) : 0;
            StoreU32(entry + 8, n);
            if (n != 0) {
                data = align(data);
                StoreU32(entry + 12, static_cast<DWORD>(data));
                std::memcpy(out + data, p.bytes.data(), n);
                data += n;
            }
        } else {
            std::memcpy(entry + 8, p.value, 8);
        }
    }
}

}  // namespace ce::objectstore

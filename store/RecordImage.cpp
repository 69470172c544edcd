#include "store/RecordImage.h"

#include <cstring>

#include "platform/core/Bytes.h"
#include "platform/core/Text.h"

namespace store {
namespace {

void Align(std::vector<BYTE>& out, std::size_t to) {
    while (out.size() % to != 0)
        out.push_back(0);
}

}  // namespace

std::vector<BYTE> EncodeRelativeImage(const CEPROPVAL* props, WORD count) {
    std::vector<BYTE> image(static_cast<std::size_t>(count) * kImageEntrySize, 0);
    for (WORD i = 0; i < count; ++i) {
        const CEPROPVAL& p = props[i];
        BYTE* entry = image.data() + static_cast<std::size_t>(i) * kImageEntrySize;
        ce::StoreU32(entry, p.propid);
        ce::StoreU16(entry + 4, p.wLenData);
        ce::StoreU16(entry + 6, p.wFlags);
        switch (ce::TypeFromPropID(p.propid)) {
            case ce::CEVT_LPWSTR: {
                if (p.val.lpwstr == nullptr)
                    break;  // absent text: offset 0
                Align(image, 4);
                auto offset = static_cast<DWORD>(image.size());
                std::size_t length = ce::WideLength(p.val.lpwstr);
                for (std::size_t k = 0; k <= length; ++k) {
                    WORD c = k < length ? p.val.lpwstr[k] : 0;
                    image.push_back(static_cast<BYTE>(c));
                    image.push_back(static_cast<BYTE>(c >> 8));
                }
                entry = image.data() + static_cast<std::size_t>(i) * kImageEntrySize;
                ce::StoreU32(entry + 8, offset);
                break;
            }
            case ce::CEVT_BLOB: {
                DWORD n = p.val.blob.lpb != nullptr ? p.val.blob.dwCount : 0;
                DWORD offset = 0;
                if (n != 0) {
                    Align(image, 4);
                    offset = static_cast<DWORD>(image.size());
                    image.insert(image.end(), p.val.blob.lpb, p.val.blob.lpb + n);
                }
                entry = image.data() + static_cast<std::size_t>(i) * kImageEntrySize;
                ce::StoreU32(entry + 8, n);
                ce::StoreU32(entry + 12, offset);
                break;
            }
            default:
                std::memcpy(entry + 8, p.val.bytes, 8);
                break;
        }
    }
    return image;
}

bool DecodeRelativeImage(const BYTE* image, DWORD size, WORD count, DecodedRecord& record,
                         std::string* problem) {
    auto fail = [problem](std::string what) {
        if (problem != nullptr)
            *problem = std::move(what);
        return false;
    };
    std::size_t entriesEnd = static_cast<std::size_t>(count) * kImageEntrySize;
    if (image == nullptr && size != 0)
        return fail("no image");
    if (entriesEnd > size) {
        return fail("record image of " + std::to_string(size) + " bytes is too short for " +
                    std::to_string(count) + " properties (" + std::to_string(entriesEnd) +
                    " bytes)");
    }
    record.props_.assign(count, CEPROPVAL{});
    record.texts_.clear();
    record.texts_.reserve(count);
    record.bytes_.assign(image, image + size);
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = image + static_cast<std::size_t>(i) * kImageEntrySize;
        CEPROPVAL& p = record.props_[i];
        p.propid = ce::LoadU32(entry);
        p.wLenData = ce::LoadU16(entry + 4);
        p.wFlags = ce::LoadU16(entry + 6);
        switch (ce::TypeFromPropID(p.propid)) {
            case ce::CEVT_LPWSTR: {
                DWORD offset = ce::LoadU32(entry + 8);
                if (offset == 0) {
                    p.val.lpwstr = nullptr;
                    break;
                }
                if (offset < entriesEnd || offset >= size) {
                    return fail("text of property " + std::to_string(i) + " at offset " +
                                std::to_string(offset) + " lies outside the record's data");
                }
                std::u16string text;
                std::size_t at = offset;
                bool terminated = false;
                while (at + 2 <= size) {
                    WORD c = ce::LoadU16(image + at);
                    at += 2;
                    if (c == 0) {
                        terminated = true;
                        break;
                    }
                    text.push_back(static_cast<char16_t>(c));
                }
                if (!terminated) {
                    return fail("text of property " + std::to_string(i) +
                                " has no terminator inside the record image");
                }
                record.texts_.push_back(std::move(text));
                p.val.lpwstr = record.texts_.back().data();
                break;
            }
            case ce::CEVT_BLOB: {
                DWORD n = ce::LoadU32(entry + 8);
                DWORD offset = ce::LoadU32(entry + 12);
                p.val.blob.dwCount = n;
                if (n == 0) {
                    p.val.blob.lpb = nullptr;
                    break;
                }
                if (offset < entriesEnd || offset > size || n > size - offset) {
                    return fail("bytes of property " + std::to_string(i) + " (" +
                                std::to_string(n) + " at offset " + std::to_string(offset) +
                                ") lie outside the record image");
                }
                p.val.blob.lpb = record.bytes_.data() + offset;
                break;
            }
            default:
                std::memcpy(p.val.bytes, entry + 8, 8);
                break;
        }
    }
    return true;
}

}  // namespace store

#include "store/RecordImage.h"

#include "platform/core/Bytes.h"
#include "platform/core/Text.h"
#include "platform/objectstore/RelativeImage.h"

namespace store {
std::vector<BYTE> EncodeRelativeImage(const CEPROPVAL* props, WORD count) {
    std::vector<BYTE> image;
    ce::objectstore::WriteRelativeImage(
        count,
        [props](std::size_t i) {
            const CEPROPVAL& p = props[i];
            ce::objectstore::ImageProperty property;
            property.propid = p.propid;
            property.lenData = p.wLenData;
            property.flags = p.wFlags;
            property.value = p.val.bytes;
            switch (ce::TypeFromPropID(p.propid)) {
                case ce::CEVT_LPWSTR:
                    property.present = p.val.lpwstr != nullptr;
                    if (property.present)
                        property.text = std::u16string_view(p.val.lpwstr);
                    break;
                case ce::CEVT_BLOB:
                    property.present = p.val.blob.lpb != nullptr;
                    if (property.present)
                        property.bytes = {p.val.blob.lpb, p.val.blob.dwCount};
                    break;
                default:
                    break;
            }
            return property;
        },
        image);
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
    // The entries lie inside the image (checked above), so no entry read
    // comes up short.
    ce::ByteReader entries(image, entriesEnd);
    ce::ByteReader data(image, size);
    for (WORD i = 0; i < count; ++i) {
        CEPROPVAL& p = record.props_[i];
        entries.U32(p.propid);
        entries.U16(p.wLenData);
        entries.U16(p.wFlags);
        switch (ce::TypeFromPropID(p.propid)) {
            case ce::CEVT_LPWSTR: {
                DWORD offset = 0;
                entries.U32(offset);
                entries.Skip(4);
                if (offset == 0) {
                    p.val.lpwstr = nullptr;
                    break;
                }
                if (offset < entriesEnd || offset >= size) {
                    return fail("text of property " + std::to_string(i) + " at offset " +
                                std::to_string(offset) + " lies outside the record's data");
                }
                std::u16string text;
                bool terminated = false;
                WORD c = 0;
                data.Seek(offset);
                while (data.U16(c)) {
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
                DWORD n = 0, offset = 0;
                entries.U32(n);
                entries.U32(offset);
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
                entries.Bytes(p.val.bytes, 8);
                break;
        }
    }
    return true;
}

}  // namespace store

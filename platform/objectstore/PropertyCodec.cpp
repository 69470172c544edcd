#include "platform/objectstore/PropertyCodec.h"

#include <bit>
#include <cstring>

#include "platform/core/Bytes.h"
#include "platform/core/ErrorCodes.h"

namespace ce::objectstore {

// Texts are handed to callers as WCHAR arrays and stored as UTF-16LE: on a
// little-endian host the two are the same bytes, so they are copied whole.
static_assert(std::endian::native == std::endian::little);

namespace {

enum Kind : BYTE { kInPlace = 0, kText = 1, kAbsentText = 2, kBlob = 3 };

std::size_t AlignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

bool IsValidPropertyType(WORD type) {
    switch (type) {
        case CEVT_I2:
        case CEVT_UI2:
        case CEVT_I4:
        case CEVT_UI4:
        case CEVT_R8:
        case CEVT_BOOL:
        case CEVT_FILETIME:
        case CEVT_LPWSTR:
        case CEVT_BLOB:
            return true;
        default:
            return false;
    }
}

namespace {

// A text of `bytes` (its terminator included) or a blob of `count` bytes, as
// a write may carry it.
bool FitsAProperty(std::size_t bytes) {
    return bytes <= CEDB_MAXPROPDATASIZE;
}

}  // namespace

DWORD ViewIncomingProperty(const CEPROPVAL& property, PropertyChange* change) {
    *change = PropertyChange{};
    PropertyView* view = &change->view;
    view->propid = property.propid;
    if (property.wFlags & CEDB_PROPDELETE) {
        change->remove = true;
        return ERROR_SUCCESS;
    }
    WORD type = TypeFromPropID(property.propid);
    if (!IsValidPropertyType(type))
        return ERROR_INVALID_PARAMETER;
    if (type == CEVT_LPWSTR) {
        const WCHAR* text = property.val.lpwstr;
        if (text == nullptr) {
            view->absentText = true;
            return ERROR_SUCCESS;
        }
        constexpr std::size_t kMaxUnits = CEDB_MAXPROPDATASIZE / sizeof(WCHAR);
        std::size_t units = 0;
        while (units < kMaxUnits && text[units] != 0)
            ++units;
        if (units == kMaxUnits)
            return ERROR_INVALID_PARAMETER;  // no terminator in reach
        view->data =
            std::span<const BYTE>(reinterpret_cast<const BYTE*>(text), (units + 1) * sizeof(WCHAR));
        return ERROR_SUCCESS;
    }
    if (type == CEVT_BLOB) {
        DWORD count = property.val.blob.dwCount;
        if (!FitsAProperty(count))
            return ERROR_INVALID_PARAMETER;
        if (count != 0 && property.val.blob.lpb == nullptr)
            return ERROR_INVALID_PARAMETER;
        if (count != 0)
            view->data = std::span<const BYTE>(property.val.blob.lpb, count);
        return ERROR_SUCCESS;
    }
    view->value = property.val.bytes;
    return ERROR_SUCCESS;
}

DWORD ViewImageProperties(std::span<const BYTE> image, WORD count,
                          std::vector<PropertyChange>* changes) {
    constexpr std::size_t kEntry = 16;
    changes->assign(count, PropertyChange{});
    std::size_t entriesEnd = std::size_t{count} * kEntry;
    if (entriesEnd > image.size())
        return ERROR_INVALID_PARAMETER;
    const BYTE* bytes = image.data();
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE* entry = bytes + i * kEntry;
        PropertyChange& change = (*changes)[i];
        PropertyView& view = change.view;
        view.propid = LoadU32(entry);
        if (LoadU16(entry + 6) & CEDB_PROPDELETE) {
            change.remove = true;
            continue;
        }
        WORD type = TypeFromPropID(view.propid);
        if (!IsValidPropertyType(type))
            return ERROR_INVALID_PARAMETER;
        if (type == CEVT_LPWSTR) {
            std::size_t offset = LoadU32(entry + 8);
            if (offset == 0) {
                view.absentText = true;
                continue;
            }
            if (offset < entriesEnd || offset >= image.size())
                return ERROR_INVALID_PARAMETER;
            // The terminator must lie inside the image and within what a
            // property may hold.
            std::size_t end = offset;
            while (end + 1 < image.size() && (bytes[end] | bytes[end + 1]) != 0)
                end += 2;
            if (end + 1 >= image.size() || !FitsAProperty(end + 2 - offset))
                return ERROR_INVALID_PARAMETER;
            view.data = image.subspan(offset, end + 2 - offset);
        } else if (type == CEVT_BLOB) {
            std::size_t n = LoadU32(entry + 8), offset = LoadU32(entry + 12);
            if (n == 0)
                continue;
            if (!FitsAProperty(n) || offset < entriesEnd || offset > image.size() ||
                n > image.size() - offset)
                return ERROR_INVALID_PARAMETER;
            view.data = image.subspan(offset, n);
        } else {
            view.value = entry + 8;
        }
    }
    return ERROR_SUCCESS;
}

bool DecodeRecord(std::span<const BYTE> stored, std::vector<PropertyView>* properties) {
    properties->clear();
    ByteReader reader(stored);
    DWORD count = 0;
    if (!reader.U32(count) || count > stored.size())
        return false;
    properties->reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        PropertyView view;
        BYTE kind = 0;
        if (!reader.U32(view.propid) || !reader.U8(kind))
            return false;
        WORD type = TypeFromPropID(view.propid);
        if (!IsValidPropertyType(type))
            return false;
        switch (kind) {
            case kInPlace: {
                std::span<const BYTE> value;
                if (IsDataType(type) || !reader.Span(8, value))
                    return false;
                view.value = value.data();
                break;
            }
            case kAbsentText:
                if (type != CEVT_LPWSTR)
                    return false;
                view.absentText = true;
                break;
            case kText:
            case kBlob: {
                DWORD size = 0;
                if ((kind == kText) != (type == CEVT_LPWSTR) || !IsDataType(type))
                    return false;
                if (!reader.U32(size) || !reader.Span(size, view.data))
                    return false;
                if (kind == kText && (size < 2 || size % 2 != 0 || view.data[size - 1] != 0 ||
                                      view.data[size - 2] != 0)) {
                    return false;
                }
                break;
            }
            default:
                return false;
        }
        properties->push_back(view);
    }
    return reader.AtEnd();
}

std::vector<BYTE> EncodeRecord(std::span<const PropertyView> properties) {
    std::size_t size = 4;
    for (const PropertyView& p : properties)
        size += 5 + (p.value != nullptr ? 8 : 4 + p.data.size());
    ByteWriter writer(size);
    writer.U32(static_cast<DWORD>(properties.size()));
    for (const PropertyView& p : properties) {
        writer.U32(p.propid);
        WORD type = TypeFromPropID(p.propid);
        if (!IsDataType(type)) {
            writer.U8(kInPlace);
            writer.Bytes(p.value, 8);
        } else if (p.absentText) {
            writer.U8(kAbsentText);
        } else {
            writer.U8(type == CEVT_LPWSTR ? kText : kBlob);
            writer.U32(static_cast<DWORD>(p.data.size()));
            writer.Bytes(p.data.data(), p.data.size());
        }
    }
    return writer.Take();
}

std::size_t RelativeSize(std::span<const PropertyView> properties) {
    std::size_t size = 0;
    for (const PropertyView& p : properties)
        size += 16 + p.data.size();
    return size;
}

void MergeProperties(std::vector<PropertyView>& record, std::span<const PropertyChange> changes) {
    for (const PropertyChange& change : changes) {
        CEPROPID propid = change.view.propid;
        auto it = record.begin();
        while (it != record.end() && it->propid != propid)
            ++it;
        if (change.remove) {
            if (it != record.end())
                record.erase(it);
        } else if (it != record.end()) {
            *it = change.view;
        } else {
            record.push_back(change.view);
        }
    }
}

std::size_t ReadBufferSize(std::span<const ReadEntry> entries) {
    std::size_t size = entries.size() * sizeof(CEPROPVAL);
    for (const ReadEntry& e : entries) {
        if (e.view == nullptr || e.view->data.empty())
            continue;
        if (TypeFromPropID(e.propid) == CEVT_LPWSTR)
            size = AlignUp(size, alignof(WCHAR));
        size += e.view->data.size();
    }
    return size;
}

void FillReadBuffer(std::span<const ReadEntry> entries, BYTE* buffer) {
    auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
    std::size_t offset = entries.size() * sizeof(CEPROPVAL);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ReadEntry& e = entries[i];
        CEPROPVAL& out = values[i];
        std::memset(&out, 0, sizeof out);
        out.propid = e.propid;
        if (e.view == nullptr) {
            out.wFlags = CEDB_PROPNOTFOUND;
            continue;
        }
        WORD type = TypeFromPropID(e.propid);
        if (type == CEVT_LPWSTR) {
            if (e.view->absentText)
                continue;
            offset = AlignUp(offset, alignof(WCHAR));
            std::memcpy(buffer + offset, e.view->data.data(), e.view->data.size());
            out.val.lpwstr = reinterpret_cast<LPWSTR>(buffer + offset);
            offset += e.view->data.size();
        } else if (type == CEVT_BLOB) {
            out.val.blob.dwCount = static_cast<DWORD>(e.view->data.size());
            if (e.view->data.empty())
                continue;
            std::memcpy(buffer + offset, e.view->data.data(), e.view->data.size());
            out.val.blob.lpb = buffer + offset;
            offset += e.view->data.size();
        } else {
            std::memcpy(out.val.bytes, e.view->value, 8);
        }
    }
}

}  // namespace ce::objectstore

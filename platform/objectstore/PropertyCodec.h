#pragma once
// Records as the volume stores them, and the conversions between that form,
// the CEPROPVAL arrays callers write, and the buffers reads fill.
//
// A stored record is a count followed by its properties in record order:
// the property identifier, a kind byte, then either the 8 value bytes (the
// in-place types, kept exactly as written) or a byte count and the text
// (UTF-16LE units with the terminator) or blob bytes. An absent text (one
// written with a null pointer) has no bytes.

#include <cstddef>
#include <span>
#include <vector>

#include "platform/core/Types.h"

namespace ce::objectstore {

bool IsValidPropertyType(WORD type);
inline bool IsDataType(WORD type) {
    return type == CEVT_LPWSTR || type == CEVT_BLOB;
}

// One property, pointing into a stored record or into a caller's CEPROPVAL.
struct PropertyView {
    CEPROPID propid = 0;
    bool absentText = false;
    const BYTE* value = nullptr;  // 8 bytes, for the in-place types
    std::span<const BYTE> data;   // text (with its terminator) or blob bytes
};

// One property of a write: the value it takes, or its removal.
struct PropertyChange {
    PropertyView view;
    bool remove = false;  // flagged CEDB_PROPDELETE
};

// Checks one property of a write and makes a view of it. A text must end
// within CEDB_MAXPROPDATASIZE bytes; the scan never reads further. Returns
// ERROR_INVALID_PARAMETER for a bad type, size or pointer. Properties
// flagged CEDB_PROPDELETE are not checked beyond their identifier.
DWORD ViewIncomingProperty(const CEPROPVAL& property, PropertyChange* change);

// The same for the `count` properties of a relative image (RelativeImage.h),
// the views pointing into the image: the checks of ViewIncomingProperty,
// and every entry, text (with its terminator) and blob must lie inside the
// image. Returns ERROR_INVALID_PARAMETER otherwise; never reads past it.
DWORD ViewImageProperties(std::span<const BYTE> image, WORD count,
                          std::vector<PropertyChange>* changes);

// Decodes a stored record; false when the bytes are not a valid record.
bool DecodeRecord(std::span<const BYTE> stored, std::vector<PropertyView>* properties);
std::vector<BYTE> EncodeRecord(std::span<const PropertyView> properties);

// Size of the record in the device's relative form: 16 bytes per property
// plus the text bytes (with terminators) and blob bytes.
std::size_t RelativeSize(std::span<const PropertyView> properties);

// Applies a write to a record: properties already present are replaced in
// place, new ones appended, those flagged CEDB_PROPDELETE removed.
void MergeProperties(std::vector<PropertyView>& record, std::span<const PropertyChange> changes);

// A read request: each entry is a property of the record, or a requested
// identifier the record lacks (view null).
struct ReadEntry {
    CEPROPID propid = 0;
    const PropertyView* view = nullptr;
};

// Bytes a read of `entries` needs: the CEPROPVAL array, then the texts
// (2-byte aligned) and blob bytes in property order.
std::size_t ReadBufferSize(std::span<const ReadEntry> entries);
// Fills `buffer` (at least ReadBufferSize bytes, aligned for CEPROPVAL).
void FillReadBuffer(std::span<const ReadEntry> entries, BYTE* buffer);

}  // namespace ce::objectstore

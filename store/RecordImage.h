#pragma once
// The relative record form: a record as one position-independent byte image
// in the device's 32-bit layout, which archives, the infrared link and the
// clipboard carry.
//
//   count entries of 16 bytes: propid u32, wLenData u16, wFlags u16,
//                              8 value bytes
//   then the texts and byte strings the entries refer to.
//
// A text entry's first 4 value bytes hold the offset of its zero-terminated
// UTF-16LE text from the image start (0 when the text is absent); a blob
// entry holds its byte count and then the offset of its bytes. Every other
// type keeps its 8 value bytes exactly as stored.

#include <string>
#include <vector>

#include "platform/core/Types.h"

namespace store {

using ce::BYTE;
using ce::CEPROPVAL;
using ce::DWORD;
using ce::WORD;

inline constexpr DWORD kImageEntrySize = 16;

// Builds the image of `count` properties (pointers in `props` are followed).
std::vector<BYTE> EncodeRelativeImage(const CEPROPVAL* props, WORD count);

// A record decoded from an image: properties whose text and blob pointers
// point into storage owned by this object (texts are copied so that they
// are aligned; blobs point into the copy of the image).
class DecodedRecord {
public:
    DecodedRecord() = default;
    DecodedRecord(const DecodedRecord&) = delete;
    DecodedRecord& operator=(const DecodedRecord&) = delete;

    std::vector<CEPROPVAL>& props() { return props_; }
    const std::vector<CEPROPVAL>& props() const { return props_; }

private:
    friend bool DecodeRelativeImage(const BYTE*, DWORD, WORD, DecodedRecord&, std::string*);
    std::vector<CEPROPVAL> props_;
    std::vector<std::u16string> texts_;
    std::vector<BYTE> bytes_;
};

// Decodes an image of `count` properties and `size` bytes. Refuses (false,
// with the reason) an image too short for its entries, or whose text
// offsets, blob offsets and counts, or text terminators fall outside it;
// never reads past `size`.
bool DecodeRelativeImage(const BYTE* image, DWORD size, WORD count, DecodedRecord& record,
                         std::string* problem);

}  // namespace store

#pragma once
// The units of the transfer stream, little-endian, in the device's layouts:
//
//   control code        4 bytes
//   database header   120 bytes: CEDBASEINFO (dwFlags, szDbaseName[32],
//                                 dwDbaseType, wNumRecords, wNumSortOrder,
//                                 dwSize, ftLastModified, rgSortSpecs[4])
//   record descriptor  16 bytes: u16 property count, u16 0, u32 0,
//                                 u32 image size, u32 sender's address
//   record image       the descriptor's size, in chunks of at most 4096
//                      bytes (the relative record form, store/RecordImage.h)
//
// The readers take the peer's bytes as hostile: each checks what it decodes
// and says what is wrong.

#include <array>
#include <span>
#include <string>

#include "platform/core/Types.h"

namespace transfer {

using ce::BYTE;
using ce::CEDBASEINFO;
using ce::DWORD;
using ce::WORD;

inline constexpr DWORD XFER_ACK = 0x1102;
inline constexpr DWORD XFER_RECORD = 0x1104;
inline constexpr DWORD XFER_END = 0x1107;
inline constexpr DWORD XFER_CANCEL = 0x1108;

inline constexpr int kHeaderSize = 120;
inline constexpr int kDescriptorSize = 16;
inline constexpr int kChunkSize = 4096;
// The receiver keeps this many zero bytes after a record's image.
inline constexpr int kSpareBytes = 10;
// The largest image a record of the object store can have; a larger
// announced size is refused before anything is allocated.
inline constexpr DWORD kLargestRecordImage = ce::CEDB_MAXRECORDSIZE;

std::array<BYTE, kHeaderSize> EncodeHeader(const CEDBASEINFO& info);
// The header as the receiver uses it: the name read as at most 32 units
// (and cut to a database name's 31), at most 4 sort orders. False, with the
// reason, for a header no sender writes (no name, more sort orders).
bool DecodeHeader(std::span<const BYTE, kHeaderSize> bytes, CEDBASEINFO& info,
                  std::string* problem);

struct RecordDescriptor {
    WORD count = 0;
    DWORD size = 0;
    DWORD address = 0;
};

std::array<BYTE, kDescriptorSize> EncodeDescriptor(const RecordDescriptor& descriptor);
// False, with the reason, for a size over kLargestRecordImage or too small
// for the announced entries.
bool DecodeDescriptor(std::span<const BYTE, kDescriptorSize> bytes, RecordDescriptor& descriptor,
                      std::string* problem);

// Whether a received image of `count` properties and `size` bytes can be
// written as it stands: every text and blob within it, every text
// terminated inside it.
bool CheckRecordImage(const BYTE* image, DWORD size, WORD count, std::string* problem);

// Whether a control code is one of the four the protocol sends.
bool IsKnownCode(DWORD code);

}  // namespace transfer

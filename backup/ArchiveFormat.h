#pragma once
// The byte images of a backup archive (".bkp"). Little-endian throughout;
// offsets are 32-bit file offsets; text is UTF-16LE with a zero unit.
//
//   archive header, 24 bytes
//     0 signature 'TS01' (bytes 31 30 53 54; ignored on reading)
//     4 header size 24 (ignored on reading)
//     8 database count          12 compressed (nonzero: compressed)
//    16 flags (0x10: a password block follows)
//    20 first-block offset (24, or 64 with a password block)
//   password block, 40 bytes, when flags hold 0x10: the stored password
//     (Password.h), zero units after its terminator
//   database blocks, back to back, each naming where the next one begins
//
// Database block, uncompressed: the 144-byte database header, then every
// record (16-byte record header + record image).
//   database header
//     0 header size 144
//     4 CEDBASEINFO, 120 bytes:  4 dwFlags, 8 szDbaseName (32 units),
//       72 dwDbaseType, 76 wNumRecords, 78 wNumSortOrder, 80 dwSize,
//       84 ftLastModified, 92 rgSortSpecs (4 x propid, dwFlags)
//   124 SYSTEMTIME of the backup, local time (8 x u16)
//   140 next-block offset
//   record header
//     0 property count u16     2 zero u16     4 sequence number (1 first)
//     8 header size 16        12 length of the record image that follows
//
// Database block, compressed: an 8-byte prefix (next-block offset, length L
// of the compressed header), the database header compressed as one stream
// (its own next-block field 0), then the records, each with its header
// uncompressed (length = compressed length) and its image compressed as one
// stream. Every stream starts from an empty dictionary.

#include <array>
#include <cstddef>
#include <span>

#include "backup/Password.h"
#include "platform/core/Bytes.h"
#include "platform/core/Types.h"

namespace backup {

using ce::BYTE;
using ce::DWORD;
using ce::WCHAR;
using ce::WORD;

inline constexpr DWORD kArchiveSignature = 0x54533031;  // 'TS01'
inline constexpr DWORD kArchiveHeaderSize = 24;
inline constexpr DWORD kPasswordFlag = 0x10;
inline constexpr DWORD kDatabaseHeaderSize = 144;
inline constexpr DWORD kDatabaseInfoSize = 120;
inline constexpr DWORD kBlockPrefixSize = 8;
inline constexpr DWORD kRecordHeaderSize = 16;

struct ArchiveHeader {
    DWORD signature = kArchiveSignature;
    DWORD headerSize = kArchiveHeaderSize;
    DWORD databaseCount = 0;
    DWORD compressed = 0;
    DWORD flags = 0;
    DWORD firstBlock = kArchiveHeaderSize;

    bool IsCompressed() const { return compressed != 0; }
    bool HasPassword() const { return (flags & kPasswordFlag) != 0; }
};

// The header a writer puts down for its state.
ArchiveHeader MakeArchiveHeader(DWORD databaseCount, bool compressed, bool password);

// Each decoder reads its fields in the order the encoder writes them; the
// reader's forms fail (false) when the bytes left are too few, the fixed-size
// forms cannot.
std::array<BYTE, kArchiveHeaderSize> EncodeArchiveHeader(const ArchiveHeader& header);
bool DecodeArchiveHeader(ce::ByteReader& reader, ArchiveHeader& header);
ArchiveHeader DecodeArchiveHeader(std::span<const BYTE, kArchiveHeaderSize> bytes);

// The 40-byte block of a stored (scrambled) password.
std::array<BYTE, kPasswordBytes> EncodePasswordBlock(const WCHAR (&stored)[kPasswordUnits]);
// Reads a password block; the text ends at its first zero unit and at the
// latest at unit 19, and every unit after the end is 0.
bool DecodePasswordBlock(ce::ByteReader& reader, WCHAR (&stored)[kPasswordUnits]);
void DecodePasswordBlock(std::span<const BYTE, kPasswordBytes> bytes,
                         WCHAR (&stored)[kPasswordUnits]);

// Reads a fixed text field of `units` UTF-16LE units into `text` (the same
// size): the text ends at its first zero unit and at the latest at the last
// unit, and every unit after its end is 0. False, reading nothing, when
// fewer than `units` units are left.
bool DecodeTextField(ce::ByteReader& reader, WCHAR* text, std::size_t units);

struct DatabaseHeader {
    DWORD headerSize = kDatabaseHeaderSize;
    ce::CEDBASEINFO info{};
    ce::SYSTEMTIME stored{};
    DWORD nextBlock = 0;
};

std::array<BYTE, kDatabaseHeaderSize> EncodeDatabaseHeader(const DatabaseHeader& header);
// The name is cut at unit 31 so that it is always terminated.
bool DecodeDatabaseHeader(ce::ByteReader& reader, DatabaseHeader& header);
DatabaseHeader DecodeDatabaseHeader(std::span<const BYTE, kDatabaseHeaderSize> bytes);

struct RecordHeader {
    WORD propertyCount = 0;
    DWORD sequence = 0;
    DWORD headerSize = kRecordHeaderSize;
    DWORD length = 0;
};

std::array<BYTE, kRecordHeaderSize> EncodeRecordHeader(const RecordHeader& header);
bool DecodeRecordHeader(ce::ByteReader& reader, RecordHeader& header);
RecordHeader DecodeRecordHeader(std::span<const BYTE, kRecordHeaderSize> bytes);

// The prefix of a compressed database block.
struct BlockPrefix {
    DWORD nextBlock = 0;
    DWORD headerLength = 0;  // of the compressed database header after it
};

std::array<BYTE, kBlockPrefixSize> EncodeBlockPrefix(const BlockPrefix& prefix);
BlockPrefix DecodeBlockPrefix(std::span<const BYTE, kBlockPrefixSize> bytes);

// Runs a reader-form decoder over an image of exactly the size it reads,
// which therefore always holds every field.
template <class Header, std::size_t N>
Header DecodeWhole(std::span<const BYTE, N> bytes, bool (*decode)(ce::ByteReader&, Header&)) {
    ce::ByteReader reader(bytes.data(), N);
    Header header;
    decode(reader, header);
    return header;
}

}  // namespace backup

#pragma once
// Reading the pieces of a backup archive from an open file, without any
// message: each read says what went wrong and the caller decides what the
// user sees (BackupArchive shows the program's messages, devicectl prints
// its own). Every length in the file is checked against the file before it
// is used or allocated.

#include <cstdint>
#include <memory>

#include "backup/ArchiveFormat.h"
#include "platform/core/Types.h"

namespace backup {

class LzwCodec;

using ce::HANDLE;

// File calls as the formats use them: success means every byte moved.
bool SeekFile(HANDLE file, DWORD offset);
bool ReadExactly(HANDLE file, void* buffer, DWORD size);
bool WriteExactly(HANDLE file, const void* buffer, DWORD size);
// The size of the file, or 0 when it cannot be had. Files may pass 4 GB
// (an archive's offsets do not, but what follows its blocks may).
std::uint64_t FileSize(HANDLE file);
// The current position of the file.
std::uint64_t FilePosition(HANDLE file);
// Bytes between the file's position and its end: the most any length read
// there can announce truthfully.
std::uint64_t RemainingBytes(HANDLE file);

// The largest record image a restore can write back: the largest record the
// object store accepts (CEDB_MAXRECORDSIZE). An archive announcing more, or
// a compressed image that decodes to more, is damaged.
inline constexpr DWORD kLargestRecordImage = ce::CEDB_MAXRECORDSIZE;
// The longest compressed form of such an image: at most 16 bits for each
// byte, and the padding of the groups at the width changes and CLEARs.
inline constexpr DWORD kLargestPackedRecord = 2 * kLargestRecordImage + 4096;

// Reads the archive header from offset 0 and, when its flags announce one,
// the password block into `stored` (empty otherwise). False when either
// cannot be read whole.
bool ReadArchiveHeader(HANDLE file, ArchiveHeader& header, WCHAR (&stored)[kPasswordUnits]);

enum class HeaderRead {
    Ok,
    Unreadable,    // short read, bad length, or not 144 bytes once unpacked
    CannotUnpack,  // a compressed header that does not decompress
};

// Reads the database header of the block at `position`; the file is left
// where the block's first record begins. For a compressed block the header's
// next-block offset is taken from the block prefix. A prefix cut short by
// the end of the file reads as zeros, which makes an empty stream that does
// not decompress.
HeaderRead ReadDatabaseHeaderAt(HANDLE file, DWORD position, LzwCodec* codec,
                                DatabaseHeader& header);

enum class RecordRead {
    Ok,
    Truncated,     // the record header or image is shorter than announced
    TooLarge,      // the image is (or decodes to) more than a record can be
    NoMemory,      // no memory for the image
    CannotUnpack,  // a compressed image that does not decompress
};

// Reads a file forward from its position, for walking a block's records.
// Buffered, it reads ahead in large pieces and lends out what it holds, so
// that a record costs no call of its own; the file's own position is then
// ahead of what was taken, and the file must not be used otherwise until
// the walk is over. Unbuffered, it reads exactly what is asked.
class ArchiveInput {
public:
    static constexpr DWORD kBufferBytes = 256 * 1024;
    ArchiveInput(HANDLE file, bool buffered);
    ArchiveInput(const ArchiveInput&) = delete;
    ArchiveInput& operator=(const ArchiveInput&) = delete;

    // The next `size` bytes, valid until the next call; null when the file
    // ends first (or cannot be read). Through `scratch` when they are not
    // at hand in one piece.
    const BYTE* Take(DWORD size, std::unique_ptr<BYTE[]>& scratch);
    // Bytes between what was taken and the end of the file.
    std::uint64_t Remaining();
    // Whether the last Take failed for want of memory, not of bytes.
    bool outOfMemory() const { return outOfMemory_; }

private:
    bool Fill(DWORD wanted);

    HANDLE file_;
    std::unique_ptr<BYTE[]> buffer_;
    DWORD start_ = 0;  // the first byte not yet taken
    DWORD end_ = 0;    // the end of what the buffer holds
    bool ended_ = false;
    bool outOfMemory_ = false;
};

// One record as read from the archive: its header and its image, which is
// either owned here, lent by the input, or (compressed archives) the
// codec's output, valid until the next read.
class ArchiveRecord {
public:
    RecordHeader header;
    const BYTE* image() const { return image_; }
    DWORD imageLength() const { return imageLength_; }

private:
    friend RecordRead ReadArchiveRecord(ArchiveInput&, LzwCodec*, ArchiveRecord&);
    friend RecordRead ReadRecordBytes(ArchiveInput&, bool, ArchiveRecord&);
    std::unique_ptr<BYTE[]> owned_;
    const BYTE* image_ = nullptr;
    DWORD imageLength_ = 0;
};

// Reads the record at the file's position: 16-byte header, then the image,
// decompressed when `codec` is given. The file is left after the record.
RecordRead ReadArchiveRecord(HANDLE file, LzwCodec* codec, ArchiveRecord& record);
// The same from an input that walks the block.
RecordRead ReadArchiveRecord(ArchiveInput& input, LzwCodec* codec, ArchiveRecord& record);
// The record as it lies in the file, its image still compressed when
// `packed`: for a caller that decompresses it elsewhere (with the output
// limit kLargestRecordImage, and UnpackResult for the outcome).
RecordRead ReadRecordBytes(ArchiveInput& input, bool packed, ArchiveRecord& record);
// What a decompression of a record image that failed means.
inline RecordRead UnpackResult(bool limitReached) {
    return limitReached ? RecordRead::TooLarge : RecordRead::CannotUnpack;
}

}  // namespace backup

#include "backup/ArchiveReading.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "backup/LzwCodec.h"
#include "platform/core/Bytes.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/files/Files.h"

namespace backup {
namespace {

// The compressed form of a 144-byte header is a few hundred bytes at most;
// a prefix announcing more is not a header.
constexpr DWORD kLargestCompressedHeader = 4096;
// Up to this length a record's buffer is allocated before the file is known
// to hold that much.
constexpr DWORD kUncheckedRecordBytes = 64 * 1024;

}  // namespace

std::uint64_t RemainingBytes(HANDLE file) {
    std::uint64_t size = FileSize(file);
    std::uint64_t position = FilePosition(file);
    return position == UINT64_MAX || position > size ? 0 : size - position;
}

bool SeekFile(HANDLE file, DWORD offset) {
    if (offset > 0x7FFFFFFF)
        return false;
    return ce::SetFilePointer(file, static_cast<ce::LONG>(offset), nullptr, ce::FILE_BEGIN) ==
           offset;
}

bool ReadExactly(HANDLE file, void* buffer, DWORD size) {
    DWORD read = 0;
    return ce::ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

bool WriteExactly(HANDLE file, const void* buffer, DWORD size) {
    DWORD written = 0;
    return ce::WriteFile(file, buffer, size, &written, nullptr) && written == size;
}

std::uint64_t FileSize(HANDLE file) {
    DWORD high = 0;
    ce::SetLastError(ce::ERROR_SUCCESS);
    DWORD low = ce::GetFileSize(file, &high);
    if (low == ce::INVALID_FILE_SIZE && ce::GetLastError() != ce::ERROR_SUCCESS)
        return 0;
    return (std::uint64_t{high} << 32) | low;
}

std::uint64_t FilePosition(HANDLE file) {
    ce::LONG high = 0;
    DWORD low = ce::SetFilePointer(file, 0, &high, ce::FILE_CURRENT);
    if (low == ce::INVALID_SET_FILE_POINTER && ce::GetLastError() != ce::ERROR_SUCCESS)
        return UINT64_MAX;
    return (std::uint64_t{static_cast<DWORD>(high)} << 32) | low;
}

bool ReadArchiveHeader(HANDLE file, ArchiveHeader& header, WCHAR (&stored)[kPasswordUnits]) {
    header = ArchiveHeader{};
    std::memset(stored, 0, sizeof stored);
    std::array<BYTE, kArchiveHeaderSize> bytes{};
    if (!SeekFile(file, 0) || !ReadExactly(file, bytes.data(), kArchiveHeaderSize))
        return false;
    header = DecodeArchiveHeader(bytes);
    if (!header.HasPassword())
        return true;
    std::array<BYTE, kPasswordBytes> block{};
    if (!ReadExactly(file, block.data(), kPasswordBytes))
        return false;
    DecodePasswordBlock(block, stored);
    return true;
}

HeaderRead ReadDatabaseHeaderAt(HANDLE file, DWORD position, LzwCodec* codec,
                                DatabaseHeader& header) {
    header = DatabaseHeader{};
    if (!SeekFile(file, position))
        return HeaderRead::Unreadable;
    if (codec == nullptr) {
        std::array<BYTE, kDatabaseHeaderSize> bytes{};
        if (!ReadExactly(file, bytes.data(), kDatabaseHeaderSize))
            return HeaderRead::Unreadable;
        header = DecodeDatabaseHeader(bytes);
        return HeaderRead::Ok;
    }

    std::array<BYTE, kBlockPrefixSize> prefixBytes{};
    DWORD read = 0;
    if (!ce::ReadFile(file, prefixBytes.data(), kBlockPrefixSize, &read, nullptr))
        return HeaderRead::Unreadable;
    BlockPrefix prefix = DecodeBlockPrefix(prefixBytes);
    DWORD length = prefix.headerLength;
    if (length > kLargestCompressedHeader || length > RemainingBytes(file))
        return HeaderRead::Unreadable;
    BYTE packed[kLargestCompressedHeader];
    if (!ReadExactly(file, packed, length))
        return HeaderRead::Unreadable;
    // A stream of more than 144 bytes is not a header: it is stopped at 145.
    codec->SetOutputLimit(kDatabaseHeaderSize + 1);
    if (!codec->Decompress(packed, length))
        return codec->OutputLimitReached() ? HeaderRead::Unreadable : HeaderRead::CannotUnpack;
    if (codec->OutputLength() != kDatabaseHeaderSize)
        return HeaderRead::Unreadable;
    header = DecodeDatabaseHeader(
        std::span<const BYTE, kDatabaseHeaderSize>(codec->Output(), kDatabaseHeaderSize));
    header.nextBlock = prefix.nextBlock;
    return HeaderRead::Ok;
}

ArchiveInput::ArchiveInput(HANDLE file, bool buffered) : file_(file) {
    if (buffered)
        buffer_.reset(new (std::nothrow) BYTE[kBufferBytes]);
}

bool ArchiveInput::Fill(DWORD wanted) {
    if (start_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    while (end_ < wanted && !ended_) {
        DWORD read = 0;
        if (!ce::ReadFile(file_, buffer_.get() + end_, kBufferBytes - end_, &read, nullptr) ||
            read == 0)
            ended_ = true;
        end_ += read;
    }
    return end_ >= wanted;
}

const BYTE* ArchiveInput::Take(DWORD size, std::unique_ptr<BYTE[]>& scratch) {
    if (buffer_ && size <= kBufferBytes) {
        if (end_ - start_ < size && !Fill(size))
            return nullptr;
        const BYTE* at = buffer_.get() + start_;
        start_ += size;
        return at;
    }
    // What the buffer holds comes first, then the file itself.
    scratch.reset(new (std::nothrow) BYTE[std::size_t{size} + 1]);
    outOfMemory_ = !scratch;
    if (!scratch)
        return nullptr;
    DWORD held = std::min(size, end_ - start_);
    if (held > 0)
        std::memcpy(scratch.get(), buffer_.get() + start_, held);
    start_ += held;
    if (!ReadExactly(file_, scratch.get() + held, size - held))
        return nullptr;
    return scratch.get();
}

std::uint64_t ArchiveInput::Remaining() {
    return RemainingBytes(file_) + (end_ - start_);
}

RecordRead ReadArchiveRecord(HANDLE file, LzwCodec* codec, ArchiveRecord& record) {
    ArchiveInput input(file, false);
    return ReadArchiveRecord(input, codec, record);
}

RecordRead ReadRecordBytes(ArchiveInput& input, bool packed, ArchiveRecord& record) {
    record.owned_.reset();
    record.image_ = nullptr;
    record.imageLength_ = 0;
    record.header = RecordHeader{};

    std::unique_ptr<BYTE[]> scratch;
    const BYTE* head = input.Take(kRecordHeaderSize, scratch);
    if (head == nullptr)
        return RecordRead::Truncated;
    record.header =
        DecodeRecordHeader(std::span<const BYTE, kRecordHeaderSize>(head, kRecordHeaderSize));
    DWORD length = record.header.length;
    // No record takes more, nor can a length beyond the end of the file be
    // read: find that out before allocating it.
    if (length > (packed ? kLargestPackedRecord : kLargestRecordImage))
        return RecordRead::TooLarge;
    // A short image is refused by the read itself; asking the file's size
    // for every record would cost two more calls each.
    if (length > kUncheckedRecordBytes && length > input.Remaining())
        return RecordRead::Truncated;
    const BYTE* data = input.Take(length, scratch);
    if (data == nullptr)
        return input.outOfMemory() ? RecordRead::NoMemory : RecordRead::Truncated;
    record.owned_ = std::move(scratch);
    record.image_ = data;
    record.imageLength_ = length;
    return RecordRead::Ok;
}

RecordRead ReadArchiveRecord(ArchiveInput& input, LzwCodec* codec, ArchiveRecord& record) {
    RecordRead result = ReadRecordBytes(input, codec != nullptr, record);
    if (result != RecordRead::Ok || codec == nullptr)
        return result;
    codec->SetOutputLimit(kLargestRecordImage);
    bool unpacked = codec->Decompress(record.image_, record.imageLength_);
    record.owned_.reset();
    if (!unpacked) {
        record.image_ = nullptr;
        record.imageLength_ = 0;
        return UnpackResult(codec->OutputLimitReached());
    }
    record.image_ = codec->Output();
    record.imageLength_ = static_cast<DWORD>(codec->OutputLength());
    return RecordRead::Ok;
}

}  // namespace backup

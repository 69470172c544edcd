#include "regbackup/RegistryBackupFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveReading.h"
#include "platform/core/Bytes.h"
#include "platform/files/Files.h"
#include "platform/time/Time.h"

namespace regbackup {
namespace {

using backup::ReadExactly;
using backup::WriteExactly;

// The smallest value record: name length, a terminator, type and size.
constexpr DWORD kSmallestValueRecord = 4 + 2 + 4 + 4;

bool ReadU32(RbkReader& reader, DWORD& v) {
    BYTE bytes[4];
    ce::ByteReader r(bytes, sizeof bytes);
    return reader.Read(bytes, sizeof bytes) && r.U32(v);
}

// Length in bytes, then the units and a terminator.
void EncodeText(ce::ByteWriter& w, std::u16string_view text) {
    w.U32(static_cast<DWORD>((text.size() + 1) * 2));
    if constexpr (std::endian::native == std::endian::little) {
        w.Bytes(text.data(), text.size() * sizeof(char16_t));
    } else {
        for (char16_t c : text)
            w.U16(c);
    }
    w.U16(0);
}

// A text of at most 520 bytes with its terminator; it ends at its first
// zero unit.
bool ReadText(RbkReader& reader, std::u16string& text) {
    DWORD length = 0;
    if (!ReadU32(reader, length) || length > kLongestText || length < 2 || length % 2 != 0)
        return false;
    BYTE bytes[kLongestText];
    if (!reader.Read(bytes, length))
        return false;
    ce::ByteReader r(bytes, length);
    return r.WideField(length / 2, text);
}

bool ReadValueRecord(RbkReader& reader, ValueRecord& value) {
    DWORD size = 0;
    if (!ReadText(reader, value.name) || !ReadU32(reader, value.type) || !ReadU32(reader, size))
        return false;
    // A size the rest of the file cannot hold is never allocated.
    if (size > reader.Remaining())
        return false;
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[std::size_t{size} + 1]);
    if (!data || (size != 0 && !reader.Read(data.get(), size)))
        return false;
    return value.SetData(data.get(), size);
}

}  // namespace

std::array<BYTE, kRbkHeaderSize> EncodeRbkHeader(const RbkHeader& header) {
    ce::ByteWriter w(kRbkHeaderSize);
    w.U32(header.signature);
    w.U32(header.headerSize);
    auto password = backup::EncodePasswordBlock(header.password);
    w.Bytes(password.data(), password.size());
    w.U32(header.rootFlags);
    w.U32(header.firstRecord);
    w.U32(header.created.dwLowDateTime);
    w.U32(header.created.dwHighDateTime);
    w.U32(header.keyCount);
    w.Zeros(16);
    return w.ToArray<kRbkHeaderSize>();
}

bool DecodeRbkHeader(ce::ByteReader& r, RbkHeader& header) {
    header = RbkHeader{};
    if (r.Remaining() < kRbkHeaderSize)
        return false;
    return r.U32(header.signature) && r.U32(header.headerSize) &&
           backup::DecodePasswordBlock(r, header.password) && r.U32(header.rootFlags) &&
           r.U32(header.firstRecord) && r.U32(header.created.dwLowDateTime) &&
           r.U32(header.created.dwHighDateTime) && r.U32(header.keyCount) && r.Skip(16);
}

RbkHeader DecodeRbkHeader(std::span<const BYTE, kRbkHeaderSize> bytes) {
    return backup::DecodeWhole<RbkHeader>(bytes, DecodeRbkHeader);
}

bool WriteRbkHeader(HANDLE file, const WCHAR (&storedPassword)[backup::kPasswordUnits],
                    DWORD rootFlags, DWORD keyCount) {
    RbkHeader header;
    std::memcpy(header.password, storedPassword, sizeof header.password);
    header.rootFlags = rootFlags;
    header.keyCount = keyCount;
    ce::SYSTEMTIME now;
    ce::GetLocalTime(&now);
    ce::SystemTimeToFileTime(&now, &header.created);
    auto bytes = EncodeRbkHeader(header);
    return backup::SeekFile(file, 0) && WriteExactly(file, bytes.data(), kRbkHeaderSize);
}

bool ReadRbkHeader(HANDLE file, RbkHeader& header) {
    header = RbkHeader{};
    std::array<BYTE, kRbkHeaderSize> bytes{};
    if (!backup::SeekFile(file, 0) || !ReadExactly(file, bytes.data(), kRbkHeaderSize))
        return false;
    header = DecodeRbkHeader(bytes);
    return header.IsValid();
}

bool ValueRecord::SetData(const BYTE* bytes, DWORD size) {
    std::unique_ptr<BYTE[]> copy(new (std::nothrow) BYTE[std::size_t{size} + 1]);
    if (!copy)
        return false;
    if (size != 0)
        std::memcpy(copy.get(), bytes, size);
    copy[size] = 0;
    data_ = std::move(copy);
    size_ = size;
    return true;
}

bool ValueRecord::operator==(const ValueRecord& other) const {
    return type == other.type && size_ == other.size_ && name == other.name &&
           (size_ == 0 || std::memcmp(data_.get(), other.data_.get(), size_) == 0);
}

void KeyRecord::Clear() {
    values.clear();
    path.clear();
    keyClass.clear();
    valueCount = 0;
    root = kHkeyClassesRoot;
}

void EncodeKeyPart(ce::ByteWriter& w, DWORD valueCount, DWORD root, std::u16string_view path,
                   std::u16string_view keyClass) {
    w.U32(valueCount);
    w.U32(root);
    EncodeText(w, path);
    EncodeText(w, keyClass);
}

void EncodeValuePart(ce::ByteWriter& w, std::u16string_view name, DWORD type,
                     std::span<const BYTE> data) {
    EncodeText(w, name);
    w.U32(type);
    w.U32(static_cast<DWORD>(data.size()));
    w.Bytes(data.data(), data.size());
}

void EncodeKeyRecord(ce::ByteWriter& w, const KeyRecord& key) {
    if (key.values.empty())
        return;
    EncodeKeyPart(w, static_cast<DWORD>(key.values.size()), key.root, key.path, key.keyClass);
    for (const ValueRecord& value : key.values)
        EncodeValuePart(w, value.name, value.type,
                        std::span<const BYTE>(value.data(), value.size()));
}

bool WriteKeyRecord(HANDLE file, const KeyRecord& key) {
    ce::ByteWriter w;
    EncodeKeyRecord(w, key);
    return w.Size() == 0 || WriteExactly(file, w.Data().data(), static_cast<DWORD>(w.Size()));
}

RbkReader::RbkReader(HANDLE file, DWORD bufferBytes)
    : file_(file),
      position_(backup::FilePosition(file)),
      size_(backup::FileSize(file)),
      buffer_(bufferBytes) {}

std::uint64_t RbkReader::Remaining() const {
    return position_ == UINT64_MAX || position_ > size_ ? 0 : size_ - position_;
}

bool RbkReader::Read(void* out, DWORD size) {
    auto* to = static_cast<BYTE*>(out);
    std::size_t held = end_ - begin_;
    if (size <= held) {
        std::memcpy(to, buffer_.data() + begin_, size);
        begin_ += size;
        position_ += size;
        return true;
    }
    if (held != 0)
        std::memcpy(to, buffer_.data() + begin_, held);
    begin_ = end_ = 0;
    position_ += held;
    DWORD left = size - static_cast<DWORD>(held);
    to += held;
    if (left >= buffer_.size()) {
        if (!ReadExactly(file_, to, left))
            return false;
        position_ += left;
        return true;
    }
    DWORD got = 0;
    if (!ce::ReadFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr) ||
        got < left) {
        return false;
    }
    std::memcpy(to, buffer_.data(), left);
    begin_ = left;
    end_ = got;
    position_ += left;
    return true;
}

bool ReadKeyRecord(RbkReader& reader, KeyRecord& key) {
    key.Clear();
    if (!ReadU32(reader, key.valueCount) || !ReadU32(reader, key.root) ||
        !ReadText(reader, key.path) || !ReadText(reader, key.keyClass)) {
        return false;
    }
    // A key without values is never written; restoring one would compare the
    // registry against an empty list. A count the rest of the file cannot
    // hold is refused before anything is allocated for it.
    if (key.valueCount == 0 || key.valueCount > reader.Remaining() / kSmallestValueRecord)
        return false;
    key.values.reserve(key.valueCount);
    for (DWORD i = 0; i < key.valueCount; ++i) {
        key.values.emplace_back();
        if (!ReadValueRecord(reader, key.values.back()))
            return false;
    }
    return true;
}

bool ReadKeyRecord(HANDLE file, KeyRecord& key) {
    RbkReader reader(file, 0);
    return ReadKeyRecord(reader, key);
}

}  // namespace regbackup

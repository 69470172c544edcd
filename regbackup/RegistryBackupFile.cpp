#include "regbackup/RegistryBackupFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveReading.h"
#include "platform/core/Bytes.h"
#include "platform/time/Time.h"

namespace regbackup {
namespace {

using backup::ReadExactly;
using backup::WriteExactly;

// The smallest value record: name length, a terminator, type and size.
constexpr DWORD kSmallestValueRecord = 4 + 2 + 4 + 4;

bool WriteU32(HANDLE file, DWORD v) {
    BYTE bytes[4];
    ce::StoreU32(bytes, v);
    return WriteExactly(file, bytes, 4);
}

bool ReadU32(HANDLE file, DWORD& v) {
    BYTE bytes[4];
    ce::ByteReader r(bytes, sizeof bytes);
    return ReadExactly(file, bytes, sizeof bytes) && r.U32(v);
}

// Length in bytes, then the units and a terminator.
bool WriteText(HANDLE file, std::u16string_view text) {
    ce::ByteWriter w;
    w.U32(static_cast<DWORD>((text.size() + 1) * 2));
    for (char16_t c : text)
        w.U16(c);
    w.U16(0);
    return WriteExactly(file, w.Data().data(), static_cast<DWORD>(w.Size()));
}

// A text of at most 520 bytes with its terminator; it ends at its first
// zero unit.
bool ReadText(HANDLE file, std::u16string& text) {
    DWORD length = 0;
    if (!ReadU32(file, length) || length > kLongestText || length < 2 || length % 2 != 0)
        return false;
    BYTE bytes[kLongestText];
    if (!ReadExactly(file, bytes, length))
        return false;
    ce::ByteReader r(bytes, length);
    return r.WideField(length / 2, text);
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

bool WriteValueRecord(HANDLE file, const ValueRecord& value) {
    return WriteText(file, value.name) && WriteU32(file, value.type) &&
           WriteU32(file, value.size()) &&
           (value.size() == 0 || WriteExactly(file, value.data(), value.size()));
}

bool WriteKeyRecord(HANDLE file, const KeyRecord& key) {
    if (key.values.empty())
        return true;
    if (!WriteU32(file, static_cast<DWORD>(key.values.size())) || !WriteU32(file, key.root) ||
        !WriteText(file, key.path) || !WriteText(file, key.keyClass)) {
        return false;
    }
    for (const ValueRecord& value : key.values) {
        if (!WriteValueRecord(file, value))
            return false;
    }
    return true;
}

bool ReadValueRecord(HANDLE file, ValueRecord& value) {
    DWORD size = 0;
    if (!ReadText(file, value.name) || !ReadU32(file, value.type) || !ReadU32(file, size))
        return false;
    // A size the rest of the file cannot hold is never allocated.
    if (size > backup::RemainingBytes(file))
        return false;
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[std::size_t{size} + 1]);
    if (!data || (size != 0 && !ReadExactly(file, data.get(), size)))
        return false;
    return value.SetData(data.get(), size);
}

bool ReadKeyRecord(HANDLE file, KeyRecord& key) {
    key.Clear();
    if (!ReadU32(file, key.valueCount) || !ReadU32(file, key.root) || !ReadText(file, key.path) ||
        !ReadText(file, key.keyClass)) {
        return false;
    }
    // A key without values is never written; restoring one would compare the
    // registry against an empty list. A count the rest of the file cannot
    // hold is refused before anything is allocated for it.
    if (key.valueCount == 0 || key.valueCount > backup::RemainingBytes(file) / kSmallestValueRecord)
        return false;
    key.values.reserve(key.valueCount);
    for (DWORD i = 0; i < key.valueCount; ++i) {
        key.values.emplace_back();
        if (!ReadValueRecord(file, key.values.back()))
            return false;
    }
    return true;
}

}  // namespace regbackup

#pragma once
// The registry backup file (".rbk"): copies of registry keys with all their
// values. Little-endian, UTF-16LE text.
//
//   header, 84 bytes
//     0 signature "10WR" (bytes 31 30 57 52)      4 header size 84
//     8 password, 20 units in stored form (backup/Password.h), all 0 when
//       the file is not protected
//    48 root flags: 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_USER,
//       4 HKEY_LOCAL_MACHINE
//    52 first record offset 84    56 FILETIME of the local time of writing
//    64 key count                 68 16 reserved bytes of 0
//   key records, each followed by its value records:
//     value count (at least 1), root (0x80000000..0x80000002),
//     path length in bytes with the terminator, path (below the root,
//     "\"-separated, zero-terminated), class length, class
//   value record:
//     name length in bytes with the terminator, name (the default value's
//     is empty: length 2), registry type, data size, data bytes (none when
//     the size is 0)
//
// A reader checks every length before using it: a text of more than 520
// bytes, a key announcing no values, or a count or size that the rest of
// the file cannot hold is a failure.

#include <array>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "backup/Password.h"
#include "platform/core/Bytes.h"
#include "platform/core/Types.h"

namespace regbackup {

using ce::BYTE;
using ce::DWORD;
using ce::HANDLE;
using ce::WCHAR;

inline constexpr DWORD kRbkSignature = 0x52573031;  // "10WR"
inline constexpr DWORD kRbkHeaderSize = 84;
// The longest text a record may carry, in bytes with its terminator: the
// 260-unit buffers of names, paths and classes.
inline constexpr DWORD kLongestText = ce::MAX_PATH * 2;

inline constexpr DWORD kRootClassesRoot = 1;
inline constexpr DWORD kRootCurrentUser = 2;
inline constexpr DWORD kRootLocalMachine = 4;

inline constexpr DWORD kHkeyClassesRoot = 0x80000000;
inline constexpr DWORD kHkeyCurrentUser = 0x80000001;
inline constexpr DWORD kHkeyLocalMachine = 0x80000002;

struct RbkHeader {
    DWORD signature = kRbkSignature;
    DWORD headerSize = kRbkHeaderSize;
    WCHAR password[backup::kPasswordUnits] = {};  // stored form
    DWORD rootFlags = 0;
    DWORD firstRecord = kRbkHeaderSize;
    ce::FILETIME created{};
    DWORD keyCount = 0;

    bool IsValid() const { return signature == kRbkSignature && headerSize == kRbkHeaderSize; }
};

std::array<BYTE, kRbkHeaderSize> EncodeRbkHeader(const RbkHeader& header);
// Reads the fields in the order the encoder writes them; the reader's form
// fails when fewer than 84 bytes are left.
bool DecodeRbkHeader(ce::ByteReader& reader, RbkHeader& header);
RbkHeader DecodeRbkHeader(std::span<const BYTE, kRbkHeaderSize> bytes);

// Writes the header at offset 0 in one write, stamped with the local time
// now. False when the write fails.
bool WriteRbkHeader(HANDLE file, const WCHAR (&storedPassword)[backup::kPasswordUnits],
                    DWORD rootFlags, DWORD keyCount);
// Reads the header from offset 0; false when it cannot be read whole or its
// signature or size is not ours.
bool ReadRbkHeader(HANDLE file, RbkHeader& header);

// One registry value: its type, name and an owned copy of its data.
class ValueRecord {
public:
    DWORD type = 0;
    std::u16string name;

    DWORD size() const { return size_; }
    const BYTE* data() const { return data_.get(); }
    // Copies `size` bytes (into a buffer one byte larger); false when memory
    // cannot be had.
    bool SetData(const BYTE* bytes, DWORD size);

    // Equal when type, size, name (case-sensitive) and data bytes are.
    bool operator==(const ValueRecord& other) const;

private:
    DWORD size_ = 0;
    std::unique_ptr<BYTE[]> data_;
};

// One registry key with its values, as stored in the file.
class KeyRecord {
public:
    KeyRecord() { Clear(); }

    std::u16string path;
    std::u16string keyClass;
    DWORD valueCount = 0;  // as read from the file
    DWORD root = kHkeyClassesRoot;
    std::vector<ValueRecord> values;

    // Frees the values, empties path and class, count 0, root
    // HKEY_CLASSES_ROOT.
    void Clear();
};

// Appends the key and its values; a key without values adds nothing.
void EncodeKeyRecord(ce::ByteWriter& writer, const KeyRecord& key);
// The same in pieces, for a writer that holds no KeyRecord: the key's part
// (with the number of value records that are to follow it, at least 1),
// then each value record.
void EncodeKeyPart(ce::ByteWriter& writer, DWORD valueCount, DWORD root, std::u16string_view path,
                   std::u16string_view keyClass);
void EncodeValuePart(ce::ByteWriter& writer, std::u16string_view name, DWORD type,
                     std::span<const BYTE> data);
// Writes the key and its values in one write; a key without values writes
// nothing and succeeds. False when the write fails.
bool WriteKeyRecord(HANDLE file, const KeyRecord& key);

// Reads a file from its position at the start, through a buffer of
// `bufferBytes` (none: every read goes to the file), so that the small
// fields of a record do not cost a system call each. The file's size is
// taken once: nothing may write to it meanwhile.
class RbkReader {
public:
    static constexpr DWORD kBufferBytes = 64 * 1024;

    explicit RbkReader(HANDLE file, DWORD bufferBytes = kBufferBytes);
    RbkReader(const RbkReader&) = delete;
    RbkReader& operator=(const RbkReader&) = delete;

    // Exactly `size` bytes, or false.
    bool Read(void* out, DWORD size);
    // Bytes between what was consumed and the end of the file.
    std::uint64_t Remaining() const;

private:
    HANDLE file_;
    std::uint64_t position_;
    std::uint64_t size_;
    std::vector<BYTE> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// Reads one key record and its values into `key` (cleared first). False on
// a short read, a text longer than 520 bytes, a key that announces no
// values, a count or size the rest of the file cannot hold, or no memory.
bool ReadKeyRecord(RbkReader& reader, KeyRecord& key);
// The same at the file's position, reading no further than the record.
bool ReadKeyRecord(HANDLE file, KeyRecord& key);

}  // namespace regbackup

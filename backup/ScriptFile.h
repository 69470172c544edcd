#pragma once
// The Autobackup script file (".abk"): one backup to repeat. Little-endian,
// UTF-16LE text.
//
//   script header, 588 bytes
//     0 header size 588 (ignored on reading)
//     4 format tag 288 (required on reading)
//     8 compressed (1 when the backup that wrote it compressed; ignored)
//    12 reserved 0
//    16 archive file name, 260 units, zero-terminated
//   536 password, 20 units in stored form (Password.h), all 0 when none
//   576 database count
//   580 reserved, 8 bytes of 0
//   then database count entries of 72 bytes: the database name in 36
//   units, zero-terminated, zeros after the terminator.

#include <array>
#include <span>
#include <string_view>

#include "backup/Password.h"
#include "platform/core/Bytes.h"
#include "platform/core/Types.h"

namespace backup {

using ce::BYTE;
using ce::DWORD;
using ce::HANDLE;
using ce::WCHAR;

inline constexpr DWORD kScriptHeaderSize = 588;
inline constexpr DWORD kScriptFormatTag = 288;
inline constexpr DWORD kScriptEntrySize = 72;
inline constexpr std::size_t kScriptEntryUnits = kScriptEntrySize / 2;

struct ScriptHeader {
    DWORD headerSize = kScriptHeaderSize;
    DWORD formatTag = kScriptFormatTag;
    DWORD compressed = 0;
    WCHAR archiveName[ce::MAX_PATH] = {};
    WCHAR password[kPasswordUnits] = {};  // stored form
    DWORD databaseCount = 0;
};

std::array<BYTE, kScriptHeaderSize> EncodeScriptHeader(const ScriptHeader& header);
// Texts are cut so that they are always terminated. The reader's form fails
// when fewer than 588 bytes are left.
bool DecodeScriptHeader(ce::ByteReader& reader, ScriptHeader& header);
ScriptHeader DecodeScriptHeader(std::span<const BYTE, kScriptHeaderSize> bytes);

std::array<BYTE, kScriptEntrySize> EncodeScriptEntry(std::u16string_view databaseName);

// Reads the header from the file's start: false unless all 588 bytes arrive
// and the format tag is 288.
bool ReadScriptHeader(HANDLE file, ScriptHeader& header);
// Reads the next entry; false unless all 72 bytes arrive. The name is cut
// at unit 35 so that it is always terminated.
bool ReadScriptEntry(HANDLE file, WCHAR (&name)[kScriptEntryUnits]);

}  // namespace backup

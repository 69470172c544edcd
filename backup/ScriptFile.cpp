#include "backup/ScriptFile.h"

#include "backup/ArchiveFormat.h"
#include "backup/ArchiveReading.h"
#include "platform/core/Bytes.h"
#include "platform/core/Text.h"

namespace backup {
std::array<BYTE, kScriptHeaderSize> EncodeScriptHeader(const ScriptHeader& header) {
    ce::ByteWriter w(kScriptHeaderSize);
    w.U32(header.headerSize);
    w.U32(header.formatTag);
    w.U32(header.compressed);
    w.U32(0);
    w.WideField(ce::WideView(header.archiveName, ce::MAX_PATH), ce::MAX_PATH);
    w.WideField(ce::WideView(header.password, kPasswordUnits), kPasswordUnits);
    w.U32(header.databaseCount);
    w.Zeros(8);
    return w.ToArray<kScriptHeaderSize>();
}

bool DecodeScriptHeader(ce::ByteReader& r, ScriptHeader& header) {
    header = ScriptHeader{};
    if (r.Remaining() < kScriptHeaderSize)
        return false;
    DWORD reserved = 0;
    return r.U32(header.headerSize) && r.U32(header.formatTag) && r.U32(header.compressed) &&
           r.U32(reserved) && DecodeTextField(r, header.archiveName, ce::MAX_PATH) &&
           DecodeTextField(r, header.password, kPasswordUnits) && r.U32(header.databaseCount) &&
           r.Skip(8);
}

ScriptHeader DecodeScriptHeader(std::span<const BYTE, kScriptHeaderSize> bytes) {
    return DecodeWhole<ScriptHeader>(bytes, DecodeScriptHeader);
}

std::array<BYTE, kScriptEntrySize> EncodeScriptEntry(std::u16string_view databaseName) {
    ce::ByteWriter w(kScriptEntrySize);
    w.WideField(databaseName, kScriptEntryUnits);
    return w.ToArray<kScriptEntrySize>();
}

bool ReadScriptHeader(HANDLE file, ScriptHeader& header) {
    header = ScriptHeader{};
    std::array<BYTE, kScriptHeaderSize> bytes{};
    if (!SeekFile(file, 0) || !ReadExactly(file, bytes.data(), kScriptHeaderSize))
        return false;
    header = DecodeScriptHeader(bytes);
    return header.formatTag == kScriptFormatTag;
}

bool ReadScriptEntry(HANDLE file, WCHAR (&name)[kScriptEntryUnits]) {
    BYTE bytes[kScriptEntrySize];
    if (!ReadExactly(file, bytes, kScriptEntrySize)) {
        name[0] = 0;
        return false;
    }
    ce::ByteReader r(bytes, kScriptEntrySize);
    return DecodeTextField(r, name, kScriptEntryUnits);
}

}  // namespace backup

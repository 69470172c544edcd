#include "backup/ScriptFile.h"

#include <algorithm>

#include "backup/ArchiveReading.h"
#include "platform/core/Bytes.h"

namespace backup {
namespace {

// Reads a fixed text field of `units` units into `out` (same size), cutting
// the last unit so that it is terminated.
template <std::size_t N>
void ReadTextField(const BYTE* p, WCHAR (&out)[N]) {
    bool ended = false;
    for (std::size_t i = 0; i < N; ++i) {
        WCHAR c = ended || i == N - 1 ? 0 : ce::LoadU16(p + 2 * i);
        ended = ended || c == 0;
        out[i] = c;
    }
}

}  // namespace

std::array<BYTE, kScriptHeaderSize> EncodeScriptHeader(const ScriptHeader& header) {
    ce::ByteWriter w(kScriptHeaderSize);
    w.U32(header.headerSize);
    w.U32(header.formatTag);
    w.U32(header.compressed);
    w.U32(0);
    w.WideField(std::u16string_view(header.archiveName, std::find(std::begin(header.archiveName),
                                                                  std::end(header.archiveName), 0) -
                                                            header.archiveName),
                ce::MAX_PATH);
    w.WideField(std::u16string_view(header.password, std::find(std::begin(header.password),
                                                               std::end(header.password), 0) -
                                                         header.password),
                kPasswordUnits);
    w.U32(header.databaseCount);
    w.Zeros(8);
    std::array<BYTE, kScriptHeaderSize> out{};
    std::copy(w.Data().begin(), w.Data().end(), out.begin());
    return out;
}

ScriptHeader DecodeScriptHeader(std::span<const BYTE, kScriptHeaderSize> bytes) {
    const BYTE* p = bytes.data();
    ScriptHeader header;
    header.headerSize = ce::LoadU32(p);
    header.formatTag = ce::LoadU32(p + 4);
    header.compressed = ce::LoadU32(p + 8);
    ReadTextField(p + 16, header.archiveName);
    ReadTextField(p + 536, header.password);
    header.databaseCount = ce::LoadU32(p + kScriptCountOffset);
    return header;
}

std::array<BYTE, kScriptEntrySize> EncodeScriptEntry(std::u16string_view databaseName) {
    ce::ByteWriter w(kScriptEntrySize);
    w.WideField(databaseName, kScriptEntryUnits);
    std::array<BYTE, kScriptEntrySize> out{};
    std::copy(w.Data().begin(), w.Data().end(), out.begin());
    return out;
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
    ReadTextField(bytes, name);
    return true;
}

}  // namespace backup

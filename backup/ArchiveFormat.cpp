#include "backup/ArchiveFormat.h"

#include "platform/core/Bytes.h"

namespace backup {
ArchiveHeader MakeArchiveHeader(DWORD databaseCount, bool compressed, bool password) {
    ArchiveHeader header;
    header.databaseCount = databaseCount;
    header.compressed = compressed ? 1 : 0;
    header.flags = password ? kPasswordFlag : 0;
    header.firstBlock = kArchiveHeaderSize + (password ? kPasswordBytes : 0);
    return header;
}

std::array<BYTE, kArchiveHeaderSize> EncodeArchiveHeader(const ArchiveHeader& header) {
    ce::ByteWriter w(kArchiveHeaderSize);
    w.U32(header.signature);
    w.U32(header.headerSize);
    w.U32(header.databaseCount);
    w.U32(header.compressed);
    w.U32(header.flags);
    w.U32(header.firstBlock);
    return w.ToArray<kArchiveHeaderSize>();
}

ArchiveHeader DecodeArchiveHeader(std::span<const BYTE, kArchiveHeaderSize> bytes) {
    ArchiveHeader header;
    const BYTE* p = bytes.data();
    header.signature = ce::LoadU32(p);
    header.headerSize = ce::LoadU32(p + 4);
    header.databaseCount = ce::LoadU32(p + 8);
    header.compressed = ce::LoadU32(p + 12);
    header.flags = ce::LoadU32(p + 16);
    header.firstBlock = ce::LoadU32(p + 20);
    return header;
}

std::array<BYTE, kPasswordBytes> EncodePasswordBlock(const WCHAR (&stored)[kPasswordUnits]) {
    std::array<BYTE, kPasswordBytes> out{};
    for (std::size_t i = 0; i < kMaxPasswordLength && stored[i] != 0; ++i)
        ce::StoreU16(out.data() + 2 * i, stored[i]);
    return out;
}

void DecodePasswordBlock(std::span<const BYTE, kPasswordBytes> bytes,
                         WCHAR (&stored)[kPasswordUnits]) {
    DecodeTextField(bytes.data(), stored, kPasswordUnits);
}

void DecodeTextField(const BYTE* bytes, WCHAR* text, std::size_t units) {
    bool ended = false;
    for (std::size_t i = 0; i < units; ++i) {
        WCHAR c = ended || i + 1 == units ? 0 : ce::LoadU16(bytes + 2 * i);
        ended = ended || c == 0;
        text[i] = c;
    }
}

std::array<BYTE, kDatabaseHeaderSize> EncodeDatabaseHeader(const DatabaseHeader& header) {
    const ce::CEDBASEINFO& info = header.info;
    ce::ByteWriter w(kDatabaseHeaderSize);
    w.U32(header.headerSize);
    w.U32(info.dwFlags);
    for (WCHAR c : info.szDbaseName)
        w.U16(c);
    w.U32(info.dwDbaseType);
    w.U16(info.wNumRecords);
    w.U16(info.wNumSortOrder);
    w.U32(info.dwSize);
    w.U32(info.ftLastModified.dwLowDateTime);
    w.U32(info.ftLastModified.dwHighDateTime);
    for (const ce::SORTORDERSPEC& order : info.rgSortSpecs) {
        w.U32(order.propid);
        w.U32(order.dwFlags);
    }
    const ce::SYSTEMTIME& t = header.stored;
    for (WORD field : {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                       t.wMilliseconds}) {
        w.U16(field);
    }
    w.U32(header.nextBlock);
    return w.ToArray<kDatabaseHeaderSize>();
}

DatabaseHeader DecodeDatabaseHeader(std::span<const BYTE, kDatabaseHeaderSize> bytes) {
    ce::ByteReader r(bytes.data(), bytes.size());
    DatabaseHeader header;
    ce::CEDBASEINFO& info = header.info;
    // The span has exactly the size of the fields below, so no read fails.
    r.U32(header.headerSize);
    r.U32(info.dwFlags);
    for (WCHAR& c : info.szDbaseName) {
        WORD unit = 0;
        r.U16(unit);
        c = unit;
    }
    info.szDbaseName[ce::CEDB_MAXDBASENAMELEN - 1] = 0;
    r.U32(info.dwDbaseType);
    r.U16(info.wNumRecords);
    r.U16(info.wNumSortOrder);
    r.U32(info.dwSize);
    r.U32(info.ftLastModified.dwLowDateTime);
    r.U32(info.ftLastModified.dwHighDateTime);
    for (ce::SORTORDERSPEC& order : info.rgSortSpecs) {
        r.U32(order.propid);
        r.U32(order.dwFlags);
    }
    ce::SYSTEMTIME& t = header.stored;
    for (WORD* field : {&t.wYear, &t.wMonth, &t.wDayOfWeek, &t.wDay, &t.wHour, &t.wMinute,
                        &t.wSecond, &t.wMilliseconds}) {
        r.U16(*field);
    }
    r.U32(header.nextBlock);
    return header;
}

std::array<BYTE, kRecordHeaderSize> EncodeRecordHeader(const RecordHeader& header) {
    ce::ByteWriter w(kRecordHeaderSize);
    w.U16(header.propertyCount);
    w.U16(0);
    w.U32(header.sequence);
    w.U32(header.headerSize);
    w.U32(header.length);
    return w.ToArray<kRecordHeaderSize>();
}

RecordHeader DecodeRecordHeader(std::span<const BYTE, kRecordHeaderSize> bytes) {
    RecordHeader header;
    const BYTE* p = bytes.data();
    header.propertyCount = ce::LoadU16(p);
    header.sequence = ce::LoadU32(p + 4);
    header.headerSize = ce::LoadU32(p + 8);
    header.length = ce::LoadU32(p + 12);
    return header;
}

}  // namespace backup

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

bool DecodeArchiveHeader(ce::ByteReader& r, ArchiveHeader& header) {
    header = ArchiveHeader{};
    if (r.Remaining() < kArchiveHeaderSize)
        return false;
    return r.U32(header.signature) && r.U32(header.headerSize) && r.U32(header.databaseCount) &&
           r.U32(header.compressed) && r.U32(header.flags) && r.U32(header.firstBlock);
}

ArchiveHeader DecodeArchiveHeader(std::span<const BYTE, kArchiveHeaderSize> bytes) {
    return DecodeWhole<ArchiveHeader>(bytes, DecodeArchiveHeader);
}

std::array<BYTE, kPasswordBytes> EncodePasswordBlock(const WCHAR (&stored)[kPasswordUnits]) {
    std::array<BYTE, kPasswordBytes> out{};
    for (std::size_t i = 0; i < kMaxPasswordLength && stored[i] != 0; ++i)
        ce::StoreU16(out.data() + 2 * i, stored[i]);
    return out;
}

bool DecodePasswordBlock(ce::ByteReader& r, WCHAR (&stored)[kPasswordUnits]) {
    return DecodeTextField(r, stored, kPasswordUnits);
}

void DecodePasswordBlock(std::span<const BYTE, kPasswordBytes> bytes,
                         WCHAR (&stored)[kPasswordUnits]) {
    ce::ByteReader r(bytes.data(), bytes.size());
    DecodePasswordBlock(r, stored);
}

bool DecodeTextField(ce::ByteReader& r, WCHAR* text, std::size_t units) {
    if (r.Remaining() / 2 < units)
        return false;
    bool ended = false;
    for (std::size_t i = 0; i < units; ++i) {
        WORD c = 0;
        r.U16(c);
        if (ended || i + 1 == units)
            c = 0;
        ended = ended || c == 0;
        text[i] = c;
    }
    return true;
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

bool DecodeDatabaseHeader(ce::ByteReader& r, DatabaseHeader& header) {
    header = DatabaseHeader{};
    ce::CEDBASEINFO& info = header.info;
    if (!r.U32(header.headerSize) || !r.U32(info.dwFlags) ||
        !DecodeTextField(r, info.szDbaseName, ce::CEDB_MAXDBASENAMELEN) ||
        !r.U32(info.dwDbaseType) || !r.U16(info.wNumRecords) || !r.U16(info.wNumSortOrder) ||
        !r.U32(info.dwSize) || !r.U32(info.ftLastModified.dwLowDateTime) ||
        !r.U32(info.ftLastModified.dwHighDateTime)) {
        return false;
    }
    for (ce::SORTORDERSPEC& order : info.rgSortSpecs) {
        if (!r.U32(order.propid) || !r.U32(order.dwFlags))
            return false;
    }
    ce::SYSTEMTIME& t = header.stored;
    for (WORD* field : {&t.wYear, &t.wMonth, &t.wDayOfWeek, &t.wDay, &t.wHour, &t.wMinute,
                        &t.wSecond, &t.wMilliseconds}) {
        if (!r.U16(*field))
            return false;
    }
    return r.U32(header.nextBlock);
}

DatabaseHeader DecodeDatabaseHeader(std::span<const BYTE, kDatabaseHeaderSize> bytes) {
    return DecodeWhole<DatabaseHeader>(bytes, DecodeDatabaseHeader);
}

std::array<BYTE, kRecordHeaderSize> EncodeRecordHeader(const RecordHeader& header) {
    // One per record: stored in place rather than through a writer's buffer.
    std::array<BYTE, kRecordHeaderSize> bytes{};
    ce::StoreU16(bytes.data(), header.propertyCount);
    ce::StoreU32(bytes.data() + 4, header.sequence);
    ce::StoreU32(bytes.data() + 8, header.headerSize);
    ce::StoreU32(bytes.data() + 12, header.length);
    return bytes;
}

bool DecodeRecordHeader(ce::ByteReader& r, RecordHeader& header) {
    header = RecordHeader{};
    WORD zero = 0;
    if (r.Remaining() < kRecordHeaderSize)
        return false;
    return r.U16(header.propertyCount) && r.U16(zero) && r.U32(header.sequence) &&
           r.U32(header.headerSize) && r.U32(header.length);
}

RecordHeader DecodeRecordHeader(std::span<const BYTE, kRecordHeaderSize> bytes) {
    return DecodeWhole<RecordHeader>(bytes, DecodeRecordHeader);
}

std::array<BYTE, kBlockPrefixSize> EncodeBlockPrefix(const BlockPrefix& prefix) {
    ce::ByteWriter w(kBlockPrefixSize);
    w.U32(prefix.nextBlock);
    w.U32(prefix.headerLength);
    return w.ToArray<kBlockPrefixSize>();
}

BlockPrefix DecodeBlockPrefix(std::span<const BYTE, kBlockPrefixSize> bytes) {
    ce::ByteReader r(bytes.data(), bytes.size());
    BlockPrefix prefix;
    r.U32(prefix.nextBlock);
    r.U32(prefix.headerLength);
    return prefix;
}

}  // namespace backup

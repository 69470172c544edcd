// Walks an arbitrary file as a restore does: archive header and password
// block, every database header (compressed or not), every record (read
// ahead through a buffer, or one by one) with its image decompressed and
// decoded as a relative record. Nothing may crash,
// hang, read past a buffer, allocate what the file cannot hold or unpack a
// record larger than the store takes.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "backup/ArchiveReading.h"
#include "backup/LzwCodec.h"
#include "fuzz/FuzzFile.h"
#include "store/RecordImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static backup::LzwCodec codec;
    FuzzFile file(data, size);
    if (!file.ok())
        return 0;
    backup::ArchiveHeader header;
    ce::WCHAR password[backup::kPasswordUnits];
    if (!backup::ReadArchiveHeader(file.handle(), header, password))
        return 0;
    if (password[backup::kMaxPasswordLength] != 0)
        std::abort();
    backup::LzwCodec* packed = header.IsCompressed() ? &codec : nullptr;
    ce::DWORD position = header.firstBlock;
    for (ce::DWORD block = 0; block < header.databaseCount; ++block) {
        backup::DatabaseHeader db;
        if (backup::ReadDatabaseHeaderAt(file.handle(), position, packed, db) !=
            backup::HeaderRead::Ok) {
            return 0;
        }
        if (db.info.szDbaseName[ce::CEDB_MAXDBASENAMELEN - 1] != 0)
            std::abort();
        // The restore reads a block through a read-ahead buffer; devicectl
        // reads record by record. Blocks take turns.
        backup::ArchiveInput input(file.handle(), block % 2 == 0);
        for (ce::WORD i = 0; i < db.info.wNumRecords; ++i) {
            backup::ArchiveRecord record;
            if (backup::ReadArchiveRecord(input, packed, record) != backup::RecordRead::Ok)
                return 0;
            // No record larger than the store takes gets past the reader.
            if (record.imageLength() > backup::kLargestRecordImage)
                std::abort();
            store::DecodedRecord decoded;
            std::string problem;
            store::DecodeRelativeImage(record.image(), record.imageLength(),
                                       record.header.propertyCount, decoded, &problem);
        }
        // Blocks only follow each other; a chain that turns back ends the walk.
        if (db.nextBlock <= position)
            return 0;
        position = db.nextBlock;
    }
    return 0;
}

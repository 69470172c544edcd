// Reads an arbitrary file as a registry restore does: the header with its
// checks, then every key record with its values.

#include <cstdint>
#include <cstdlib>

#include "backup/ArchiveReading.h"
#include "fuzz/FuzzFile.h"
#include "regbackup/RegistryBackupFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFile file(data, size);
    if (!file.ok())
        return 0;
    regbackup::RbkHeader header;
    if (!regbackup::ReadRbkHeader(file.handle(), header))
        return 0;
    if (!backup::SeekFile(file.handle(), header.firstRecord))
        return 0;
    for (ce::DWORD k = 0; k < header.keyCount; ++k) {
        regbackup::KeyRecord key;
        if (!regbackup::ReadKeyRecord(file.handle(), key))
            return 0;
        if (key.values.empty() || key.values.size() != key.valueCount ||
            key.path.size() >= ce::MAX_PATH) {
            std::abort();
        }
    }
    return 0;
}

// Reads an arbitrary file as an Autobackup run does: the header (format tag
// 288 required) and every entry it announces.

#include <cstdint>
#include <cstdlib>

#include "backup/ScriptFile.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFile file(data, size);
    if (!file.ok())
        return 0;
    backup::ScriptHeader header;
    if (!backup::ReadScriptHeader(file.handle(), header))
        return 0;
    if (header.archiveName[ce::MAX_PATH - 1] != 0 ||
        header.password[backup::kMaxPasswordLength] != 0) {
        std::abort();
    }
    for (ce::DWORD i = 0; i < header.databaseCount; ++i) {
        ce::WCHAR name[backup::kScriptEntryUnits];
        if (!backup::ReadScriptEntry(file.handle(), name))
            return 0;
        if (name[backup::kScriptEntryUnits - 1] != 0)
            std::abort();
    }
    return 0;
}

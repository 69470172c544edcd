#include "platform/device/VolumeQuota.h"

#include <sqlite3.h>

#include <cstdlib>
#include <mutex>
#include <new>
#include <string>
#include <system_error>

namespace ce::device {
namespace {

constexpr std::uint64_t kBlock = 4096;
constexpr const char* kVfsName = "tessaly-quota";

std::uint64_t Blocks(std::uint64_t bytes) {
    return (bytes + kBlock - 1) / kBlock * kBlock;
}

std::uint64_t FileBytes(const std::filesystem::path& path) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : Blocks(size);
}

// A file opened through the quota layer: SQLite's own file follows this
// header in the same allocation.
struct QuotaFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::filesystem::path volume;  // the volume this file belongs to
};

sqlite3_vfs* RealVfs() {
    static sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
    return real;
}

QuotaFile* Quota(sqlite3_file* file) {
    return reinterpret_cast<QuotaFile*>(file);
}
sqlite3_file* Real(sqlite3_file* file) {
    return Quota(file)->real;
}
const sqlite3_io_methods* RealMethods(sqlite3_file* file) {
    return Real(file)->pMethods;
}

// Whether growing `file` to `end` bytes still fits the quota.
bool Fits(sqlite3_file* file, sqlite3_int64 end) {
    sqlite3_int64 size = 0;
    if (RealMethods(file)->xFileSize(Real(file), &size) != SQLITE_OK)
        return true;  // the write itself will report what is wrong
    if (end <= size)
        return true;
    std::uint64_t growth =
        Blocks(static_cast<std::uint64_t>(end)) - Blocks(static_cast<std::uint64_t>(size));
    return QuotaBytesUsed(Quota(file)->volume) + growth <= VolumeQuota().value_or(UINT64_MAX);
}

int Close(sqlite3_file* file) {
    int rc = RealMethods(file)->xClose(Real(file));
    Quota(file)->volume.~path();
    return rc;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return RealMethods(file)->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (!Fits(file, offset + amount))
        return SQLITE_FULL;
    return RealMethods(file)->xWrite(Real(file), buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    if (!Fits(file, size))
        return SQLITE_FULL;
    return RealMethods(file)->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) {
    return RealMethods(file)->xSync(Real(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    return RealMethods(file)->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) {
    return RealMethods(file)->xLock(Real(file), level);
}
int Unlock(sqlite3_file* file, int level) {
    return RealMethods(file)->xUnlock(Real(file), level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
    return RealMethods(file)->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
    // Growing the file ahead of its writes would pass the quota unseen.
    if (op == SQLITE_FCNTL_SIZE_HINT)
        return SQLITE_NOTFOUND;
    return RealMethods(file)->xFileControl(Real(file), op, arg);
}
int SectorSize(sqlite3_file* file) {
    return RealMethods(file)->xSectorSize(Real(file));
}
int DeviceCharacteristics(sqlite3_file* file) {
    return RealMethods(file)->xDeviceCharacteristics(Real(file));
}
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
    return RealMethods(file)->xShmMap(Real(file), region, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return RealMethods(file)->xShmLock(Real(file), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) {
    RealMethods(file)->xShmBarrier(Real(file));
}
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    return RealMethods(file)->xShmUnmap(Real(file), deleteFlag);
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out) {
    return RealMethods(file)->xFetch(Real(file), offset, amount, out);
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
    return RealMethods(file)->xUnfetch(Real(file), offset, page);
}

const sqlite3_io_methods kMethods = {
    3,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    QuotaFile* quota = Quota(file);
    quota->base.pMethods = nullptr;
    quota->real = reinterpret_cast<sqlite3_file*>(quota + 1);
    int rc = RealVfs()->xOpen(RealVfs(), name, quota->real, flags, outFlags);
    if (quota->real->pMethods == nullptr)
        return rc;
    // The main file is the volume; its journal and WAL are named after it.
    std::string path = name != nullptr ? sqlite3_filename_database(name) : "";
    new (&quota->volume) std::filesystem::path(path);
    quota->base.pMethods = &kMethods;
    return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDirectory) {
    return RealVfs()->xDelete(RealVfs(), name, syncDirectory);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
    return RealVfs()->xAccess(RealVfs(), name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return RealVfs()->xFullPathname(RealVfs(), name, size, out);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
    return RealVfs()->xRandomness(RealVfs(), size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return RealVfs()->xSleep(RealVfs(), microseconds);
}
int CurrentTime(sqlite3_vfs*, double* out) {
    return RealVfs()->xCurrentTime(RealVfs(), out);
}
int LastSystemError(sqlite3_vfs*, int size, char* out) {
    return RealVfs()->xGetLastError(RealVfs(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return RealVfs()->xCurrentTimeInt64(RealVfs(), out);
}

}  // namespace

std::optional<std::uint64_t> VolumeQuota() {
    static const std::optional<std::uint64_t> quota = []() -> std::optional<std::uint64_t> {
        const char* text = std::getenv("TESSALY_VOLUME_QUOTA");
        if (text == nullptr || *text == 0)
            return std::nullopt;
        char* end = nullptr;
        unsigned long long bytes = std::strtoull(text, &end, 10);
        if (*end != 0 || bytes == 0)
            return std::nullopt;
        return bytes;
    }();
    return quota;
}

const char* QuotaVfsName() {
    if (!VolumeQuota())
        return nullptr;
    static std::once_flag registered;
    static sqlite3_vfs vfs;
    std::call_once(registered, [] {
        sqlite3_vfs* real = RealVfs();
        vfs.iVersion = 2;
        vfs.szOsFile = static_cast<int>(sizeof(QuotaFile)) + real->szOsFile;
        vfs.mxPathname = real->mxPathname;
        vfs.zName = kVfsName;
        vfs.xOpen = Open;
        vfs.xDelete = Delete;
        vfs.xAccess = Access;
        vfs.xFullPathname = FullPathname;
        vfs.xRandomness = Randomness;
        vfs.xSleep = Sleep;
        vfs.xCurrentTime = CurrentTime;
        vfs.xGetLastError = LastSystemError;
        vfs.xCurrentTimeInt64 = CurrentTimeInt64;
        sqlite3_vfs_register(&vfs, 0);
    });
    return kVfsName;
}

std::uint64_t QuotaBytesUsed(const std::filesystem::path& volume) {
    std::string base = volume.string();
    return FileBytes(volume) + FileBytes(base + "-wal") + FileBytes(base + "-shm");
}

}  // namespace ce::device

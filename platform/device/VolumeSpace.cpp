#include "platform/device/VolumeSpace.h"

#include <sqlite3.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <string>

#include "platform/device/Volume.h"
#include "platform/device/VolumeQuota.h"

namespace ce::device {
namespace {

// The largest write: a record of CEDB_MAXRECORDSIZE (128 KB, 33 overflow
// pages of 4 KB) with its row, index entry, database row, change log entry
// and the B-tree pages that splitting them may touch.
constexpr std::uint64_t kLargestWritePages = 48;
// How far a write that frees room may pass the cap: a deletion changes a
// few pages and may add one to the change log or to the free list.
constexpr std::int64_t kFreeingPages = 16;
constexpr std::uint64_t kWalHeaderBytes = 32;
constexpr std::uint64_t kWalFrameHeaderBytes = 24;
// Below this much room the WAL is folded in after every write.
constexpr std::uint64_t kShortOfRoomBytes = 16 << 20;
// How often the file system is measured again while room is plentiful.
constexpr unsigned kMeasureInterval = 256;
// SQLite's own largest page cap.
constexpr std::int64_t kNoCap = 0xFFFFFFFE;

}  // namespace

std::uint64_t FreeBytes(const std::filesystem::path& volume) {
    if (std::optional<std::uint64_t> quota = VolumeQuota()) {
        std::uint64_t used = QuotaBytesUsed(volume);
        return used < *quota ? *quota - used : 0;
    }
    struct statvfs fs;
    if (::statvfs(volume.parent_path().c_str(), &fs) != 0)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

void VolumeSpace::Checkpoint(sqlite3* connection) {
    sqlite3_wal_checkpoint_v2(connection, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

void VolumeSpace::Start(sqlite3* connection, const std::filesystem::path& volume) {
    Measure(connection, volume);
    if (short_) {
        Checkpoint(connection);
        Measure(connection, volume);
    }
}

void VolumeSpace::Measure(sqlite3* connection, const std::filesystem::path& volume, bool freeing) {
    std::int64_t pageSize = 0, pages = 0;
    if (ExecInt(connection, "PRAGMA page_size", &pageSize) != SQLITE_OK ||
        ExecInt(connection, "PRAGMA page_count", &pages) != SQLITE_OK || pageSize <= 0) {
        return;  // the write itself will tell what is wrong with the volume
    }
    pageSize_ = pageSize;
    std::uint64_t free = FreeBytes(volume);
    // The WAL index (-shm) exists while the volume is open, so the file
    // system counts it already.
    std::uint64_t reserve =
        kWalHeaderBytes + kLargestWritePages * (pageSize + kWalFrameHeaderBytes);
    std::int64_t cap = kNoCap;
    if (free != UINT64_MAX) {
        std::uint64_t room = free > reserve ? (free - reserve) / pageSize : 0;
        short_ = room * pageSize < kShortOfRoomBytes;
        cap = std::min<std::int64_t>(kNoCap, pages + static_cast<std::int64_t>(room));
    }
    if (freeing)
        cap = std::min(kNoCap, cap + kFreeingPages);
    std::string sql = "PRAGMA max_page_count = " + std::to_string(cap);
    ExecInt(connection, sql.c_str(), &cap_);
    commitsSinceMeasure_ = 0;
}

void VolumeSpace::AfterCommit(sqlite3* connection, const std::filesystem::path& volume) {
    if (short_) {
        Checkpoint(connection);
        Measure(connection, volume);
    } else if (++commitsSinceMeasure_ >= kMeasureInterval) {
        Measure(connection, volume);
    }
}

}  // namespace ce::device

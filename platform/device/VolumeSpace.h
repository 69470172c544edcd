#pragma once
// How much of its file system the volume may fill.
//
// In WAL mode every write goes to objectstore.db-wal first and is copied
// into the volume later (a checkpoint), so for a moment a write takes room
// twice. Were the volume let to grow until the disk is full, the last
// writes would leave committed pages in the WAL that no checkpoint can copy
// for lack of room, and then not even a deletion could be written. So the
// volume grows only until what is left of the file system is the room that
// the largest write needs in the WAL; beyond that a write fails as a full
// store. The limit is SQLite's page cap (max_page_count) on the connection.
// A write that frees room (a deletion) may pass the cap by a few pages, so
// that a full store can always be emptied. When little room is left the WAL
// is copied into the volume and truncated after every write.

#include <cstdint>
#include <filesystem>

struct sqlite3;

namespace ce::device {

// Free bytes of the file system that holds `volume` (what the volume's
// owner may use), or of the simulated one (VolumeQuota.h). UINT64_MAX when
// it cannot be told.
std::uint64_t FreeBytes(const std::filesystem::path& volume);

class VolumeSpace {
public:
    // Copies the WAL into the volume and truncates it to nothing.
    static void Checkpoint(sqlite3* connection);

    // Measures when the volume is opened; when room is short, folds in what
    // an earlier process left in the WAL first.
    void Start(sqlite3* connection, const std::filesystem::path& volume);
    // Measures the file system and sets the cap; with `freeing` a write that
    // frees room may pass it by a few pages.
    void Measure(sqlite3* connection, const std::filesystem::path& volume, bool freeing = false);
    // After a committed write: when room is short, folds the WAL into the
    // volume and measures again; otherwise measures now and then, since
    // other files come and go on the same file system.
    void AfterCommit(sqlite3* connection, const std::filesystem::path& volume);

    // Pages the volume may hold at most.
    std::int64_t cap() const { return cap_; }
    // Whether so little room is left that the WAL is folded in after every write.
    bool shortOfRoom() const { return short_; }
    std::int64_t pageSize() const { return pageSize_; }

private:
    std::int64_t cap_ = 0;
    std::int64_t pageSize_ = 4096;
    bool short_ = false;
    unsigned commitsSinceMeasure_ = 0;
};

}  // namespace ce::device

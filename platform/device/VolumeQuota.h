#pragma once
// A small file system for the volume, simulated: a test hook for machines
// where a test may not mount one.
//
// When $TESSALY_VOLUME_QUOTA holds a number of bytes, the volume's files
// (objectstore.db and its -wal and -shm beside it) behave as if they were
// alone on a file system of that size: a write that would make them take
// more, counted in blocks of 4 KB as a file system does, fails as a full
// disk would, and the free space the volume sees is what is left of it.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace ce::device {

// The simulated size, or none when the hook is off.
std::optional<std::uint64_t> VolumeQuota();

// The name of the SQLite file layer that enforces the quota, registered on
// first use; null when the hook is off (SQLite's own layer is used).
const char* QuotaVfsName();

// Bytes the volume's files take on the simulated file system.
std::uint64_t QuotaBytesUsed(const std::filesystem::path& volume);

}  // namespace ce::device

#pragma once
// Which databases are open, across every process that uses the device.
//
// Each open database handle holds shared byte-range locks (open file
// description locks) on the device's lock file: one byte marking the
// database open and, for a sorted handle, one byte for its sort order. The
// kernel drops them when the handle closes or its process dies, so a crashed
// process never leaves a database marked in use. Deleting a database, or
// removing a sort order, takes the bytes exclusively for the duration of the
// change, which fails while any handle (this process's own included) holds
// them.
//
// The byte of database `oid` is oid << 32; the byte of its sort order with
// property `propid` is (oid << 32) + propid. Identifiers stay below 2^31 so
// that these offsets fit.

#include <vector>

#include "platform/core/Types.h"

namespace ce::objectstore {

inline constexpr CEOID kMaxLockableOid = 0x7FFFFFFF;

class LockFile {
public:
    LockFile() = default;
    ~LockFile();
    LockFile(LockFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    LockFile& operator=(LockFile&& other) noexcept;
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Opens the device's lock file (a new open file description, so that its
    // locks are its own). Returns a platform error code.
    DWORD Open();
    bool IsOpen() const { return fd_ >= 0; }

    // Shared locks for a handle: the database's byte and, when `sortPropid`
    // is nonzero, its sort order's. Waits briefly while a deletion holds them.
    DWORD LockShared(CEOID oid, CEPROPID sortPropid);
    // Exclusive lock on every byte of the database; ERROR_SHARING_VIOLATION
    // while any handle has it open.
    DWORD LockDatabaseExclusive(CEOID oid);
    // Exclusive locks on sort orders; ERROR_SHARING_VIOLATION while any
    // handle walks one of them.
    DWORD LockSortOrdersExclusive(CEOID oid, const std::vector<CEPROPID>& propids);

private:
    int fd_ = -1;
};

}  // namespace ce::objectstore

#pragma once
// Which databases are open, across every process that uses the device.
//
// Open database handles hold shared byte-range locks (open file description
// locks) on the device's lock file: one byte marking the database open and,
// for a sorted handle, one byte for its sort order. A process holds each
// byte once, through one open file description, for as long as any of its
// handles needs it. The kernel drops the locks when the process dies, so a
// crashed process never leaves a database marked in use. Deleting a
// database, or removing a sort order, takes the bytes exclusively through
// another open file description for the duration of the change, which fails
// while any handle (this process's own included) holds them.
//
// The byte of database `oid` is oid << 32; the byte of its sort order with
// property `propid` is (oid << 32) + propid. Identifiers stay below 2^31 so
// that these offsets fit.

#include <sys/types.h>
#include <filesystem>
#include <memory>
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
    DWORD Open(const std::filesystem::path& path);
    bool IsOpen() const { return fd_ >= 0; }

    // A shared lock on one byte; waits briefly while a deletion holds it.
    DWORD LockShared(off_t byte);
    void Unlock(off_t byte);
    // Exclusive lock on every byte of the database; ERROR_SHARING_VIOLATION
    // while any handle has it open.
    DWORD LockDatabaseExclusive(CEOID oid);
    // Exclusive locks on sort orders; ERROR_SHARING_VIOLATION while any
    // handle walks one of them.
    DWORD LockSortOrdersExclusive(CEOID oid, const std::vector<CEPROPID>& propids);

private:
    int fd_ = -1;
};

class SharedLocks;

// What one open handle holds: the database's byte and, when `sortPropid` is
// nonzero, its sort order's. Released when destroyed.
class HandleLock {
public:
    HandleLock() = default;
    ~HandleLock();
    HandleLock(HandleLock&& other) noexcept = default;
    HandleLock& operator=(HandleLock&&) = delete;
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;

    // Called with the volume lock held.
    DWORD Acquire(CEOID oid, CEPROPID sortPropid);

private:
    std::shared_ptr<SharedLocks> locks_;
    std::vector<off_t> bytes_;
};

}  // namespace ce::objectstore

#pragma once
// Change notifications. Every record change is logged in the volume's
// changes table with the handle that made it; each process polls the log
// (TakeDatabaseNotifications) for its handles that asked to be notified and
// hands them the changes made through other handles. The log keeps the most
// recent changes only.

#include <cstdint>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"

namespace ce::objectstore {

// What a notified handle needs to receive its notifications.
struct NotifiedHandle {
    HWND window = nullptr;
    CEOID database = 0;
    std::int64_t origin = 0;    // the handle's writes carry this
    std::int64_t lastSeen = 0;  // last log entry already handled
    std::uint64_t volumeSerial = 0;
};

// A volume-wide identifier for a new handle's writes.
std::int64_t NewOrigin();

// Inside a write transaction.
DWORD LogChange(device::Volume& volume, CEOID database, CEOID record, UINT message,
                std::int64_t origin);
// Drops old entries as writing the entries `first` to `last` one by one
// would have: the log keeps the most recent ones. Inside a write transaction.
DWORD TrimChanges(device::Volume& volume, std::int64_t first, std::int64_t last);
// The newest entry that trim drops (0: none).
std::int64_t TrimmedThrough(std::int64_t first, std::int64_t last);
// The newest log entry, so that a new handle starts after it (counting the
// entries a write batch of this process holds back).
DWORD LastChange(device::Volume& volume, std::int64_t* seq);

// The process's notified handles; callers hold the volume lock.
void RegisterNotifiedHandle(NotifiedHandle* handle);
void UnregisterNotifiedHandle(NotifiedHandle* handle);

}  // namespace ce::objectstore

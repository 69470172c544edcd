#include "platform/objectstore/Notifications.h"

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/MessageSources.h"
#include "platform/objectstore/BatchedEffects.h"
#include "platform/objectstore/ObjectStore.h"

namespace ce::objectstore {
namespace {

// How many log entries stay behind the newest one. A notified handle whose
// process does not poll for this many changes misses the oldest of them.
constexpr std::int64_t kKeptChanges = 8192;
// Old entries are trimmed once every this many changes.
constexpr std::int64_t kTrimInterval = 256;

struct NotifiedHandles {
    std::vector<NotifiedHandle*> handles;
    std::uint64_t lastStamp = 0;
    std::uint64_t lastSerial = 0;
};

NotifiedHandles& Notified() {
    static NotifiedHandles* notified = new NotifiedHandles;
    return *notified;
}

}  // namespace

std::int64_t NewOrigin() {
    static std::atomic<std::uint32_t> next{1};
    return (static_cast<std::int64_t>(::getpid()) << 32) | next++;
}

DWORD LogChange(device::Volume& volume, CEOID database, CEOID record, UINT message,
                std::int64_t origin) {
    device::Query insert = volume.Prepare(
        "INSERT INTO changes(db, record, kind, origin) VALUES(?, ?, ?, ?) RETURNING seq");
    insert.Bind(1, database).Bind(2, record).Bind(3, message).Bind(4, origin);
    if (!insert.Step())
        return insert.error() != ERROR_SUCCESS ? insert.error() : ERROR_BADDB;
    std::int64_t seq = insert.Int(0);
    if (!insert.Run())
        return insert.error();
    return TrimChanges(volume, seq, seq);
}

std::int64_t TrimmedThrough(std::int64_t first, std::int64_t last) {
    // The last trim point in the range does what all of them would.
    std::int64_t point = last - last % kTrimInterval;
    if (point < first || point <= 0)
        return 0;
    return std::max<std::int64_t>(0, point - kKeptChanges);
}

DWORD TrimChanges(device::Volume& volume, std::int64_t first, std::int64_t last) {
    std::int64_t through = TrimmedThrough(first, last);
    if (through == 0)
        return ERROR_SUCCESS;
    device::Query trim = volume.Prepare("DELETE FROM changes WHERE seq <= ?");
    trim.Bind(1, through);
    return trim.Run() ? ERROR_SUCCESS : trim.error();
}

DWORD LastChange(device::Volume& volume, std::int64_t* seq) {
    device::Query query = volume.Prepare("SELECT coalesce(max(seq), 0) FROM changes");
    if (!query.Step())
        return query.error() != ERROR_SUCCESS ? query.error() : ERROR_BADDB;
    *seq = query.Int(0);
    if (const BatchedEffects* waiting = BatchedEffects::Waiting(volume))
        *seq += waiting->waitingChanges();
    return ERROR_SUCCESS;
}

void RegisterNotifiedHandle(NotifiedHandle* handle) {
    Notified().handles.push_back(handle);
    Notified().lastStamp = 0;  // look at the log on the next poll
    // From now on the window system's message loop polls the log.
    AddMessageSource(PostDatabaseNotifications);
}

void UnregisterNotifiedHandle(NotifiedHandle* handle) {
    auto& handles = Notified().handles;
    handles.erase(std::remove(handles.begin(), handles.end(), handle), handles.end());
}

}  // namespace ce::objectstore

namespace ce {

std::vector<DatabaseNotification> TakeDatabaseNotifications() {
    using objectstore::NotifiedHandle;
    std::vector<DatabaseNotification> due;
    auto lock = device::LockVolume();
    auto& notified = objectstore::Notified();
    if (notified.handles.empty())
        return due;
    device::AccessVolume([&](device::Volume& volume) -> DWORD {
        // What a write batch holds may still be rolled back, and the log's
        // numbers used again: the log is read once it is committed.
        if (volume.batchPending())
            return ERROR_SUCCESS;
        std::uint64_t stamp = volume.ChangeStamp();
        if (stamp == notified.lastStamp && volume.serial() == notified.lastSerial) {
            return ERROR_SUCCESS;
        }
        std::int64_t from = INT64_MAX;
        for (NotifiedHandle* h : notified.handles) {
            if (h->volumeSerial == volume.serial())
                from = std::min(from, h->lastSeen);
        }
        if (from == INT64_MAX)
            return ERROR_SUCCESS;
        device::Query query = volume.Prepare(
            "SELECT seq, db, record, kind, origin, span FROM changes WHERE seq > ? ORDER BY seq");
        query.Bind(1, from);
        std::int64_t newest = from;
        while (query.Step()) {
            std::int64_t last = query.Int(0);
            newest = last;
            auto database = static_cast<CEOID>(query.Int(1));
            auto message = static_cast<UINT>(query.Int(3));
            std::int64_t origin = query.Int(4);
            // A row of a span stands for that many entries (VolumeSchema.cpp);
            // no batch logs more than the log keeps, whatever a damaged row says.
            std::int64_t span = std::clamp<std::int64_t>(query.Int(5), 1,
                                                         std::min(last, objectstore::kKeptChanges));
            std::int64_t firstRecord = query.Int(2);
            for (std::int64_t i = 0; i < span; ++i) {
                std::int64_t seq = last - span + 1 + i;
                auto record = static_cast<CEOID>(firstRecord + i);
                for (NotifiedHandle* h : notified.handles) {
                    if (h->volumeSerial != volume.serial() || h->database != database ||
                        seq <= h->lastSeen) {
                        continue;
                    }
                    h->lastSeen = seq;
                    if (h->origin != origin)
                        due.push_back({h->window, message, record, database});
                }
            }
        }
        if (query.error() != ERROR_SUCCESS)
            return query.error();
        // Every handle has now seen the log up to `newest`.
        for (NotifiedHandle* h : notified.handles) {
            if (h->volumeSerial == volume.serial())
                h->lastSeen = std::max(h->lastSeen, newest);
        }
        // Only now is everything up to this stamp handled.
        notified.lastStamp = stamp;
        notified.lastSerial = volume.serial();
        return ERROR_SUCCESS;
    });
    return due;
}

void PostDatabaseNotifications(PostToWindow post) {
    for (const DatabaseNotification& n : TakeDatabaseNotifications())
        post(n.window, n.message, n.object, static_cast<std::intptr_t>(n.parent));
}

}  // namespace ce

#pragma once
// What a record write inside a write batch leaves for the batch's commit:
// the database's count, size, modification time and version, and the
// change-log entry, kept in memory and written once per commit; and object
// identifiers, reserved from the volume's counter in blocks.
//
// Once committed the volume holds exactly what the writes one by one would
// have left: every write still moves the version on and logs its change in
// order. Until then this process reads the catalogue through Overlay, so it
// sees its own writes as before. A transaction that is lost takes the
// effects and the reserved block with it; a block reserved but unused when
// the batch ends is left unused (identifiers are never used twice).

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"

namespace ce::objectstore {

struct DatabaseRow;

class BatchedEffects final : public device::DeferredWrites {
public:
    // Identifiers reserved at a time.
    static constexpr std::int64_t kOidBlock = 512;

    // The volume's effects, installed on first use.
    static BatchedEffects& Of(device::Volume& volume);
    // The volume's effects if any wait; null otherwise.
    static const BatchedEffects* Waiting(const device::Volume& volume);

    // A fresh identifier from the reserved block, reserving the next block
    // when it is used up.
    DWORD TakeOid(device::Volume& volume, CEOID* oid);
    // Before a record write's statement: learns the database's counts when
    // not yet known, refuses a write that would pass the record limit
    // (ERROR_DISK_FULL), and makes room so that Account cannot fail.
    DWORD Prepare(device::Volume& volume, CEOID database, int countDelta);
    // After the statement succeeded: the write's effects; returns the
    // database's version after it.
    std::int64_t Account(CEOID database, int countDelta, std::int64_t sizeDelta, CEOID record,
                         UINT message, std::int64_t origin);

    // What this process reads of a database while effects wait.
    void Overlay(DatabaseRow* row) const;
    void Overlay(CEOID database, std::int64_t* version, std::int64_t* size) const;
    // Change-log entries waiting to be written.
    std::int64_t waitingChanges() const { return static_cast<std::int64_t>(changes_.size()); }

    // Counts learnt are let go at each commit and before other writes too.
    bool pending() const override { return !changes_.empty() || !databases_.empty(); }
    DWORD Flush(device::Volume& volume) override;
    void Drop() override;
    void EndBatch() override;

private:
    // The change-log entries, in order, with the trim they bring.
    DWORD WriteChanges(device::Volume& volume);
    // The end of the run of entries that share a row with entry `at`.
    std::size_t RunEnd(std::size_t at) const;

    struct Counts {
        std::int64_t recordCount = 0;
        std::int64_t size = 0;
        std::int64_t version = 0;
        std::uint64_t modified = 0;
        bool touched = false;
    };
    struct Change {
        CEOID database;
        CEOID record;
        UINT message;
        std::int64_t origin;
    };
    // Counts known in the open transaction, as they will be once written.
    std::unordered_map<CEOID, Counts> databases_;
    std::vector<Change> changes_;
    // Reserved identifiers: next_ up to, not including, end_.
    std::int64_t next_ = 0;
    std::int64_t end_ = 0;
};

}  // namespace ce::objectstore

#pragma once
// An open database: the kernel object behind a CeOpenDatabase handle, with
// its order of records and its seek pointer.
//
// The handle keeps the database's records in its order in memory and
// rebuilds that order only when the database has changed since (another
// handle or process wrote); its own writes update it in place. For databases
// of moderate size the order also keeps the records' stored bytes, so that
// walking a database reads the volume once. The seek
// pointer names a record by identifier, so it stays on that record while
// others come and go; when the record is deleted the pointer stays "on a
// deleted record" between its former neighbours.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/core/Handles.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/HandleLocks.h"
#include "platform/objectstore/Notifications.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/objectstore/SortOrder.h"

namespace ce::objectstore {

struct SeekPointer {
    enum class State {
        Start,        // on the first record, found when first needed
        BeforeFirst,  // no current record (the database was empty)
        OnRecord,
        Deleted,    // the current record was deleted
        AfterLast,  // moved past the last record by CEDB_AUTOINCREMENT
    };
    State state = State::Start;
    OrderEntry entry;  // OnRecord and Deleted: the record and its last known key
    // OnRecord: where the record was in the order of that generation. The
    // key is copied from the order only when the order is about to change.
    std::size_t index = 0;
    std::uint64_t generation = 0;
    bool keyKnown = false;
};

// A change this handle committed, applied to its order afterwards.
struct OwnChange {
    enum class Kind { None, Created, Changed, Deleted };
    Kind kind = Kind::None;
    CEOID oid = 0;
    SortKey oldKey;
    SortKey newKey;
    std::vector<BYTE> stored;  // the record as written
    std::int64_t version = 0;  // the database's version after the change
};

class DatabaseHandle : public KernelObject {
public:
    DatabaseHandle(CEOID database, OrderRule rule, DWORD openFlags, HandleLock lock,
                   std::uint64_t volumeSerial);
    ~DatabaseHandle() override;
    bool Close() override;

    CEOID database() const { return database_; }
    std::uint64_t volumeSerial() const { return volumeSerial_; }
    // Starts notifications to `window` for changes made after `lastChange`.
    void Notify(HWND window, std::int64_t lastChange);
    void StartEmpty() { pointer_.state = SeekPointer::State::BeforeFirst; }

    DWORD Seek(device::Volume& volume, DWORD seekType, DWORD value, CEOID* oid, DWORD* index);
    DWORD Read(device::Volume& volume, DWORD flags, LPWORD count, const CEPROPID* propids,
               LPBYTE* buffer, LPDWORD bufferSize, CEOID* oid);
    // Reads every property of the current record straight into its relative
    // image (RelativeImage.h), moving on as Read does.
    DWORD ReadImage(device::Volume& volume, std::vector<BYTE>* image, LPWORD count, CEOID* oid);
    // Reads the records after `after` in identifier order into their images
    // as ReadImage does, leaving the seek pointer where it is.
    DWORD ReadImagesAfter(device::Volume& volume, CEOID after, const RecordImageSink& take);
    // Writes properties into a record (oid 0 creates one), as the caller's
    // CEPROPVALs or as a record's relative image.
    DWORD Write(device::Volume& volume, CEOID oid, std::span<const CEPROPVAL> changes,
                CEOID* written);
    DWORD WriteImage(device::Volume& volume, CEOID oid, std::span<const BYTE> image, WORD count,
                     CEOID* written);
    DWORD Delete(device::Volume& volume, CEOID oid);

private:
    DWORD WriteChanges(device::Volume& volume, CEOID oid, std::span<const PropertyChange> changes,
                       CEOID* written);
    // Decodes the current record into readProperties_.
    DWORD DecodeCurrent(device::Volume& volume);
    // With CEDB_AUTOINCREMENT, moves to the next record after a read.
    DWORD MoveOnAfterRead(device::Volume& volume);
    // Brings the order up to date with the volume.
    DWORD Refresh(device::Volume& volume);
    DWORD Rebuild(device::Volume& volume, std::int64_t version, std::uint64_t stamp,
                  bool withRecords);
    // The current record's stored bytes, from the order when it keeps them.
    DWORD LoadCurrent(device::Volume& volume, std::span<const BYTE>* stored);
    void Relocate();
    // `rollbacks`: the volume's count of rolled-back batches after the change.
    void Apply(const OwnChange& change, std::uint64_t rollbacks);
    void MoveTo(std::size_t index);
    // Where the pointer would go by `delta` records; false past either end.
    bool Step(std::int64_t delta, std::size_t* target, DWORD* error);
    // The pointer's record's place in the order (OnRecord only).
    std::optional<std::size_t> CurrentIndex();
    // Remembers the pointer's key before the order changes under it.
    void CaptureKey();
    // A record of this database; ERROR_INVALID_PARAMETER when it has none of
    // that identifier.
    DWORD LoadOwnRecord(device::Volume& volume, CEOID oid, std::vector<BYTE>* stored);
    // The key of a stored record in this handle's order.
    SortKey StoredSortKey(std::span<const BYTE> stored);

    CEOID database_;
    DWORD openFlags_;
    HandleLock lock_;
    std::uint64_t volumeSerial_;
    std::int64_t origin_;
    NotifiedHandle notified_;
    bool notifying_ = false;

    RecordOrder order_;
    bool orderLoaded_ = false;
    bool orderKeepsRecords_ = false;
    std::uint64_t orderStamp_ = 0;
    std::int64_t orderVersion_ = 0;
    std::uint64_t orderRollbacks_ = 0;
    SeekPointer pointer_;

    // Reused by every read, so that a read allocates nothing in steady state.
    std::vector<BYTE> readStored_;
    std::vector<PropertyView> readProperties_;
    std::vector<ReadEntry> readEntries_;
    std::vector<BYTE> readImage_;
    // Reused by every write likewise.
    std::vector<PropertyChange> writeChanges_;
};

}  // namespace ce::objectstore

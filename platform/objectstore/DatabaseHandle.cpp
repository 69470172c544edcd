#include "platform/objectstore/DatabaseHandle.h"

#include "platform/core/Bytes.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/LocalMemory.h"
#include "platform/objectstore/BatchedEffects.h"
#include "platform/objectstore/DatabaseCatalogue.h"
#include "platform/objectstore/PropertyCodec.h"
#include "platform/objectstore/RecordStore.h"
#include "platform/objectstore/RelativeImage.h"
#include "platform/objectstore/StoreWriteHook.h"

namespace ce::objectstore {

using State = SeekPointer::State;

namespace {

// Databases up to this size (in the relative form) are kept in memory by
// the handles that walk them.
constexpr std::int64_t kKeptRecordBytes = 8 * 1024 * 1024;

}  // namespace

DatabaseHandle::DatabaseHandle(CEOID database, OrderRule rule, DWORD openFlags, HandleLock lock,
                               std::uint64_t volumeSerial)
    : database_(database),
      openFlags_(openFlags),
      lock_(std::move(lock)),
      volumeSerial_(volumeSerial),
      origin_(NewOrigin()),
      order_(rule) {}

DatabaseHandle::~DatabaseHandle() {
    if (notifying_) {
        auto volumeLock = device::LockVolume();
        UnregisterNotifiedHandle(&notified_);
    }
}

bool DatabaseHandle::Close() {
    if (notifying_) {
        auto volumeLock = device::LockVolume();
        UnregisterNotifiedHandle(&notified_);
        notifying_ = false;
    }
    return true;
}

void DatabaseHandle::Notify(HWND window, std::int64_t lastChange) {
    notified_ = NotifiedHandle{window, database_, origin_, lastChange, volumeSerial_};
    RegisterNotifiedHandle(&notified_);
    notifying_ = true;
}

// ---- The order --------------------------------------------------------------

DWORD DatabaseHandle::Refresh(device::Volume& volume) {
    std::uint64_t stamp = volume.ChangeStamp();
    if (orderLoaded_ && stamp == orderStamp_)
        return ERROR_SUCCESS;
    return volume.Read([&]() -> DWORD {
        device::Query query =
            volume.Prepare("SELECT version, sort_orders, size FROM databases WHERE oid = ?");
        query.Bind(1, database_);
        if (!query.Step()) {
            return query.error() != ERROR_SUCCESS ? query.error() : ERROR_INVALID_HANDLE;
        }
        std::int64_t version = query.Int(0), size = query.Int(2);
        if (const BatchedEffects* waiting = BatchedEffects::Waiting(volume))
            waiting->Overlay(database_, &version, &size);
        // After a rollback the version may come back to a number the order
        // had for writes that are gone.
        if (orderLoaded_ && version == orderVersion_ && volume.rollbacks() == orderRollbacks_) {
            orderStamp_ = stamp;
            return ERROR_SUCCESS;
        }
        // The sort order's flags may have been changed since the open.
        OrderRule rule = order_.rule();
        std::vector<SORTORDERSPEC> sorts;
        DecodeSortOrders(query.Blob(1), &sorts);
        for (const SORTORDERSPEC& s : sorts) {
            if (s.propid == rule.propid)
                rule.flags = s.dwFlags;
        }
        order_.SetRule(rule);
        return Rebuild(volume, version, stamp, size <= kKeptRecordBytes);
    });
}

DWORD DatabaseHandle::Rebuild(device::Volume& volume, std::int64_t version, std::uint64_t stamp,
                              bool withRecords) {
    std::vector<OrderEntry> entries;
    DWORD error = LoadOrderEntries(volume, database_, order_.rule(), withRecords, &entries);
    if (error != ERROR_SUCCESS)
        return error;
    CaptureKey();
    order_.Assign(std::move(entries));
    orderLoaded_ = true;
    orderKeepsRecords_ = withRecords;
    orderVersion_ = version;
    orderStamp_ = stamp;
    orderRollbacks_ = volume.rollbacks();
    Relocate();
    return ERROR_SUCCESS;
}

// Finds the pointer's record in a rebuilt order.
void DatabaseHandle::Relocate() {
    if (pointer_.state == State::Start) {
        if (order_.size() == 0) {
            pointer_.state = State::BeforeFirst;
        } else {
            MoveTo(0);
        }
        return;
    }
    if (pointer_.state != State::OnRecord)
        return;
    std::optional<std::size_t> at = order_.IndexOf(pointer_.entry);
    if (!at)
        at = order_.FindByOid(pointer_.entry.oid);  // its key changed elsewhere
    if (at) {
        pointer_.entry.key = order_.at(*at).key;
        pointer_.index = *at;
        pointer_.generation = order_.generation();
    } else {  // deleted elsewhere
        pointer_.state = State::Deleted;
    }
}

void DatabaseHandle::CaptureKey() {
    if (pointer_.state != State::OnRecord || pointer_.keyKnown)
        return;
    std::optional<std::size_t> at = CurrentIndex();
    if (at)
        pointer_.entry.key = order_.at(*at).key;
    pointer_.keyKnown = true;
}

std::optional<std::size_t> DatabaseHandle::CurrentIndex() {
    if (pointer_.state != State::OnRecord)
        return std::nullopt;
    if (pointer_.generation == order_.generation() && pointer_.index < order_.size() &&
        order_.at(pointer_.index).oid == pointer_.entry.oid) {
        return pointer_.index;
    }
    std::optional<std::size_t> at;
    if (pointer_.keyKnown)
        at = order_.IndexOf(pointer_.entry);
    if (!at)
        at = order_.FindByOid(pointer_.entry.oid);
    if (at) {
        pointer_.index = *at;
        pointer_.generation = order_.generation();
        pointer_.entry.key = order_.at(*at).key;
        pointer_.keyKnown = true;
    }
    return at;
}

void DatabaseHandle::Apply(const OwnChange& change, std::uint64_t rollbacks) {
    if (change.kind == OwnChange::Kind::None)
        return;
    CaptureKey();
    bool onIt = (pointer_.state == State::OnRecord || pointer_.state == State::Deleted) &&
                pointer_.entry.oid == change.oid;
    if (orderLoaded_ && change.version == orderVersion_ + 1 && rollbacks == orderRollbacks_) {
        // Nobody else changed the database in between: update in place.
        if (change.kind != OwnChange::Kind::Created)
            order_.Erase({change.oid, change.oldKey, {}});
        if (change.kind != OwnChange::Kind::Deleted) {
            order_.Insert({change.oid, change.newKey,
                           orderKeepsRecords_ ? change.stored : std::vector<BYTE>{}});
        }
        orderVersion_ = change.version;
    } else {
        orderLoaded_ = false;
    }
    if (onIt && change.kind == OwnChange::Kind::Changed) {
        pointer_.entry.key = change.newKey;
        pointer_.generation = 0;  // find it again
    }
    if (onIt && change.kind == OwnChange::Kind::Deleted)
        pointer_.state = State::Deleted;
}

void DatabaseHandle::MoveTo(std::size_t index) {
    pointer_.state = State::OnRecord;
    pointer_.entry.oid = order_.at(index).oid;
    pointer_.index = index;
    pointer_.generation = order_.generation();
    pointer_.keyKnown = false;
}

bool DatabaseHandle::Step(std::int64_t delta, std::size_t* target, DWORD* error) {
    auto size = static_cast<std::int64_t>(order_.size());
    std::int64_t to = 0;
    std::optional<std::size_t> current = CurrentIndex();
    switch (current ? State::OnRecord : pointer_.state) {
        case State::OnRecord:
            to = static_cast<std::int64_t>(*current) + delta;
            break;
        case State::Start:
        case State::BeforeFirst:
        case State::AfterLast:
        case State::Deleted: {
            // The pointer sits between two records: +1 is the one after
            // the gap, -1 the one before it.
            std::int64_t gap = 0;
            if (pointer_.state == State::AfterLast)
                gap = size;
            if (pointer_.state == State::Deleted || pointer_.state == State::OnRecord) {
                gap = static_cast<std::int64_t>(order_.LowerBound(pointer_.entry));
            }
            if (delta == 0) {
                *error = pointer_.state == State::BeforeFirst || pointer_.state == State::AfterLast
                             ? ERROR_NO_MORE_ITEMS
                             : ERROR_KEY_DELETED;
                return false;
            }
            to = delta > 0 ? gap + delta - 1 : gap + delta;
            break;
        }
    }
    if (to < 0 || to >= size) {
        *error = ERROR_NO_MORE_ITEMS;
        return false;
    }
    *target = static_cast<std::size_t>(to);
    return true;
}

DWORD DatabaseHandle::LoadOwnRecord(device::Volume& volume, CEOID oid, std::vector<BYTE>* stored) {
    CEOID parent = 0;
    DWORD error = LoadRecord(volume, oid, &parent, stored);
    if (error == ERROR_FILE_NOT_FOUND || (error == ERROR_SUCCESS && parent != database_))
        return ERROR_INVALID_PARAMETER;
    return error;
}

SortKey DatabaseHandle::StoredSortKey(std::span<const BYTE> stored) {
    std::vector<PropertyView> properties;
    if (!DecodeRecord(stored, &properties))
        properties.clear();  // damaged: placed as a record without the property
    return MakeSortKey(order_.rule(), properties);
}

// ---- Calls ------------------------------------------------------------------

DWORD DatabaseHandle::Seek(device::Volume& volume, DWORD seekType, DWORD value, CEOID* oid,
                           DWORD* index) {
    DWORD error = Refresh(volume);
    if (error != ERROR_SUCCESS)
        return error;
    std::size_t size = order_.size();
    std::size_t target = 0;
    switch (seekType) {
        case CEDB_SEEK_BEGINNING:
            if (value >= size)
                return ERROR_NO_MORE_ITEMS;
            target = value;
            break;
        case CEDB_SEEK_END:
            if (value >= size)
                return ERROR_NO_MORE_ITEMS;
            target = size - 1 - value;
            break;
        case CEDB_SEEK_CURRENT:
            if (!Step(static_cast<std::int32_t>(value), &target, &error))
                return error;
            break;
        case CEDB_SEEK_CEOID: {
            std::vector<BYTE> stored;
            error = LoadOwnRecord(volume, value, &stored);
            if (error != ERROR_SUCCESS)
                return error;
            std::optional<std::size_t> at = order_.IndexOf({value, StoredSortKey(stored), {}});
            if (!at) {
                // Written after the order was read: read it again.
                orderLoaded_ = false;
                error = Refresh(volume);
                if (error != ERROR_SUCCESS)
                    return error;
                at = order_.FindByOid(value);
                if (!at)
                    return ERROR_INVALID_PARAMETER;
            }
            target = *at;
            break;
        }
        default:
            return ERROR_INVALID_PARAMETER;
    }
    MoveTo(target);
    *oid = pointer_.entry.oid;
    if (index != nullptr)
        *index = static_cast<DWORD>(target);
    return ERROR_SUCCESS;
}

DWORD DatabaseHandle::LoadCurrent(device::Volume& volume, std::span<const BYTE>* stored) {
    if (orderKeepsRecords_) {
        DWORD error = Refresh(volume);
        if (error != ERROR_SUCCESS)
            return error;
        if (pointer_.state == State::Deleted)
            return ERROR_KEY_DELETED;  // found so by the refresh
        std::optional<std::size_t> at = CurrentIndex();
        if (orderLoaded_ && orderKeepsRecords_ && at) {
            *stored = order_.at(*at).stored;
            return ERROR_SUCCESS;
        }
    }
    CEOID parent = 0;
    DWORD error = LoadRecord(volume, pointer_.entry.oid, &parent, &readStored_);
    if (error == ERROR_FILE_NOT_FOUND) {
        pointer_.state = State::Deleted;  // deleted through another handle
        return ERROR_KEY_DELETED;
    }
    if (error != ERROR_SUCCESS)
        return error;
    *stored = readStored_;
    return ERROR_SUCCESS;
}

DWORD DatabaseHandle::DecodeCurrent(device::Volume& volume) {
    if (pointer_.state == State::Start) {
        DWORD error = Refresh(volume);
        if (error != ERROR_SUCCESS)
            return error;
    }
    switch (pointer_.state) {
        case State::OnRecord:
            break;
        case State::Deleted:
            return ERROR_KEY_DELETED;
        default:
            return ERROR_NO_MORE_ITEMS;
    }
    std::span<const BYTE> stored;
    DWORD error = LoadCurrent(volume, &stored);
    if (error != ERROR_SUCCESS)
        return error;
    return DecodeRecord(stored, &readProperties_) ? ERROR_SUCCESS : ERROR_BADDB;
}

DWORD DatabaseHandle::MoveOnAfterRead(device::Volume& volume) {
    if (!(openFlags_ & CEDB_AUTOINCREMENT))
        return ERROR_SUCCESS;
    DWORD error = Refresh(volume);
    if (error != ERROR_SUCCESS)
        return error;
    std::size_t next = 0;
    DWORD ignored = 0;
    if (pointer_.state == State::OnRecord && Step(1, &next, &ignored)) {
        MoveTo(next);
    } else if (pointer_.state == State::OnRecord) {
        pointer_.state = State::AfterLast;
    }
    return ERROR_SUCCESS;
}

namespace {

// The relative image of decoded properties, as a read gives them.
void MakeImage(const std::vector<PropertyView>& properties, std::vector<BYTE>* image) {
    WriteRelativeImage(
        properties.size(),
        [&](std::size_t i) {
            const PropertyView& view = properties[i];
            ImageProperty p;
            p.propid = view.propid;
            p.value = view.value;
            WORD type = TypeFromPropID(view.propid);
            if (type == CEVT_LPWSTR && !view.absentText) {
                // The text's units up to its first zero, as a read gives it.
                std::size_t n = 0;
                while (n + 1 < view.data.size() && (view.data[n] | view.data[n + 1]) != 0)
                    n += 2;
                p.present = true;
                p.bytes = view.data.first(n);
            } else if (type == CEVT_BLOB && !view.data.empty()) {
                p.present = true;
                p.bytes = view.data;
            }
            return p;
        },
        *image);
}

}  // namespace

DWORD DatabaseHandle::ReadImage(device::Volume& volume, std::vector<BYTE>* image, LPWORD count,
                                CEOID* oid) {
    DWORD error = DecodeCurrent(volume);
    if (error != ERROR_SUCCESS)
        return error;
    MakeImage(readProperties_, image);
    *count = static_cast<WORD>(readProperties_.size());
    *oid = pointer_.entry.oid;
    return MoveOnAfterRead(volume);
}

DWORD DatabaseHandle::ReadImagesAfter(device::Volume& volume, CEOID after,
                                      const RecordImageSink& take) {
    return ReadRecordsAfter(volume, database_, after, [&](CEOID oid, std::span<const BYTE> stored) {
        // A record that cannot be decoded is passed over.
        if (!DecodeRecord(stored, &readProperties_))
            return true;
        MakeImage(readProperties_, &readImage_);
        return take(oid, readImage_, static_cast<WORD>(readProperties_.size()));
    });
}

DWORD DatabaseHandle::Read(device::Volume& volume, DWORD flags, LPWORD count,
                           const CEPROPID* propids, LPBYTE* buffer, LPDWORD bufferSize,
                           CEOID* oid) {
    DWORD error = DecodeCurrent(volume);
    if (error != ERROR_SUCCESS)
        return error;
    std::vector<PropertyView>& properties = readProperties_;

    std::vector<ReadEntry>& entries = readEntries_;
    entries.clear();
    if (propids == nullptr) {
        for (const PropertyView& p : properties)
            entries.push_back({p.propid, &p});
    } else {
        for (WORD i = 0; i < *count; ++i) {
            ReadEntry entry{propids[i], nullptr};
            for (const PropertyView& p : properties) {
                if (p.propid == propids[i])
                    entry.view = &p;
            }
            entries.push_back(entry);
        }
    }
    std::size_t needed = ReadBufferSize(entries);
    if (needed > 0xFFFFFFFFu)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (flags & CEDB_ALLOWREALLOC) {
        if (*buffer == nullptr) {
            auto* block = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, needed));
            if (block == nullptr)
                return ERROR_NOT_ENOUGH_MEMORY;
            *buffer = block;
        } else if (LocalSize(*buffer) < needed) {
            auto* block = static_cast<LPBYTE>(LocalReAlloc(*buffer, needed, LMEM_MOVEABLE));
            if (block == nullptr)
                return ERROR_NOT_ENOUGH_MEMORY;  // the old block stays
            *buffer = block;
        }
    } else if (*bufferSize < needed || (*buffer == nullptr && needed > 0)) {
        *bufferSize = static_cast<DWORD>(needed);
        return ERROR_INSUFFICIENT_BUFFER;
    }
    FillReadBuffer(entries, *buffer);
    *bufferSize = static_cast<DWORD>(needed);
    *count = static_cast<WORD>(entries.size());
    *oid = pointer_.entry.oid;
    return MoveOnAfterRead(volume);
}

DWORD DatabaseHandle::Write(device::Volume& volume, CEOID oid, std::span<const CEPROPVAL> changes,
                            CEOID* written) {
    writeChanges_.resize(changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i) {
        DWORD error = ViewIncomingProperty(changes[i], &writeChanges_[i]);
        if (error != ERROR_SUCCESS)
            return error;
    }
    return WriteChanges(volume, oid, writeChanges_, written);
}

DWORD DatabaseHandle::WriteImage(device::Volume& volume, CEOID oid, std::span<const BYTE> image,
                                 WORD count, CEOID* written) {
    DWORD error = ViewImageProperties(image, count, &writeChanges_);
    if (error != ERROR_SUCCESS)
        return error;
    return WriteChanges(volume, oid, writeChanges_, written);
}

DWORD DatabaseHandle::WriteChanges(device::Volume& volume, CEOID oid,
                                   std::span<const PropertyChange> changes, CEOID* written) {
    if (StoreWriteMustFail())
        return ERROR_DISK_FULL;
    if (pointer_.state == State::Start) {
        DWORD error = Refresh(volume);
        if (error != ERROR_SUCCESS)
            return error;
    }
    OwnChange change;
    DWORD error = volume.WriteDeferring([&]() -> DWORD {
        // Inside a write batch the catalogue's count, size and change log
        // wait for the batch's commit, and identifiers come from a block.
        BatchedEffects* effects = volume.deferring() ? &BatchedEffects::Of(volume) : nullptr;
        std::vector<BYTE> stored;
        std::vector<PropertyView> record;
        std::int64_t oldSize = 0;
        CEOID target = oid;
        if (oid == 0) {
            DWORD e = effects != nullptr ? effects->TakeOid(volume, &target)
                                         : AllocateOid(volume, &target);
            if (e != ERROR_SUCCESS)
                return e;
        } else {
            DWORD e = LoadOwnRecord(volume, oid, &stored);
            if (e != ERROR_SUCCESS)
                return e;
            if (!DecodeRecord(stored, &record))
                return ERROR_BADDB;
            oldSize = static_cast<std::int64_t>(RelativeSize(record));
            change.oldKey = MakeSortKey(order_.rule(), record);
        }
        record.reserve(record.size() + changes.size());
        MergeProperties(record, changes);
        auto newSize = static_cast<std::int64_t>(RelativeSize(record));
        if (newSize > static_cast<std::int64_t>(CEDB_MAXRECORDSIZE)) {
            return ERROR_INVALID_PARAMETER;
        }
        int countDelta = oid == 0 ? 1 : 0;
        UINT message = oid == 0 ? DB_CEOID_CREATED : DB_CEOID_CHANGED;
        change.newKey = MakeSortKey(order_.rule(), record);
        change.stored = EncodeRecord(record);
        if (effects != nullptr) {
            DWORD e = effects->Prepare(volume, database_, countDelta);
            if (e != ERROR_SUCCESS)
                return e;
        }
        DWORD e = oid == 0 ? InsertRecord(volume, target, database_, change.stored)
                           : UpdateRecord(volume, target, change.stored);
        if (e != ERROR_SUCCESS)
            return e;
        if (effects != nullptr) {
            // Nothing from here on can fail: the statement is in.
            change.version = effects->Account(database_, countDelta, newSize - oldSize, target,
                                              message, origin_);
        } else {
            TouchResult touched;
            e = TouchDatabase(volume, database_, countDelta, newSize - oldSize, &touched);
            if (e != ERROR_SUCCESS)
                return e;
            if (touched.recordCount > static_cast<std::int64_t>(CEDB_MAXNUMRECORDS)) {
                return ERROR_DISK_FULL;
            }
            e = LogChange(volume, database_, target, message, origin_);
            if (e != ERROR_SUCCESS)
                return e;
            change.version = touched.version;
        }
        change.kind = oid == 0 ? OwnChange::Kind::Created : OwnChange::Kind::Changed;
        change.oid = target;
        return ERROR_SUCCESS;
    });
    if (error != ERROR_SUCCESS)
        return error;
    CountStoreWrite();
    Apply(change, volume.rollbacks());
    *written = change.oid;
    return ERROR_SUCCESS;
}

DWORD DatabaseHandle::Delete(device::Volume& volume, CEOID oid) {
    if (oid == 0)
        return ERROR_INVALID_PARAMETER;
    if (pointer_.state == State::Start) {
        DWORD error = Refresh(volume);
        if (error != ERROR_SUCCESS)
            return error;
    }
    OwnChange change;
    DWORD error = volume.WriteFreeing([&]() -> DWORD {
        std::vector<BYTE> stored;
        DWORD e = LoadOwnRecord(volume, oid, &stored);
        if (e != ERROR_SUCCESS)
            return e;
        // A damaged record goes too; what it counted for in the
        // database's size is then taken to be what it stored.
        std::vector<PropertyView> record;
        std::size_t size = DecodeRecord(stored, &record) ? RelativeSize(record) : stored.size();
        e = DeleteRecordRow(volume, oid);
        if (e != ERROR_SUCCESS)
            return e;
        TouchResult touched;
        e = TouchDatabase(volume, database_, -1, -static_cast<std::int64_t>(size), &touched);
        if (e != ERROR_SUCCESS)
            return e;
        e = LogChange(volume, database_, oid, DB_CEOID_RECORD_DELETED, origin_);
        if (e != ERROR_SUCCESS)
            return e;
        change.kind = OwnChange::Kind::Deleted;
        change.oid = oid;
        change.oldKey = StoredSortKey(stored);
        change.version = touched.version;
        return ERROR_SUCCESS;
    });
    if (error != ERROR_SUCCESS)
        return error;
    Apply(change, volume.rollbacks());
    return ERROR_SUCCESS;
}

}  // namespace ce::objectstore

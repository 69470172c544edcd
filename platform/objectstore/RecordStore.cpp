#include "platform/objectstore/RecordStore.h"

#include "platform/core/ErrorCodes.h"
#include "platform/objectstore/PropertyCodec.h"

namespace ce::objectstore {

DWORD LoadRecord(device::Volume& volume, CEOID oid, CEOID* database, std::vector<BYTE>* stored) {
    device::Query query = volume.Prepare("SELECT db, props FROM records WHERE oid = ?");
    query.Bind(1, oid);
    if (!query.Step()) {
        return query.error() != ERROR_SUCCESS ? query.error() : ERROR_FILE_NOT_FOUND;
    }
    *database = static_cast<CEOID>(query.Int(0));
    std::span<const BYTE> bytes = query.Blob(1);
    stored->assign(bytes.begin(), bytes.end());
    return ERROR_SUCCESS;
}

DWORD InsertRecord(device::Volume& volume, CEOID oid, CEOID database,
                   std::span<const BYTE> stored) {
    device::Query query = volume.Prepare("INSERT INTO records(oid, db, props) VALUES(?, ?, ?)");
    query.Bind(1, oid).Bind(2, database).BindBorrowedBlob(3, stored);
    return query.Run() ? ERROR_SUCCESS : query.error();
}

DWORD UpdateRecord(device::Volume& volume, CEOID oid, std::span<const BYTE> stored) {
    device::Query query = volume.Prepare("UPDATE records SET props = ? WHERE oid = ?");
    query.BindBorrowedBlob(1, stored).Bind(2, oid);
    return query.Run() ? ERROR_SUCCESS : query.error();
}

DWORD DeleteRecordRow(device::Volume& volume, CEOID oid) {
    device::Query query = volume.Prepare("DELETE FROM records WHERE oid = ?");
    query.Bind(1, oid);
    return query.Run() ? ERROR_SUCCESS : query.error();
}

DWORD ReadRecordsAfter(device::Volume& volume, CEOID database, CEOID after,
                       const std::function<bool(CEOID, std::span<const BYTE>)>& take) {
    device::Query query =
        volume.Prepare("SELECT oid, props FROM records WHERE db = ? AND oid > ? ORDER BY oid");
    query.Bind(1, database).Bind(2, after);
    while (query.Step()) {
        if (!take(static_cast<CEOID>(query.Int(0)), query.Blob(1)))
            return ERROR_SUCCESS;
    }
    return query.error();
}

DWORD LoadOrderEntries(device::Volume& volume, CEOID database, const OrderRule& rule,
                       bool withRecords, std::vector<OrderEntry>* entries) {
    entries->clear();
    if (!rule.sorted() && !withRecords) {
        device::Query query = volume.Prepare("SELECT oid FROM records WHERE db = ? ORDER BY oid");
        query.Bind(1, database);
        while (query.Step())
            entries->push_back({static_cast<CEOID>(query.Int(0)), {}, {}});
        return query.error();
    }
    device::Query query = volume.Prepare("SELECT oid, props FROM records WHERE db = ?");
    query.Bind(1, database);
    std::vector<PropertyView> properties;
    while (query.Step()) {
        std::span<const BYTE> stored = query.Blob(1);
        OrderEntry entry{static_cast<CEOID>(query.Int(0)), {}, {}};
        if (rule.sorted()) {
            // A damaged record takes the place of one without the property;
            // reading it then fails on its own.
            if (!DecodeRecord(stored, &properties))
                properties.clear();
            entry.key = MakeSortKey(rule, properties);
        }
        if (withRecords)
            entry.stored.assign(stored.begin(), stored.end());
        entries->push_back(std::move(entry));
    }
    return query.error();
}

}  // namespace ce::objectstore

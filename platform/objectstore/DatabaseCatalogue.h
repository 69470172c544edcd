#pragma once
// The volume's databases table: names, types, sort orders, record counts,
// sizes and modification times, and the identifiers shared by databases and
// records.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"

namespace ce::objectstore {

struct DatabaseRow {
    CEOID oid = 0;
    std::u16string name;
    DWORD type = 0;
    std::vector<SORTORDERSPEC> sortOrders;
    // The stored sort orders cannot be read: the database is described and
    // walked without them, and they are kept as they are until replaced.
    bool sortOrdersDamaged = false;
    DWORD recordCount = 0;
    std::uint64_t size = 0;      // bytes, in the relative record form
    std::uint64_t modified = 0;  // FILETIME
    std::int64_t version = 0;    // changes with every change of the database
};

// A name as stored: cut to 31 units, or to 30 where the 31st would be the
// first half of a surrogate pair. ERROR_INVALID_PARAMETER when empty.
DWORD NormalizeDatabaseName(LPCWSTR name, std::u16string* normalized);
// Checks sort orders for creation or a change: at most 4, none on a blob or
// on a property type the store does not know.
DWORD CheckSortOrders(WORD count, const SORTORDERSPEC* orders);
// Reads the stored form of sort orders; false when it is not one that
// CheckSortOrders would let through.
bool DecodeSortOrders(std::span<const BYTE> bytes, std::vector<SORTORDERSPEC>* orders);

// A fresh identifier, never used before in the volume (ERROR_DISK_FULL when
// they run out). Runs inside the caller's write transaction.
DWORD AllocateOid(device::Volume& volume, CEOID* oid);

// ERROR_FILE_NOT_FOUND when there is no such database.
DWORD LoadDatabase(device::Volume& volume, CEOID oid, DatabaseRow* row);
DWORD FindDatabaseByName(device::Volume& volume, std::u16string_view name, CEOID* oid);
// The same from a copy of the databases table kept while the volume does not
// change; for calls outside write transactions.
DWORD LoadDatabaseCached(device::Volume& volume, CEOID oid, DatabaseRow* row);
DWORD FindDatabaseByNameCached(device::Volume& volume, std::u16string_view name, CEOID* oid);
// The database a record belongs to; ERROR_FILE_NOT_FOUND for no record.
DWORD FindRecordParent(device::Volume& volume, CEOID record, CEOID* parent);

// Inside a write transaction. ERROR_DUP_NAME when the name is taken. An
// update keeps damaged sort orders as stored.
DWORD InsertDatabase(device::Volume& volume, const DatabaseRow& row);
DWORD UpdateDatabaseInfo(device::Volume& volume, const DatabaseRow& row);
DWORD DeleteDatabaseRows(device::Volume& volume, CEOID oid);
// Accounts for a record written or deleted: count and size change by the
// deltas, the modification time becomes now, the version moves on.
struct TouchResult {
    std::int64_t version = 0;
    std::int64_t recordCount = 0;
};
DWORD TouchDatabase(device::Volume& volume, CEOID oid, int countDelta, std::int64_t sizeDelta,
                    TouchResult* result);

// Databases after `after` in creation order, of type `type` (0: any).
DWORD NextDatabase(device::Volume& volume, CEOID after, DWORD type, CEOID* next);

std::uint64_t NowFileTime();

// The form of a name that uniqueness is decided on (the name_key column).
std::u16string NameKey(std::u16string_view name);

}  // namespace ce::objectstore

#pragma once
// The volume's records table.

#include <functional>
#include <vector>

#include "platform/core/Types.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/SortOrder.h"

namespace ce::objectstore {

// A record's stored bytes and its database; ERROR_FILE_NOT_FOUND when the
// volume has no such record.
DWORD LoadRecord(device::Volume& volume, CEOID oid, CEOID* database, std::vector<BYTE>* stored);

// Inside a write transaction.
DWORD InsertRecord(device::Volume& volume, CEOID oid, CEOID database, std::span<const BYTE> stored);
DWORD UpdateRecord(device::Volume& volume, CEOID oid, std::span<const BYTE> stored);
DWORD DeleteRecordRow(device::Volume& volume, CEOID oid);

// The records of a database after record `after` (0: from its first), in
// identifier order, each handed to `take` with its stored bytes until
// `take` returns false. One statement reads them all, so that a walk of the
// database costs one pass over its rows.
DWORD ReadRecordsAfter(device::Volume& volume, CEOID database, CEOID after,
                       const std::function<bool(CEOID, std::span<const BYTE>)>& take);

// Every record of a database with its key in `rule` (unsorted), and its
// stored bytes when `withRecords`.
DWORD LoadOrderEntries(device::Volume& volume, CEOID database, const OrderRule& rule,
                       bool withRecords, std::vector<OrderEntry>* entries);

}  // namespace ce::objectstore

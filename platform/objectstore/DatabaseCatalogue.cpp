#include "platform/objectstore/DatabaseCatalogue.h"

#include <unordered_map>

#include "platform/core/Bytes.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/objectstore/BatchedEffects.h"
#include "platform/objectstore/HandleLocks.h"
#include "platform/objectstore/PropertyCodec.h"
#include "platform/time/Time.h"

namespace ce::objectstore {
namespace {

constexpr DWORD kMaxNameUnits = CEDB_MAXDBASENAMELEN - 1;

std::vector<BYTE> EncodeSortOrders(const std::vector<SORTORDERSPEC>& orders) {
    ByteWriter writer(orders.size() * 8);
    for (const SORTORDERSPEC& s : orders) {
        writer.U32(s.propid);
        writer.U32(s.dwFlags);
    }
    return writer.Take();
}

DWORD ReadRow(device::Query& query, DatabaseRow* row) {
    row->oid = static_cast<CEOID>(query.Int(0));
    row->name = query.Text16(1);
    row->type = static_cast<DWORD>(query.Int(2));
    row->sortOrdersDamaged = !DecodeSortOrders(query.Blob(3), &row->sortOrders);
    if (row->sortOrdersDamaged)
        row->sortOrders.clear();
    row->recordCount = static_cast<DWORD>(query.Int(4));
    row->size = static_cast<std::uint64_t>(query.Int(5));
    row->modified = static_cast<std::uint64_t>(query.Int(6));
    row->version = query.Int(7);
    return ERROR_SUCCESS;
}

DWORD StepError(const device::Query& query, DWORD notFound) {
    return query.error() != ERROR_SUCCESS ? query.error() : notFound;
}

// Databases looked up since the volume last changed.
struct CatalogueCache {
    std::uint64_t serial = 0;
    std::uint64_t stamp = 0;
    std::unordered_map<CEOID, DatabaseRow> rows;
    std::unordered_map<std::u16string, CEOID> names;  // by NameKey
};

CatalogueCache& Cache(device::Volume& volume) {
    static auto* cache = new CatalogueCache;
    std::uint64_t stamp = volume.ChangeStamp();
    if (cache->serial != volume.serial() || cache->stamp != stamp) {
        cache->rows.clear();
        cache->names.clear();
        cache->serial = volume.serial();
        cache->stamp = stamp;
    }
    return *cache;
}

}  // namespace

DWORD LoadDatabaseCached(device::Volume& volume, CEOID oid, DatabaseRow* row) {
    CatalogueCache& cache = Cache(volume);
    auto it = cache.rows.find(oid);
    if (it != cache.rows.end()) {
        *row = it->second;
        return ERROR_SUCCESS;
    }
    DWORD error = LoadDatabase(volume, oid, row);
    if (error == ERROR_SUCCESS)
        cache.rows.emplace(oid, *row);
    return error;
}

DWORD FindDatabaseByNameCached(device::Volume& volume, std::u16string_view name, CEOID* oid) {
    CatalogueCache& cache = Cache(volume);
    std::u16string key = NameKey(name);
    auto it = cache.names.find(key);
    if (it != cache.names.end()) {
        *oid = it->second;
        return ERROR_SUCCESS;
    }
    DWORD error = FindDatabaseByName(volume, name, oid);
    if (error == ERROR_SUCCESS)
        cache.names.emplace(std::move(key), *oid);
    return error;
}

std::uint64_t NowFileTime() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return FileTimeToU64(now);
}

std::u16string NameKey(std::u16string_view name) {
    return ToLowerWide(name);
}

DWORD NormalizeDatabaseName(LPCWSTR name, std::u16string* normalized) {
    if (name == nullptr)
        return ERROR_INVALID_PARAMETER;
    // A longer name is cut, on a character boundary.
    std::size_t units = CutOnCharacter(WideView(name, kMaxNameUnits + 1), kMaxNameUnits);
    if (units == 0)
        return ERROR_INVALID_PARAMETER;
    normalized->assign(name, units);
    return ERROR_SUCCESS;
}

DWORD CheckSortOrders(WORD count, const SORTORDERSPEC* orders) {
    if (count > CEDB_MAXSORTORDER)
        return ERROR_INVALID_PARAMETER;
    if (count > 0 && orders == nullptr)
        return ERROR_INVALID_PARAMETER;
    for (WORD i = 0; i < count; ++i) {
        WORD type = TypeFromPropID(orders[i].propid);
        if (!IsValidPropertyType(type) || type == CEVT_BLOB)
            return ERROR_INVALID_PARAMETER;
    }
    return ERROR_SUCCESS;
}

bool DecodeSortOrders(std::span<const BYTE> bytes, std::vector<SORTORDERSPEC>* orders) {
    if (bytes.size() % 8 != 0 || bytes.size() > 8 * CEDB_MAXSORTORDER)
        return false;
    ByteReader reader(bytes);
    orders->clear();
    while (!reader.AtEnd()) {
        SORTORDERSPEC s{};
        reader.U32(s.propid);
        reader.U32(s.dwFlags);
        orders->push_back(s);
    }
    return CheckSortOrders(static_cast<WORD>(orders->size()), orders->data()) == ERROR_SUCCESS;
}

DWORD AllocateOid(device::Volume& volume, CEOID* oid) {
    device::Query query = volume.Prepare(
        "UPDATE volume_counters SET value = value + 1 WHERE name = 'next_oid' "
        "RETURNING value - 1");
    if (!query.Step())
        return StepError(query, ERROR_BADDB);
    std::int64_t value = query.Int(0);
    if (value <= 0 || value > kMaxLockableOid)
        return ERROR_DISK_FULL;
    *oid = static_cast<CEOID>(value);
    return ERROR_SUCCESS;
}

DWORD LoadDatabase(device::Volume& volume, CEOID oid, DatabaseRow* row) {
    device::Query query = volume.Prepare(
        "SELECT oid, name, type, sort_orders, record_count, size, modified, version "
        "FROM databases WHERE oid = ?");
    query.Bind(1, oid);
    if (!query.Step())
        return StepError(query, ERROR_FILE_NOT_FOUND);
    DWORD error = ReadRow(query, row);
    if (const BatchedEffects* waiting = BatchedEffects::Waiting(volume))
        waiting->Overlay(row);
    return error;
}

DWORD FindDatabaseByName(device::Volume& volume, std::u16string_view name, CEOID* oid) {
    device::Query query = volume.Prepare("SELECT oid FROM databases WHERE name_key = ?");
    query.BindText16(1, NameKey(name));
    if (!query.Step())
        return StepError(query, ERROR_FILE_NOT_FOUND);
    *oid = static_cast<CEOID>(query.Int(0));
    return ERROR_SUCCESS;
}

DWORD FindRecordParent(device::Volume& volume, CEOID record, CEOID* parent) {
    device::Query query = volume.Prepare("SELECT db FROM records WHERE oid = ?");
    query.Bind(1, record);
    if (!query.Step())
        return StepError(query, ERROR_FILE_NOT_FOUND);
    *parent = static_cast<CEOID>(query.Int(0));
    return ERROR_SUCCESS;
}

DWORD InsertDatabase(device::Volume& volume, const DatabaseRow& row) {
    CEOID existing = 0;
    DWORD error = FindDatabaseByName(volume, row.name, &existing);
    if (error == ERROR_SUCCESS)
        return ERROR_DUP_NAME;
    if (error != ERROR_FILE_NOT_FOUND)
        return error;
    std::vector<BYTE> sorts = EncodeSortOrders(row.sortOrders);
    device::Query query = volume.Prepare(
        "INSERT INTO databases(oid, name, name_key, type, sort_orders, modified) "
        "VALUES(?, ?, ?, ?, ?, ?)");
    query.Bind(1, row.oid)
        .BindText16(2, row.name)
        .BindText16(3, NameKey(row.name))
        .Bind(4, row.type)
        .BindBlob(5, sorts)
        .Bind(6, static_cast<std::int64_t>(row.modified));
    return query.Run() ? ERROR_SUCCESS : query.error();
}

DWORD UpdateDatabaseInfo(device::Volume& volume, const DatabaseRow& row) {
    CEOID existing = 0;
    DWORD error = FindDatabaseByName(volume, row.name, &existing);
    if (error == ERROR_SUCCESS && existing != row.oid)
        return ERROR_DUP_NAME;
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        return error;
    std::vector<BYTE> sorts = EncodeSortOrders(row.sortOrders);
    device::Query query = volume.Prepare(
        "UPDATE databases SET name = ?, name_key = ?, type = ?, "
        "sort_orders = coalesce(?, sort_orders), modified = ?, version = version + 1 "
        "WHERE oid = ?");
    query.BindText16(1, row.name).BindText16(2, NameKey(row.name)).Bind(3, row.type);
    if (row.sortOrdersDamaged)
        query.BindNull(4);
    else
        query.BindBlob(4, sorts);
    query.Bind(5, static_cast<std::int64_t>(row.modified)).Bind(6, row.oid);
    return query.Run() ? ERROR_SUCCESS : query.error();
}

DWORD DeleteDatabaseRows(device::Volume& volume, CEOID oid) {
    device::Query records = volume.Prepare("DELETE FROM records WHERE db = ?");
    records.Bind(1, oid);
    if (!records.Run())
        return records.error();
    device::Query database = volume.Prepare("DELETE FROM databases WHERE oid = ?");
    database.Bind(1, oid);
    return database.Run() ? ERROR_SUCCESS : database.error();
}

DWORD TouchDatabase(device::Volume& volume, CEOID oid, int countDelta, std::int64_t sizeDelta,
                    TouchResult* result) {
    device::Query query = volume.Prepare(
        "UPDATE databases SET record_count = record_count + ?, size = max(0, size + ?), "
        "modified = ?, "
        "version = version + 1 WHERE oid = ? RETURNING version, record_count");
    query.Bind(1, countDelta)
        .Bind(2, sizeDelta)
        .Bind(3, static_cast<std::int64_t>(NowFileTime()))
        .Bind(4, oid);
    if (!query.Step())
        return StepError(query, ERROR_INVALID_HANDLE);
    result->version = query.Int(0);
    result->recordCount = query.Int(1);
    return query.Run() ? ERROR_SUCCESS : query.error();
}

DWORD NextDatabase(device::Volume& volume, CEOID after, DWORD type, CEOID* next) {
    device::Query query = volume.Prepare(
        "SELECT oid FROM databases WHERE oid > ? AND (? = 0 OR type = ?) ORDER BY oid LIMIT 1");
    query.Bind(1, after).Bind(2, type).Bind(3, type);
    if (!query.Step())
        return StepError(query, ERROR_NO_MORE_ITEMS);
    *next = static_cast<CEOID>(query.Int(0));
    return ERROR_SUCCESS;
}

}  // namespace ce::objectstore

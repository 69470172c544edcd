// The object store's calls: argument checks and the error convention around
// the catalogue (DatabaseCatalogue), the open handles (DatabaseHandle) and
// the locks that mark databases in use (HandleLocks).

#include "platform/objectstore/ObjectStore.h"

#include <algorithm>
#include <memory>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/DatabaseCatalogue.h"
#include "platform/objectstore/DatabaseHandle.h"
#include "platform/objectstore/HandleLocks.h"
#include "platform/objectstore/Notifications.h"
#include "platform/objectstore/StoreWriteHook.h"
#include "platform/time/Time.h"

namespace ce {
namespace {

using device::Volume;
using objectstore::DatabaseHandle;
using objectstore::DatabaseRow;

class DatabaseEnumeration : public KernelObject {
public:
    DatabaseEnumeration(DWORD type, std::uint64_t volumeSerial)
        : type(type), volumeSerial(volumeSerial) {}
    DWORD type;
    std::uint64_t volumeSerial;
    CEOID last = 0;
};

// Sets the last error when `error` is one; true on success.
bool Succeeded(DWORD error) {
    if (error == ERROR_SUCCESS)
        return true;
    SetLastError(error);
    return false;
}

template <class Work>
DWORD WithDatabaseHandle(HANDLE h, Work work) {
    auto* handle = LookupHandleAs<DatabaseHandle>(h);
    if (handle == nullptr)
        return ERROR_INVALID_PARAMETER;
    return device::AccessVolume([&](Volume& volume) -> DWORD {
        if (volume.serial() != handle->volumeSerial())
            return ERROR_INVALID_HANDLE;
        return work(*handle, volume);
    });
}

void FillDatabaseInfo(const DatabaseRow& row, CEDBASEINFO* info) {
    *info = CEDBASEINFO{};
    info->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDMODTIME |
                    (row.sortOrdersDamaged ? 0 : CEDB_VALIDSORTSPEC);
    CopyWide(info->szDbaseName, row.name);
    info->dwDbaseType = row.type;
    info->wNumRecords = static_cast<WORD>(std::min<DWORD>(row.recordCount, 0xFFFF));
    info->wNumSortOrder = static_cast<WORD>(row.sortOrders.size());
    info->dwSize = static_cast<DWORD>(std::min<std::uint64_t>(row.size, 0xFFFFFFFF));
    info->ftLastModified = U64ToFileTime(row.modified);
    for (std::size_t i = 0; i < row.sortOrders.size() && i < CEDB_MAXSORTORDER; ++i) {
        info->rgSortSpecs[i] = row.sortOrders[i];
    }
}

// The propids of `before` that `after` no longer has.
std::vector<CEPROPID> RemovedSortOrders(const std::vector<SORTORDERSPEC>& before,
                                        const std::vector<SORTORDERSPEC>& after) {
    std::vector<CEPROPID> removed;
    for (const SORTORDERSPEC& old : before) {
        bool kept = std::any_of(after.begin(), after.end(),
                                [&](const SORTORDERSPEC& s) { return s.propid == old.propid; });
        if (!kept)
            removed.push_back(old.propid);
    }
    return removed;
}

}  // namespace

HANDLE CeFindFirstDatabase(DWORD dwDbaseType) {
    std::uint64_t serial = 0;
    DWORD error = device::AccessVolume([&](Volume& volume) -> DWORD {
        serial = volume.serial();
        return ERROR_SUCCESS;
    });
    if (!Succeeded(error))
        return INVALID_HANDLE_VALUE;
    return InsertHandle(std::make_unique<DatabaseEnumeration>(dwDbaseType, serial));
}

CEOID CeFindNextDatabase(HANDLE hEnum) {
    auto* enumeration = LookupHandleAs<DatabaseEnumeration>(hEnum);
    if (enumeration == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CEOID next = 0;
    DWORD error = device::AccessVolume([&](Volume& volume) -> DWORD {
        if (volume.serial() != enumeration->volumeSerial)
            return ERROR_INVALID_HANDLE;
        return objectstore::NextDatabase(volume, enumeration->last, enumeration->type, &next);
    });
    if (!Succeeded(error))
        return 0;
    enumeration->last = next;
    return next;
}

BOOL CeOidGetInfo(CEOID oid, CEOIDINFO* info) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD error = device::AccessVolume([&](Volume& volume) -> DWORD {
        if (oid == 0)
            return ERROR_INVALID_HANDLE;
        DatabaseRow row;
        DWORD e = objectstore::LoadDatabaseCached(volume, oid, &row);
        if (e == ERROR_SUCCESS) {
            *info = CEOIDINFO{};
            info->wObjType = OBJTYPE_DATABASE;
            FillDatabaseInfo(row, &info->infDatabase);
            return ERROR_SUCCESS;
        }
        if (e != ERROR_FILE_NOT_FOUND)
            return e;
        CEOID parent = 0;
        e = objectstore::FindRecordParent(volume, oid, &parent);
        if (e == ERROR_FILE_NOT_FOUND)
            return ERROR_INVALID_HANDLE;
        if (e != ERROR_SUCCESS)
            return e;
        *info = CEOIDINFO{};
        info->wObjType = OBJTYPE_RECORD;
        info->infRecord.oidParent = parent;
        return ERROR_SUCCESS;
    });
    return Succeeded(error) ? TRUE : FALSE;
}

HANDLE CeOpenDatabase(PCEOID poid, LPCWSTR lpszName, CEPROPID propid, DWORD dwFlags,
                      HWND hwndNotify) {
    if (poid == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::unique_ptr<DatabaseHandle> handle;
    CEOID oid = *poid;
    DWORD error = device::AccessVolume([&](Volume& volume) -> DWORD {
        if (oid == 0) {
            std::u16string name;
            DWORD e = objectstore::NormalizeDatabaseName(lpszName, &name);
            if (e != ERROR_SUCCESS)
                return e;
            e = objectstore::FindDatabaseByNameCached(volume, name, &oid);
            if (e != ERROR_SUCCESS)
                return e;
        }
        // Mark the database in use first, then check that it still exists
        // and has the sort order: a deletion holds the mark while it works.
        objectstore::HandleLock lock;
        DWORD e = lock.Acquire(oid, propid);
        if (e != ERROR_SUCCESS)
            return e == ERROR_INVALID_PARAMETER ? ERROR_FILE_NOT_FOUND : e;
        // A deletion that let go of the byte has committed: the cache has
        // seen the change by then.
        DatabaseRow row;
        e = objectstore::LoadDatabaseCached(volume, oid, &row);
        if (e != ERROR_SUCCESS)
            return e;
        objectstore::OrderRule rule;
        if (propid != 0 && row.sortOrdersDamaged)
            return ERROR_BADDB;
        if (propid != 0) {
            auto it = std::find_if(row.sortOrders.begin(), row.sortOrders.end(),
                                   [&](const SORTORDERSPEC& s) { return s.propid == propid; });
            if (it == row.sortOrders.end())
                return ERROR_INVALID_PARAMETER;
            rule = {it->propid, it->dwFlags};
        }
        handle =
            std::make_unique<DatabaseHandle>(oid, rule, dwFlags, std::move(lock), volume.serial());
        if (row.recordCount == 0)
            handle->StartEmpty();
        if (hwndNotify != nullptr) {
            std::int64_t lastChange = 0;
            e = objectstore::LastChange(volume, &lastChange);
            if (e != ERROR_SUCCESS)
                return e;
            handle->Notify(hwndNotify, lastChange);
        }
        return ERROR_SUCCESS;
    });
    if (!Succeeded(error))
        return INVALID_HANDLE_VALUE;
    *poid = oid;
    return InsertHandle(std::move(handle));
}

CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD dwValue, LPDWORD lpdwIndex) {
    CEOID oid = 0;
    DWORD error = WithDatabaseHandle(hDatabase, [&](DatabaseHandle& handle, Volume& volume) {
        return handle.Seek(volume, dwSeekType, dwValue, &oid, lpdwIndex);
    });
    return Succeeded(error) ? oid : 0;
}

CEOID CeReadRecordProps(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID,
                        LPBYTE* lplpBuffer, LPDWORD lpcbBuffer) {
    if (lpcPropID == nullptr || lplpBuffer == nullptr || lpcbBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CEOID oid = 0;
    DWORD error = WithDatabaseHandle(hDbase, [&](DatabaseHandle& handle, Volume& volume) {
        return handle.Read(volume, dwFlags, lpcPropID, rgPropID, lplpBuffer, lpcbBuffer, &oid);
    });
    return Succeeded(error) ? oid : 0;
}

CEOID CeReadRecordImage(HANDLE hDbase, std::vector<BYTE>* image, LPWORD lpcPropID) {
    if (image == nullptr || lpcPropID == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CEOID oid = 0;
    DWORD error = WithDatabaseHandle(hDbase, [&](DatabaseHandle& handle, Volume& volume) {
        return handle.ReadImage(volume, image, lpcPropID, &oid);
    });
    return Succeeded(error) ? oid : 0;
}

BOOL CeReadRecordImages(HANDLE hDbase, CEOID oidAfter, const RecordImageSink& take) {
    DWORD error = WithDatabaseHandle(hDbase, [&](DatabaseHandle& handle, Volume& volume) {
        return handle.ReadImagesAfter(volume, oidAfter, take);
    });
    return Succeeded(error) ? TRUE : FALSE;
}

CEOID CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal) {
    if (rgPropVal == nullptr && cPropID != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CEOID written = 0;
    DWORD error = WithDatabaseHandle(hDbase, [&](DatabaseHandle& handle, Volume& volume) {
        std::span<const CEPROPVAL> changes;
        if (cPropID != 0)
            changes = std::span<const CEPROPVAL>(rgPropVal, cPropID);
        return handle.Write(volume, oidRecord, changes, &written);
    });
    return Succeeded(error) ? written : 0;
}

CEOID CeWriteRecordImage(HANDLE hDbase, CEOID oidRecord, std::span<const BYTE> image,
                         WORD cPropID) {
    CEOID written = 0;
    DWORD error = WithDatabaseHandle(hDbase, [&](DatabaseHandle& handle, Volume& volume) {
        return handle.WriteImage(volume, oidRecord, image, cPropID, &written);
    });
    return Succeeded(error) ? written : 0;
}

BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord) {
    DWORD error = WithDatabaseHandle(hDatabase, [&](DatabaseHandle& handle, Volume& volume) {
        return handle.Delete(volume, oidRecord);
    });
    return Succeeded(error) ? TRUE : FALSE;
}

CEOID CeCreateDatabase(LPCWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder,
                       SORTORDERSPEC* rgSortSpecs) {
    DatabaseRow row;
    DWORD error = objectstore::NormalizeDatabaseName(lpszName, &row.name);
    if (error == ERROR_SUCCESS)
        error = objectstore::CheckSortOrders(wNumSortOrder, rgSortSpecs);
    if (error == ERROR_SUCCESS && objectstore::StoreWriteMustFail())
        error = ERROR_DISK_FULL;
    if (!Succeeded(error))
        return 0;
    row.type = dwDbaseType;
    row.sortOrders.assign(rgSortSpecs, rgSortSpecs + wNumSortOrder);
    row.modified = objectstore::NowFileTime();
    error = device::AccessVolume([&](Volume& volume) -> DWORD {
        return volume.Write([&]() -> DWORD {
            DWORD e = objectstore::AllocateOid(volume, &row.oid);
            if (e != ERROR_SUCCESS)
                return e;
            return objectstore::InsertDatabase(volume, row);
        });
    });
    if (!Succeeded(error))
        return 0;
    objectstore::CountStoreWrite();
    return row.oid;
}

BOOL CeSetDatabaseInfo(CEOID oidDbase, CEDBASEINFO* pNewInfo) {
    if (pNewInfo == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const CEDBASEINFO info = *pNewInfo;
    std::u16string name;
    DWORD error = ERROR_SUCCESS;
    if (info.dwFlags & CEDB_VALIDNAME) {
        error = objectstore::NormalizeDatabaseName(info.szDbaseName, &name);
    }
    if (error == ERROR_SUCCESS && (info.dwFlags & CEDB_VALIDSORTSPEC)) {
        error = objectstore::CheckSortOrders(info.wNumSortOrder, info.rgSortSpecs);
    }
    if (error == ERROR_SUCCESS && objectstore::StoreWriteMustFail())
        error = ERROR_DISK_FULL;
    if (!Succeeded(error))
        return FALSE;
    objectstore::LockFile lock;  // holds removed sort orders until the change is made
    error = device::AccessVolume([&](Volume& volume) -> DWORD {
        DWORD written = volume.Write([&]() -> DWORD {
            DatabaseRow row;
            DWORD e = objectstore::LoadDatabase(volume, oidDbase, &row);
            if (e == ERROR_FILE_NOT_FOUND)
                return ERROR_INVALID_PARAMETER;
            if (e != ERROR_SUCCESS)
                return e;
            if (info.dwFlags & CEDB_VALIDNAME)
                row.name = name;
            if (info.dwFlags & CEDB_VALIDTYPE)
                row.type = info.dwDbaseType;
            if (info.dwFlags & CEDB_VALIDSORTSPEC) {
                std::vector<SORTORDERSPEC> sorts(info.rgSortSpecs,
                                                 info.rgSortSpecs + info.wNumSortOrder);
                std::vector<CEPROPID> removed = RemovedSortOrders(row.sortOrders, sorts);
                if (!removed.empty()) {
                    e = lock.Open();
                    if (e == ERROR_SUCCESS)
                        e = lock.LockSortOrdersExclusive(oidDbase, removed);
                    if (e != ERROR_SUCCESS)
                        return e;
                }
                row.sortOrders = std::move(sorts);
                row.sortOrdersDamaged = false;
            }
            row.modified = (info.dwFlags & CEDB_VALIDMODTIME) ? FileTimeToU64(info.ftLastModified)
                                                              : objectstore::NowFileTime();
            return objectstore::UpdateDatabaseInfo(volume, row);
        });
        // Inside a write batch too, the change is committed before the lock
        // on the removed sort orders goes.
        if (written == ERROR_SUCCESS && volume.inWriteBatch())
            written = volume.CommitWriteBatch();
        return written;
    });
    if (!Succeeded(error))
        return FALSE;
    objectstore::CountStoreWrite();
    return TRUE;
}

BOOL CeDeleteDatabase(CEOID oidDbase) {
    objectstore::LockFile lock;  // held exclusively while the database goes
    DWORD error = device::AccessVolume([&](Volume& volume) -> DWORD {
        DatabaseRow row;
        DWORD e = oidDbase == 0 ? ERROR_FILE_NOT_FOUND
                                : objectstore::LoadDatabase(volume, oidDbase, &row);
        if (e == ERROR_FILE_NOT_FOUND)
            return ERROR_INVALID_PARAMETER;
        if (e != ERROR_SUCCESS)
            return e;
        e = lock.Open();
        if (e == ERROR_SUCCESS)
            e = lock.LockDatabaseExclusive(oidDbase);
        if (e != ERROR_SUCCESS)
            return e;
        return volume.WriteFreeing(
            [&]() { return objectstore::DeleteDatabaseRows(volume, oidDbase); });
    });
    return Succeeded(error) ? TRUE : FALSE;
}

}  // namespace ce

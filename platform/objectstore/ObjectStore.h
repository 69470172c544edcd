#pragma once
// The object store's database calls, with the platform's names and meaning.
// Every call that fails leaves the platform's error code in GetLastError.
//
// The store lives in the device's volume (SQLite, see Volume.h). Several
// processes may use one volume at once.

#include <functional>
#include <span>
#include <vector>

#include "platform/core/Handles.h"
#include "platform/core/MessageSources.h"
#include "platform/core/Types.h"

namespace ce {

// Enumerates databases: type 0 means all of them. Close with CloseHandle.
HANDLE CeFindFirstDatabase(DWORD dwDbaseType);
// The next database, or 0 with ERROR_NO_MORE_ITEMS at the end.
CEOID CeFindNextDatabase(HANDLE hEnum);

// Describes a database (wObjType OBJTYPE_DATABASE and infDatabase filled) or a
// record (OBJTYPE_RECORD, infRecord.oidParent). ERROR_INVALID_HANDLE for an
// unknown identifier. A database whose stored sort orders are damaged is
// described without CEDB_VALIDSORTSPEC in dwFlags and with no sort orders;
// it opens in creation order only (a sort property gives ERROR_BADDB), can
// be deleted, and gets sort orders again from CeSetDatabaseInfo.
BOOL CeOidGetInfo(CEOID oid, CEOIDINFO* info);

// Opens by identifier when *poid is nonzero, else by name (writing the
// identifier back). `propid` picks the sort order the handle walks (0: the
// records' creation order). With a notification window, DB_CEOID_* messages
// are posted to it for changes made through other handles.
HANDLE CeOpenDatabase(PCEOID poid, LPCWSTR lpszName, CEPROPID propid, DWORD dwFlags,
                      HWND hwndNotify);

// Moves the handle's current record; returns its identifier and writes its
// 0-based index in the handle's order. A seek past either end returns 0 with
// ERROR_NO_MORE_ITEMS and leaves the pointer where it was.
CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD dwValue, LPDWORD lpdwIndex);

// Reads the current record. With rgPropID null every property is returned
// and *lpcPropID receives their number. The buffer holds a CEPROPVAL array
// followed by the texts and bytes they point to; with CEDB_ALLOWREALLOC it
// is a local-heap block that the call allocates (when *lplpBuffer is null)
// or grows, and the caller frees with LocalFree.
CEOID CeReadRecordProps(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID,
                        LPBYTE* lplpBuffer, LPDWORD lpcbBuffer);

// This platform's own addition: reads every property of the current record
// as CeReadRecordProps does, straight into the record's relative image (the
// form archives and the infrared link carry), with *lpcPropID their number.
// It spares a caller that wants the image the CEPROPVAL array in between.
CEOID CeReadRecordImage(HANDLE hDbase, std::vector<BYTE>* image, LPWORD lpcPropID);

// Takes one record of CeReadRecordImages: its identifier, its image and its
// number of properties. Returns false to stop the read after it.
using RecordImageSink = std::function<bool(CEOID oid, std::span<const BYTE> image, WORD count)>;

// This platform's own addition: reads the records after record oidAfter (0:
// from the first) in identifier order, the order of a handle opened without
// a sort order, each as CeReadRecordImage reads it, handing them to `take`
// until it says stop or the database ends. A record that cannot be decoded
// is passed over. The seek pointer stays where it was. The records are read
// in one pass over the volume, so a walk of a whole database costs far less
// than a seek and a read for each; `take` runs inside the object store and
// must not call into it.
BOOL CeReadRecordImages(HANDLE hDbase, CEOID oidAfter, const RecordImageSink& take);

// Writes properties into a record (oidRecord 0 creates one): a property
// already in the record is replaced, a new one added, one flagged
// CEDB_PROPDELETE removed. Returns the record's identifier.
CEOID CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal);

// This platform's own addition: writes the cPropID properties of a record's
// relative image (as CeReadRecordImage reads it) as CeWriteRecordProps
// writes them, sparing the caller the CEPROPVAL array in between. An image
// whose entries, texts or blobs do not lie inside it, or that
// CeWriteRecordProps would refuse as properties, fails with
// ERROR_INVALID_PARAMETER.
CEOID CeWriteRecordImage(HANDLE hDbase, CEOID oidRecord, std::span<const BYTE> image, WORD cPropID);

// A record whose stored form is damaged (reads fail with ERROR_BADDB) can
// still be deleted.
BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord);

CEOID CeCreateDatabase(LPCWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder,
                       SORTORDERSPEC* rgSortSpecs);

// Applies the fields of `pNewInfo` marked valid in its dwFlags.
BOOL CeSetDatabaseInfo(CEOID oidDbase, CEDBASEINFO* pNewInfo);

// Deletes a database and its records; ERROR_SHARING_VIOLATION while any
// handle, in this or another process, has it open.
BOOL CeDeleteDatabase(CEOID oidDbase);

// ---- Change notifications ------------------------------------------------

struct DatabaseNotification {
    HWND window;
    UINT message;  // DB_CEOID_CREATED, DB_CEOID_CHANGED, DB_CEOID_RECORD_DELETED, ...
    CEOID object;  // wParam: the record concerned
    CEOID parent;  // lParam: its database
};

// Collects the notifications due to this process's notified handles for
// changes made through other handles since the last call; cheap when
// nothing changed.
std::vector<DatabaseNotification> TakeDatabaseNotifications();
// Posts what TakeDatabaseNotifications collects. Opening the first handle
// with a notification window adds this as a message source
// (platform/core/MessageSources.h), which the window system's message loop
// asks between its waits.
void PostDatabaseNotifications(PostToWindow post);

// ---- Test hook -------------------------------------------------------------

// Makes object-store writes that store data (CeCreateDatabase,
// CeWriteRecordProps, CeSetDatabaseInfo) fail with ERROR_DISK_FULL, changing
// nothing, once `writes` more of them have succeeded; a negative count lifts
// the limit. Deletions are never refused. On first use the count is read from
// $TESSALY_FAIL_STORE_WRITES_AFTER when that is set.
void FailStoreWritesAfter(int writes);

}  // namespace ce

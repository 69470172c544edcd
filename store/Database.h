#pragma once
// One open object-store database, and the uniform way every part of the
// program reports a failed platform call about it.

#include <span>
#include <vector>

#include "appcore/ScopedValue.h"
#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"
#include "platform/objectstore/ObjectStore.h"

namespace store {

using ce::BYTE;
using ce::CEDBASEINFO;
using ce::CEOID;
using ce::CEPROPID;
using ce::CEPROPVAL;
using ce::DWORD;
using ce::HANDLE;
using ce::HWND;
using ce::UINT;
using ce::WCHAR;
using ce::WORD;

// The buffer of one record: the platform allocates and grows it during
// reads; its owner frees it with Release (LocalFree). After
// ReadRecordRelative it holds the record's relative image (RecordImage.h).
struct RecordBuffer {
    WORD count = 0;
    DWORD reserved = 0;
    DWORD size = 0;
    BYTE* buffer = nullptr;

    void Release();
    const CEPROPVAL* props() const { return reinterpret_cast<const CEPROPVAL*>(buffer); }
    CEPROPVAL* props() { return reinterpret_cast<CEPROPVAL*>(buffer); }
};

// A database name with its terminator: at most 31 characters.
inline constexpr int kDatabaseNameUnits = static_cast<int>(ce::CEDB_MAXDBASENAMELEN);
inline constexpr int kDatabaseNameLength = kDatabaseNameUnits - 1;
inline constexpr int kMessageRoom = 256;

class Database {
public:
    explicit Database(HWND owner = nullptr);
    virtual ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    HANDLE Open(const WCHAR* name, CEPROPID sortProperty = 0, DWORD flags = 0);
    // As Open, with a window that receives the object store's change
    // notifications for this database.
    HANDLE OpenNotified(HWND window, const WCHAR* name, CEPROPID sortProperty = 0, DWORD flags = 0);
    // Creates a database with the information's type and sort orders and
    // opens it.
    HANDLE Create(const WCHAR* name, const CEDBASEINFO& info);
    bool Close();
    bool GetInfo(CEDBASEINFO& info);
    bool SetInfo(CEOID identifier, const CEDBASEINFO& info);
    // Deletes the named database; needs no open handle.
    bool DeleteDatabase(const WCHAR* name);
    // Deletes every record; true whenever the database was open, even if
    // some record was left. Never reports.
    bool Empty();

    CEOID ReadRecord(RecordBuffer& record);
    CEOID WriteRecord(CEOID recordId, const RecordBuffer& record);
    CEOID WriteProperty(CEOID recordId, const CEPROPVAL& value);
    CEOID DeleteProperty(CEOID recordId, const CEPROPVAL& value);
    bool DeleteRecord(CEOID recordId);

    bool SeekFirst(DWORD& index, CEOID* record = nullptr);
    bool SeekLast(DWORD& index, CEOID* record = nullptr);
    bool SeekPrevious(DWORD& index, CEOID* record = nullptr);
    bool SeekNext(DWORD& index, CEOID* record = nullptr);
    bool SeekTo(CEOID record, DWORD& index);

    // Reads the current record and turns it into its relative image.
    CEOID ReadRecordRelative(RecordBuffer& record);
    // The same without the copy into a buffer of the caller's: the image
    // stays valid until the next read.
    CEOID ReadRecordImage(std::span<const BYTE>* image, WORD* count);
    // Reads the records after `after` (0: from the first) in identifier
    // order, each as ReadRecordImage reads it, until `take` says stop or the
    // database ends (ce::CeReadRecordImages). False, reported, when the
    // records cannot be read.
    bool ReadRecordImages(CEOID after, const ce::RecordImageSink& take);
    // Writes a record given as a relative image; an image whose offsets,
    // counts or terminators fall outside it is refused (and reported as a
    // failed write with "The parameter is incorrect").
    CEOID WriteRecordRelative(CEOID recordId, const RecordBuffer& record);

    // Turns the platform's last error into the error text, fills the
    // format (string `formatId`) with the name (or the stored name) and the
    // error text, shows it unless reporting is off or the program runs
    // silently, and returns the error text.
    const WCHAR* ReportError(UINT formatId, const WCHAR* name = nullptr);

    bool IsOpen() const { return handle_ != ce::INVALID_HANDLE_VALUE; }
    HANDLE handle() const { return handle_; }
    CEOID identifier() const { return identifier_; }
    const WCHAR* name() const { return name_; }
    const WCHAR* errorText() const { return errorText_; }
    const WCHAR* messageFormat() const { return messageFormat_; }
    HWND owner() const { return owner_; }
    void SetOwner(HWND owner) { owner_ = owner; }
    bool reportErrors() const { return reportErrors_; }
    void SetReportErrors(bool on) { reportErrors_ = on; }
    // Reports are off until the returned guard ends; then they are as they were.
    appcore::ScopedValue<bool> QuietErrors() { return {reportErrors_, false}; }

private:
    HANDLE OpenWith(HWND window, const WCHAR* name, CEPROPID sortProperty, DWORD flags);
    bool Seek(DWORD type, DWORD value, DWORD& index, CEOID* record);
    void StoreName(const WCHAR* name);

    HANDLE handle_ = ce::INVALID_HANDLE_VALUE;
    WCHAR name_[kDatabaseNameUnits] = {};
    WCHAR messageFormat_[kMessageRoom] = {};
    WCHAR errorText_[kMessageRoom] = {};
    HWND owner_ = nullptr;
    bool reportErrors_ = true;
    CEOID identifier_ = 0;
    std::vector<BYTE> image_;  // reused by every ReadRecordRelative
};

// The string id of the error text for a platform error code.
UINT ErrorTextId(DWORD code);

}  // namespace store

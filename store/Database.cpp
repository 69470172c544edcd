#include "store/Database.h"

#include <algorithm>
#include <cstring>

#include "appcore/Application.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/Cursor.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace store {

void RecordBuffer::Release() {
    ce::LocalFree(buffer);
    buffer = nullptr;
    size = 0;
    count = 0;
}

UINT ErrorTextId(DWORD code) {
    switch (code) {
        case ce::ERROR_FILE_NOT_FOUND:
            return res::IDS_ERR_FILE_NOT_FOUND;
        case ce::ERROR_NOT_ENOUGH_MEMORY:
            return res::IDS_ERR_NOT_ENOUGH_STORAGE;
        case ce::ERROR_SHARING_VIOLATION:
            return res::IDS_ERR_SHARING_VIOLATION;
        case ce::ERROR_DUP_NAME:
            return res::IDS_ERR_DUP_NAME;
        case ce::ERROR_INVALID_PARAMETER:
            return res::IDS_ERR_INVALID_PARAMETER;
        case ce::ERROR_DISK_FULL:
            return res::IDS_ERR_DISK_FULL;
        case ce::ERROR_INSUFFICIENT_BUFFER:
            return res::IDS_ERR_INSUFFICIENT_BUFFER;
        case ce::ERROR_NO_DATA:
            return res::IDS_ERR_NO_DATA;
        case ce::ERROR_NO_MORE_ITEMS:
            return res::IDS_ERR_NO_MORE_ITEMS;
        case ce::ERROR_KEY_DELETED:
            return res::IDS_ERR_KEY_DELETED;
        default:
            return res::IDS_ERR_UNKNOWN;
    }
}

Database::Database(HWND owner) : owner_(owner) {}

Database::~Database() {
    reportErrors_ = false;
    Close();
}

void Database::StoreName(const WCHAR* name) {
    ce::CopyWide(name_, ce::WideView(name));
}

HANDLE Database::OpenWith(HWND window, const WCHAR* name, CEPROPID sortProperty, DWORD flags) {
    if (IsOpen())
        Close();
    CEOID identifier = identifier_;
    HANDLE handle = ce::CeOpenDatabase(&identifier, name, sortProperty, flags, window);
    if (handle == ce::INVALID_HANDLE_VALUE) {
        identifier_ = 0;
        ReportError(res::IDS_CANT_OPEN_DB, name);
        return ce::INVALID_HANDLE_VALUE;
    }
    handle_ = handle;
    identifier_ = identifier;
    StoreName(name);
    return handle_;
}

HANDLE Database::Open(const WCHAR* name, CEPROPID sortProperty, DWORD flags) {
    return OpenWith(nullptr, name, sortProperty, flags);
}

HANDLE Database::OpenNotified(HWND window, const WCHAR* name, CEPROPID sortProperty, DWORD flags) {
    return OpenWith(window, name, sortProperty, flags);
}

HANDLE Database::Create(const WCHAR* name, const CEDBASEINFO& info) {
    if (IsOpen())
        Close();
    ce::SORTORDERSPEC sorts[ce::CEDB_MAXSORTORDER];
    std::memcpy(sorts, info.rgSortSpecs, sizeof sorts);
    CEOID created = ce::CeCreateDatabase(name, info.dwDbaseType, info.wNumSortOrder, sorts);
    if (created == 0) {
        ReportError(res::IDS_CANT_CREATE_DB, name);
        return ce::INVALID_HANDLE_VALUE;
    }
    CEOID identifier = created;
    HANDLE handle = ce::CeOpenDatabase(&identifier, nullptr, 0, 0, nullptr);
    if (handle == ce::INVALID_HANDLE_VALUE) {
        ReportError(res::IDS_CANT_OPEN_DB, name);
        return ce::INVALID_HANDLE_VALUE;
    }
    handle_ = handle;
    identifier_ = identifier;
    StoreName(name);
    return handle_;
}

bool Database::Close() {
    if (!IsOpen())
        return true;
    if (!ce::CloseHandle(handle_)) {
        ReportError(res::IDS_CANT_CLOSE_DB);
        return false;
    }
    name_[0] = 0;
    handle_ = ce::INVALID_HANDLE_VALUE;
    identifier_ = 0;
    return true;
}

bool Database::GetInfo(CEDBASEINFO& info) {
    std::memset(&info, 0, sizeof info);
    ce::CEOIDINFO object;
    std::memset(&object, 0, sizeof object);
    if (!ce::CeOidGetInfo(identifier_, &object)) {
        ReportError(res::IDS_CANT_UPDATE_DB);
        return false;
    }
    if (object.wObjType != ce::OBJTYPE_DATABASE) {
        ce::SetLastError(ce::ERROR_INVALID_PARAMETER);
        ReportError(res::IDS_CANT_UPDATE_DB);
        return false;
    }
    info = object.infDatabase;
    return true;
}

bool Database::SetInfo(CEOID identifier, const CEDBASEINFO& info) {
    CEDBASEINFO copy = info;
    if (!ce::CeSetDatabaseInfo(identifier, &copy)) {
        ReportError(res::IDS_CANT_UPDATE_DB);
        return false;
    }
    return true;
}

bool Database::DeleteDatabase(const WCHAR* name) {
    CEOID identifier = 0;
    HANDLE handle = ce::CeOpenDatabase(&identifier, name, 0, 0, nullptr);
    if (handle == ce::INVALID_HANDLE_VALUE) {
        ReportError(res::IDS_CANT_DELETE_DB, name);
        return false;
    }
    if (!ce::CloseHandle(handle) || !ce::CeDeleteDatabase(identifier)) {
        ReportError(res::IDS_CANT_DELETE_DB, name);
        return false;
    }
    return true;
}

bool Database::Empty() {
    if (!IsOpen())
        return false;
    auto quiet = QuietErrors();
    DWORD index;
    CEOID record;
    while (SeekLast(index, &record) && DeleteRecord(record)) {
    }
    return true;
}

CEOID Database::ReadRecord(RecordBuffer& record) {
    if (!IsOpen())
        return 0;
    record.count = 0;
    record.reserved = 0;
    CEOID id = ce::CeReadRecordProps(handle_, ce::CEDB_ALLOWREALLOC, &record.count, nullptr,
                                     &record.buffer, &record.size);
    if (id == 0)
        ReportError(res::IDS_CANT_READ_RECORD);
    return id;
}

CEOID Database::WriteRecord(CEOID recordId, const RecordBuffer& record) {
    if (!IsOpen())
        return 0;
    CEOID id = ce::CeWriteRecordProps(handle_, recordId, record.count,
                                      const_cast<CEPROPVAL*>(record.props()));
    if (id == 0)
        ReportError(res::IDS_CANT_WRITE_RECORD);
    return id;
}

CEOID Database::WriteProperty(CEOID recordId, const CEPROPVAL& value) {
    if (!IsOpen())
        return 0;
    CEPROPVAL copy = value;
    copy.wLenData = 0;
    copy.wFlags = 0;
    CEOID id = ce::CeWriteRecordProps(handle_, recordId, 1, &copy);
    if (id == 0)
        ReportError(res::IDS_CANT_WRITE_RECORD);
    return id;
}

CEOID Database::DeleteProperty(CEOID recordId, const CEPROPVAL& value) {
    if (!IsOpen())
        return 0;
    CEPROPVAL copy = value;
    copy.wLenData = 0;
    copy.wFlags = ce::CEDB_PROPDELETE;
    CEOID id = ce::CeWriteRecordProps(handle_, recordId, 1, &copy);
    if (id == 0)
        ReportError(res::IDS_CANT_DELETE_PROPERTY);
    return id;
}

bool Database::DeleteRecord(CEOID recordId) {
    if (!IsOpen())
        return false;
    if (!ce::CeDeleteRecord(handle_, recordId)) {
        ReportError(res::IDS_CANT_DELETE_RECORD);
        return false;
    }
    return true;
}

bool Database::Seek(DWORD type, DWORD value, DWORD& index, CEOID* record) {
    if (!IsOpen())
        return false;
    CEOID id = ce::CeSeekDatabase(handle_, type, value, &index);
    if (record != nullptr)
        *record = id;
    if (id == 0) {
        ReportError(res::IDS_CANT_FIND_RECORD);
        return false;
    }
    return true;
}

bool Database::SeekFirst(DWORD& index, CEOID* record) {
    return Seek(ce::CEDB_SEEK_BEGINNING, 0, index, record);
}
bool Database::SeekLast(DWORD& index, CEOID* record) {
    return Seek(ce::CEDB_SEEK_END, 0, index, record);
}
bool Database::SeekPrevious(DWORD& index, CEOID* record) {
    return Seek(ce::CEDB_SEEK_CURRENT, static_cast<DWORD>(-1), index, record);
}
bool Database::SeekNext(DWORD& index, CEOID* record) {
    return Seek(ce::CEDB_SEEK_CURRENT, 1, index, record);
}
bool Database::SeekTo(CEOID record, DWORD& index) {
    return Seek(ce::CEDB_SEEK_CEOID, record, index, nullptr);
}

CEOID Database::ReadRecordImage(std::span<const ce::BYTE>* image, WORD* count) {
    if (!IsOpen())
        return 0;
    // The store makes the image from the stored record itself; it is the
    // image EncodeRelativeImage makes of the record read into properties.
    *count = 0;
    CEOID id = ce::CeReadRecordImage(handle_, &image_, count);
    if (id == 0) {
        ReportError(res::IDS_CANT_READ_RECORD);
        return 0;
    }
    *image = image_;
    return id;
}

bool Database::ReadRecordImages(CEOID after, const ce::RecordImageSink& take) {
    if (!IsOpen())
        return false;
    if (ce::CeReadRecordImages(handle_, after, take))
        return true;
    ReportError(res::IDS_CANT_READ_RECORD);
    return false;
}

CEOID Database::ReadRecordRelative(RecordBuffer& record) {
    std::span<const ce::BYTE> image;
    record.reserved = 0;
    CEOID id = ReadRecordImage(&image, &record.count);
    if (id == 0)
        return 0;
    if (record.buffer == nullptr || ce::LocalSize(record.buffer) < image.size()) {
        std::size_t room = std::max<std::size_t>(image.size(), 1);
        void* grown = record.buffer == nullptr
                          ? ce::LocalAlloc(ce::LMEM_FIXED, room)
                          : ce::LocalReAlloc(record.buffer, room, ce::LMEM_MOVEABLE);
        if (grown == nullptr) {
            ReportError(res::IDS_CANT_READ_RECORD);
            return 0;
        }
        record.buffer = static_cast<BYTE*>(grown);
    }
    if (!image.empty())
        std::memcpy(record.buffer, image.data(), image.size());
    record.size = static_cast<DWORD>(image.size());
    return id;
}

CEOID Database::WriteRecordRelative(CEOID recordId, const RecordBuffer& record) {
    if (!IsOpen())
        return 0;
    if (record.buffer == nullptr && record.size != 0) {
        ce::SetLastError(ce::ERROR_INVALID_PARAMETER);
        ReportError(res::IDS_CANT_WRITE_RECORD);
        return 0;
    }
    std::span<const ce::BYTE> image;
    if (record.size != 0)
        image = std::span<const ce::BYTE>(record.buffer, record.size);
    CEOID id = ce::CeWriteRecordImage(handle_, recordId, image, record.count);
    if (id == 0)
        ReportError(res::IDS_CANT_WRITE_RECORD);
    return id;
}

const WCHAR* Database::ReportError(UINT formatId, const WCHAR* name) {
    DWORD code = ce::GetLastError();
    ui::LoadText(ErrorTextId(code), errorText_, kMessageRoom);
    ui::LoadText(formatId, messageFormat_, kMessageRoom);
    std::u16string text;
    if (ce::CountPlaceholders(messageFormat_) >= 2) {
        const WCHAR* shown = name != nullptr ? name : name_;
        text = ce::FormatWide(messageFormat_, {shown, errorText_});
    } else {
        text = ce::FormatWide(messageFormat_, {errorText_});
    }
    if (reportErrors_ && !appcore::RunningSilently()) {
        ce::SetCursor(nullptr);
        ui::MessageTextWithId(owner_, text, ui::kErrorStyle, formatId);
    }
    ce::SetLastError(code);
    return errorText_;
}

}  // namespace store

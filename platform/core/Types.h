#pragma once
// The device's basic types and structures, with the platform's names.
//
// In memory these are natural 64-bit structures (real pointers). Byte images
// in the device's 32-bit layout (archives, the infrared link, the clipboard)
// are produced and consumed field by field with ByteReader/ByteWriter, never
// by copying these structs.

#include <cstddef>
#include <cstdint>

namespace ce {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = int;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPWORD = WORD*;
using HRESULT = std::int32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Kernel objects (databases, enumerations, files) are handles into the
// process's handle table; they are never dereferenced.
struct HandleTag;
using HANDLE = HandleTag*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t{0});

// Windows are created by platform/gui; the object store only stores and
// posts to them.
struct WindowTag;
using HWND = WindowTag*;

inline constexpr DWORD MAX_PATH = 260;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

inline constexpr WORD LOWORD(DWORD v) {
    return static_cast<WORD>(v & 0xFFFF);
}
inline constexpr WORD HIWORD(DWORD v) {
    return static_cast<WORD>(v >> 16);
}

// ---- Object store ----------------------------------------------------------

using CEOID = DWORD;
using PCEOID = CEOID*;
using CEPROPID = DWORD;

inline constexpr WORD TypeFromPropID(CEPROPID id) {
    return LOWORD(id);
}
inline constexpr CEPROPID MakePropID(WORD number, WORD type) {
    return (static_cast<DWORD>(number) << 16) | type;
}

inline constexpr WORD CEVT_I2 = 2;
inline constexpr WORD CEVT_UI2 = 18;
inline constexpr WORD CEVT_I4 = 3;
inline constexpr WORD CEVT_UI4 = 19;
inline constexpr WORD CEVT_R8 = 5;
inline constexpr WORD CEVT_BOOL = 11;
inline constexpr WORD CEVT_FILETIME = 64;
inline constexpr WORD CEVT_LPWSTR = 31;
inline constexpr WORD CEVT_BLOB = 65;

struct CEBLOB {
    DWORD dwCount;
    LPBYTE lpb;
};

union CEVALUNION {
    SHORT iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
    // The device keeps 8 value bytes for every property; for the in-place
    // types these are exactly the bytes that were written, unused ones
    // included.
    BYTE bytes[8];
};

struct CEPROPVAL {
    CEPROPID propid;
    WORD wLenData;
    WORD wFlags;
    CEVALUNION val;
};

inline constexpr WORD CEDB_PROPNOTFOUND = 0x0100;
inline constexpr WORD CEDB_PROPDELETE = 0x0200;

inline constexpr DWORD CEDB_ALLOWREALLOC = 0x00000001;
inline constexpr DWORD CEDB_AUTOINCREMENT = 0x00000001;

inline constexpr DWORD CEDB_SORT_DESCENDING = 0x00000001;
inline constexpr DWORD CEDB_SORT_CASEINSENSITIVE = 0x00000002;
inline constexpr DWORD CEDB_SORT_UNKNOWNFIRST = 0x00000004;
inline constexpr DWORD CEDB_SORT_GENERICORDER = 0x00000008;

inline constexpr DWORD CEDB_VALIDNAME = 0x0001;
inline constexpr DWORD CEDB_VALIDTYPE = 0x0002;
inline constexpr DWORD CEDB_VALIDSORTSPEC = 0x0004;
inline constexpr DWORD CEDB_VALIDMODTIME = 0x0008;
inline constexpr DWORD CEDB_VALIDDBFLAGS = 0x0010;
inline constexpr DWORD CEDB_VALIDCREATE = 0x0017;
inline constexpr DWORD CEDB_NOCOMPRESS = 0x00010000;

inline constexpr DWORD CEDB_SEEK_CEOID = 0x00000001;
inline constexpr DWORD CEDB_SEEK_BEGINNING = 0x00000002;
inline constexpr DWORD CEDB_SEEK_END = 0x00000004;
inline constexpr DWORD CEDB_SEEK_CURRENT = 0x00000008;

inline constexpr DWORD CEDB_MAXDBASENAMELEN = 32;
inline constexpr DWORD CEDB_MAXSORTORDER = 4;
inline constexpr DWORD CEDB_MAXPROPDATASIZE = 4092 * 16 - 1;
inline constexpr DWORD CEDB_MAXRECORDSIZE = 128 * 1024;
inline constexpr DWORD CEDB_MAXNUMRECORDS = 0xFFFF;

struct SORTORDERSPEC {
    CEPROPID propid;
    DWORD dwFlags;
};

struct CEDBASEINFO {
    DWORD dwFlags;
    WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
    DWORD dwDbaseType;
    WORD wNumRecords;
    WORD wNumSortOrder;
    DWORD dwSize;
    FILETIME ftLastModified;
    SORTORDERSPEC rgSortSpecs[CEDB_MAXSORTORDER];
};

struct CERECORDINFO {
    CEOID oidParent;
};

inline constexpr WORD OBJTYPE_INVALID = 0;
inline constexpr WORD OBJTYPE_FILE = 1;
inline constexpr WORD OBJTYPE_DIRECTORY = 2;
inline constexpr WORD OBJTYPE_DATABASE = 3;
inline constexpr WORD OBJTYPE_RECORD = 4;

struct CEOIDINFO {
    WORD wObjType;
    WORD wPad;
    union {
        CEDBASEINFO infDatabase;
        CERECORDINFO infRecord;
    };
};

// Window messages posted to a database's notification window.
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT DB_CEOID_CREATED = WM_USER + 1;
inline constexpr UINT DB_CEOID_DATABASE_DELETED = WM_USER + 2;
inline constexpr UINT DB_CEOID_RECORD_DELETED = WM_USER + 3;
inline constexpr UINT DB_CEOID_CHANGED = WM_USER + 6;
inline constexpr UINT WM_DBNOTIFICATION = 0x03FF;

// ---- Memory ----------------------------------------------------------------

using HLOCAL = void*;
inline constexpr UINT LMEM_FIXED = 0x0000;
inline constexpr UINT LMEM_MOVEABLE = 0x0002;
inline constexpr UINT LMEM_ZEROINIT = 0x0040;
inline constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

}  // namespace ce

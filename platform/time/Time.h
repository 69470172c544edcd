#pragma once
// Time and locale calls: the host's clock and time zone stand in for the
// device's; date and time texts follow the host's LC_TIME.

#include <cstdint>

#include "platform/core/Types.h"

namespace ce {

using LCID = DWORD;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr DWORD DATE_SHORTDATE = 0x00000001;
inline constexpr DWORD DATE_LONGDATE = 0x00000002;
inline constexpr DWORD TIME_NOSECONDS = 0x00000002;

// Suspends the calling thread for the given time.
void Sleep(DWORD dwMilliseconds);

void GetLocalTime(SYSTEMTIME* lpSystemTime);
void GetSystemTime(SYSTEMTIME* lpSystemTime);
void GetSystemTimeAsFileTime(FILETIME* lpFileTime);

// Conversions between UTC and local file times use the host's zone rules
// for the moment concerned (daylight saving included).
BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, FILETIME* lpLocalFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, FILETIME* lpFileTime);
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, FILETIME* lpFileTime);

// Return the number of units written including the terminator, the size
// needed when cch is 0, or 0 with ERROR_INSUFFICIENT_BUFFER /
// ERROR_INVALID_PARAMETER. lpFormat must be null (the locale's format).
int GetDateFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCWSTR lpFormat,
                   LPWSTR lpDateStr, int cchDate);
int GetTimeFormatW(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCWSTR lpFormat,
                   LPWSTR lpTimeStr, int cchTime);

// FILETIME as one 64-bit count of 100 ns intervals since 1601-01-01.
inline std::uint64_t FileTimeToU64(const FILETIME& ft) {
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
inline FILETIME U64ToFileTime(std::uint64_t v) {
    return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}
// 100 ns intervals between 1601-01-01 and 1970-01-01.
inline constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ULL;

// Makes the clock read a fixed UTC time (nanoseconds since 1970) in this
// process, or follow the host again with 0; for tests.
void SetClockForTests(std::int64_t unixNanoseconds);

}  // namespace ce

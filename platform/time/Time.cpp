#include "platform/time/Time.h"

#include <langinfo.h>
#include <locale.h>
#include <atomic>
#include <chrono>
#include <clocale>
#include <ctime>
#include <string>
#include <thread>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"

namespace ce {
namespace {

std::atomic<std::int64_t> fixedClock{0};

std::int64_t NowUnixNanoseconds() {
    std::int64_t fixed = fixedClock.load();
    if (fixed != 0)
        return fixed;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::uint64_t NowFileTime() {
    return kFileTimeUnixEpoch + static_cast<std::uint64_t>(NowUnixNanoseconds() / 100);
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yy + (m <= 2));
}

bool ValidSystemTime(const SYSTEMTIME& st) {
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12)
        return false;
    if (st.wDay < 1 || st.wDay > kDays[st.wMonth - 1])
        return false;
    if (st.wMonth == 2 && st.wDay == 29) {
        bool leap = (st.wYear % 4 == 0 && st.wYear % 100 != 0) || st.wYear % 400 == 0;
        if (!leap)
            return false;
    }
    return st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

// Offset of local time from UTC, in seconds, at the UTC instant `t`.
long LocalOffsetAt(std::time_t t) {
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return 0;
    return local.tm_gmtoff;
}

// The host's LC_TIME, loaded once: loading it reads the locale files, which
// costs more than the formatting of a whole list of dates.
locale_t HostTimeLocale() {
    static const locale_t loaded = [] {
        locale_t host = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
        return host != static_cast<locale_t>(0)
                   ? host
                   : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    }();
    return loaded;
}

// Formats with the host's LC_TIME.
std::string HostStrftime(const char* format, const SYSTEMTIME& st) {
    std::tm tm{};
    tm.tm_year = st.wYear - 1900;
    tm.tm_mon = st.wMonth - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    tm.tm_wday = st.wDayOfWeek % 7;
    char buffer[128];
    std::size_t n = strftime_l(buffer, sizeof buffer, format, &tm, HostTimeLocale());
    return std::string(buffer, n);
}

std::string TimeFormatWithoutSeconds() {
    locale_t hostLocale = HostTimeLocale();
    if (hostLocale == static_cast<locale_t>(0))
        return "%H:%M";
    std::string format = nl_langinfo_l(T_FMT, hostLocale);
    for (const char* cut : {":%S", ".%S", "%S"}) {
        auto at = format.find(cut);
        if (at != std::string::npos) {
            format.erase(at, std::char_traits<char>::length(cut));
            break;
        }
    }
    if (format.empty())
        format = "%H:%M";
    return format;
}

int CopyOut(const std::u16string& text, LPWSTR out, int cch) {
    int needed = static_cast<int>(text.size()) + 1;
    if (cch == 0)
        return needed;
    if (out == nullptr || cch < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    CopyWide(out, static_cast<std::size_t>(cch), text);
    return needed;
}

}  // namespace

void SetClockForTests(std::int64_t unixNanoseconds) {
    fixedClock = unixNanoseconds;
}

void GetSystemTimeAsFileTime(FILETIME* ft) {
    *ft = U64ToFileTime(NowFileTime());
}

void GetSystemTime(SYSTEMTIME* st) {
    FILETIME ft = U64ToFileTime(NowFileTime());
    FileTimeToSystemTime(&ft, st);
}

void GetLocalTime(SYSTEMTIME* st) {
    FILETIME utc = U64ToFileTime(NowFileTime());
    FILETIME local;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, st);
}

BOOL FileTimeToLocalFileTime(const FILETIME* in, FILETIME* out) {
    if (in == nullptr || out == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t v = FileTimeToU64(*in);
    auto unixSeconds = static_cast<std::int64_t>(v / 10000000) -
                       static_cast<std::int64_t>(kFileTimeUnixEpoch / 10000000);
    std::int64_t offset = LocalOffsetAt(static_cast<std::time_t>(unixSeconds)) * 10000000LL;
    std::int64_t result = static_cast<std::int64_t>(v) + offset;
    if (result < 0)
        result = 0;
    *out = U64ToFileTime(static_cast<std::uint64_t>(result));
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* in, FILETIME* out) {
    if (in == nullptr || out == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t v = FileTimeToU64(*in);
    auto localSeconds = static_cast<std::int64_t>(v / 10000000) -
                        static_cast<std::int64_t>(kFileTimeUnixEpoch / 10000000);
    // The offset that applies is the one in force at the UTC instant; start
    // from the offset at the local reading and correct once.
    long offset = LocalOffsetAt(static_cast<std::time_t>(localSeconds));
    offset = LocalOffsetAt(static_cast<std::time_t>(localSeconds - offset));
    std::int64_t result = static_cast<std::int64_t>(v) - offset * 10000000LL;
    if (result < 0)
        result = 0;
    *out = U64ToFileTime(static_cast<std::uint64_t>(result));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st) {
    if (ft == nullptr || st == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t v = FileTimeToU64(*ft);
    if (v >= 0x8000000000000000ULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t ms = v / 10000;
    std::uint64_t seconds = ms / 1000;
    std::int64_t days = static_cast<std::int64_t>(seconds / 86400) -
                        static_cast<std::int64_t>(kFileTimeUnixEpoch / 10000000 / 86400);
    std::uint64_t secondOfDay = seconds % 86400;
    int y;
    unsigned m, d;
    CivilFromDays(days, y, m, d);
    st->wYear = static_cast<WORD>(y);
    st->wMonth = static_cast<WORD>(m);
    st->wDay = static_cast<WORD>(d);
    // 1601-01-01 was a Monday.
    std::int64_t sinceFileEpoch = static_cast<std::int64_t>(seconds / 86400);
    st->wDayOfWeek = static_cast<WORD>((sinceFileEpoch + 1) % 7);
    st->wHour = static_cast<WORD>(secondOfDay / 3600);
    st->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    st->wSecond = static_cast<WORD>(secondOfDay % 60);
    st->wMilliseconds = static_cast<WORD>(ms % 1000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft) {
    if (st == nullptr || ft == nullptr || !ValidSystemTime(*st)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) +
                        static_cast<std::int64_t>(kFileTimeUnixEpoch / 10000000 / 86400);
    std::int64_t seconds = days * 86400 + st->wHour * 3600 + st->wMinute * 60 + st->wSecond;
    std::uint64_t v = static_cast<std::uint64_t>(seconds) * 10000000ULL +
                      static_cast<std::uint64_t>(st->wMilliseconds) * 10000ULL;
    *ft = U64ToFileTime(v);
    return TRUE;
}

int GetDateFormatW(LCID, DWORD flags, const SYSTEMTIME* date, LPCWSTR format, LPWSTR out, int cch) {
    if (format != nullptr || cch < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    SYSTEMTIME st;
    if (date != nullptr) {
        st = *date;
        if (!ValidSystemTime(st)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    } else {
        GetLocalTime(&st);
    }
    const char* hostFormat = (flags & DATE_LONGDATE) ? "%A, %B %d, %Y" : "%x";
    return CopyOut(Utf8ToWide(HostStrftime(hostFormat, st)), out, cch);
}

int GetTimeFormatW(LCID, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR out, int cch) {
    if (format != nullptr || cch < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    SYSTEMTIME st;
    if (time != nullptr) {
        st = *time;
        if (st.wHour >= 24 || st.wMinute >= 60 || st.wSecond >= 60) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (!ValidSystemTime(st)) {  // only the time of day matters here
            st.wYear = 2000;
            st.wMonth = 1;
            st.wDay = 1;
            st.wMilliseconds = 0;
        }
    } else {
        GetLocalTime(&st);
    }
    std::string hostFormat = (flags & TIME_NOSECONDS) ? TimeFormatWithoutSeconds() : "%X";
    return CopyOut(Utf8ToWide(HostStrftime(hostFormat.c_str(), st)), out, cch);
}

void Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

}  // namespace ce

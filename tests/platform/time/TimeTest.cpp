#include "platform/time/Time.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <ctime>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"

namespace {

ce::SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    ce::SYSTEMTIME st{};
    st.wYear = static_cast<ce::WORD>(y);
    st.wMonth = static_cast<ce::WORD>(mo);
    st.wDay = static_cast<ce::WORD>(d);
    st.wHour = static_cast<ce::WORD>(h);
    st.wMinute = static_cast<ce::WORD>(mi);
    st.wSecond = static_cast<ce::WORD>(s);
    st.wMilliseconds = static_cast<ce::WORD>(ms);
    return st;
}

// Runs a test body in another time zone and restores the test's own.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        const char* old = std::getenv("TZ");
        saved_ = old != nullptr ? old : "";
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneGuard() {
        ::setenv("TZ", saved_.c_str(), 1);
        ::tzset();
    }

private:
    std::string saved_;
};

TEST(Time, FileTimeAndCalendarFieldsConvertBothWays) {
    struct Case {
        ce::SYSTEMTIME st;
        std::uint64_t fileTime;
        int dayOfWeek;
    } cases[] = {
        {Make(1601, 1, 1), 0, 1},
        {Make(1970, 1, 1), ce::kFileTimeUnixEpoch, 4},
        {Make(2000, 2, 29, 12, 30, 15, 250), 125963010152500000ULL, 2},
        {Make(2026, 12, 8, 6, 18, 51), 134411843310000000ULL, 2},
    };
    for (const Case& c : cases) {
        ce::FILETIME ft;
        ASSERT_TRUE(ce::SystemTimeToFileTime(&c.st, &ft));
        EXPECT_EQ(ce::FileTimeToU64(ft), c.fileTime);
        ce::SYSTEMTIME back;
        ASSERT_TRUE(ce::FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(back.wYear, c.st.wYear);
        EXPECT_EQ(back.wMonth, c.st.wMonth);
        EXPECT_EQ(back.wDay, c.st.wDay);
        EXPECT_EQ(back.wHour, c.st.wHour);
        EXPECT_EQ(back.wSecond, c.st.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.st.wMilliseconds);
        EXPECT_EQ(back.wDayOfWeek, c.dayOfWeek);
    }
}

TEST(Time, ImpossibleDatesAreRefused) {
    ce::FILETIME ft;
    for (ce::SYSTEMTIME st : {Make(2001, 2, 29), Make(2000, 13, 1), Make(2000, 4, 31),
                              Make(1600, 12, 31), Make(2000, 1, 1, 24)}) {
        EXPECT_FALSE(ce::SystemTimeToFileTime(&st, &ft));
        EXPECT_EQ(ce::GetLastError(), ce::ERROR_INVALID_PARAMETER);
    }
}

TEST(Time, LocalConversionFollowsTheZoneOfTheMoment) {
    ZoneGuard zone("Europe/Berlin");
    ce::SYSTEMTIME winter = Make(2026, 1, 15, 12), summer = Make(2026, 7, 15, 12);
    for (auto [utc, offsetHours] : {std::pair{winter, 1}, std::pair{summer, 2}}) {
        ce::FILETIME ft, local, back;
        ASSERT_TRUE(ce::SystemTimeToFileTime(&utc, &ft));
        ASSERT_TRUE(ce::FileTimeToLocalFileTime(&ft, &local));
        ce::SYSTEMTIME shown;
        ce::FileTimeToSystemTime(&local, &shown);
        EXPECT_EQ(shown.wHour, 12 + offsetHours);
        ASSERT_TRUE(ce::LocalFileTimeToFileTime(&local, &back));
        EXPECT_EQ(ce::FileTimeToU64(back), ce::FileTimeToU64(ft));
    }
}

TEST(Time, TextsUseTheLocaleAndReportTheSizeNeeded) {
    ce::SYSTEMTIME st = Make(2026, 12, 8, 6, 5, 9);
    ce::WCHAR date[16], time[16], tiny[3];
    EXPECT_EQ(
        ce::GetDateFormatW(ce::LOCALE_SYSTEM_DEFAULT, ce::DATE_SHORTDATE, &st, nullptr, nullptr, 0),
        9);
    ASSERT_EQ(
        ce::GetDateFormatW(ce::LOCALE_SYSTEM_DEFAULT, ce::DATE_SHORTDATE, &st, nullptr, date, 16),
        9);
    EXPECT_EQ(std::u16string(date), u"12/08/26");
    ASSERT_GT(ce::GetTimeFormatW(ce::LOCALE_SYSTEM_DEFAULT, 0, &st, nullptr, time, 16), 0);
    EXPECT_EQ(std::u16string(time), u"06:05:09");
    ASSERT_GT(
        ce::GetTimeFormatW(ce::LOCALE_SYSTEM_DEFAULT, ce::TIME_NOSECONDS, &st, nullptr, time, 16),
        0);
    EXPECT_EQ(std::u16string(time), u"06:05");
    EXPECT_EQ(ce::GetTimeFormatW(ce::LOCALE_SYSTEM_DEFAULT, 0, &st, nullptr, tiny, 3), 0);
    EXPECT_EQ(ce::GetLastError(), ce::ERROR_INSUFFICIENT_BUFFER);
}

TEST(Time, FixedClockForTests) {
    ce::SetClockForTests(1'000'000'000'000'000'000LL);  // 2001-09-09 01:46:40 UTC
    ce::SYSTEMTIME now;
    ce::GetSystemTime(&now);
    ce::SetClockForTests(0);
    EXPECT_EQ(now.wYear, 2001);
    EXPECT_EQ(now.wMonth, 9);
    EXPECT_EQ(now.wMinute, 46);
}

}  // namespace

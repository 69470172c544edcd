#include "store/Formatting.h"

#include <cmath>
#include <cstdio>

#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/time/Time.h"

namespace store {

DateTime::DateTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    time_.wYear = year;
    time_.wMonth = month;
    time_.wDay = day;
    time_.wHour = hour;
    time_.wMinute = minute;
    time_.wSecond = second;
}

DateTime DateTime::FromFileTime(const ce::FILETIME& fileTime) {
    ce::FILETIME local;
    ce::SYSTEMTIME time{};
    if (ce::FileTimeToLocalFileTime(&fileTime, &local))
        ce::FileTimeToSystemTime(&local, &time);
    return DateTime(time);
}

DateTime DateTime::Now() {
    ce::SYSTEMTIME time;
    ce::GetLocalTime(&time);
    return DateTime(time);
}

const WCHAR* DateTime::ShortDate() {
    if (ce::GetDateFormatW(ce::LOCALE_SYSTEM_DEFAULT, ce::DATE_SHORTDATE, &time_, nullptr,
                           shortDate_, 16) == 0) {
        shortDate_[0] = 0;
    }
    return shortDate_;
}

const WCHAR* DateTime::TimeText(bool withSeconds) {
    if (ce::GetTimeFormatW(ce::LOCALE_SYSTEM_DEFAULT, withSeconds ? 0 : ce::TIME_NOSECONDS, &time_,
                           nullptr, timeText_, 16) == 0) {
        timeText_[0] = 0;
    }
    return timeText_;
}

bool DateTime::Differs(const DateTime& other) const {
    const ce::SYSTEMTIME& a = time_;
    const ce::SYSTEMTIME& b = other.time_;
    return a.wYear != b.wYear || a.wMonth != b.wMonth || a.wDay != b.wDay || a.wHour != b.wHour ||
           a.wMinute != b.wMinute || a.wSecond != b.wSecond;
}

void KilobytesAndHundredths(std::uint32_t bytes, int& kilobytes, int& hundredths) {
    kilobytes = static_cast<int>(bytes / 1024);
    hundredths = static_cast<int>((bytes % 1024) * 100 / 1024);
}

std::u16string SizeText(std::int64_t bytes) {
    if (bytes <= 0)
        return u"0.00KB";
    int kilobytes, hundredths;
    KilobytesAndHundredths(static_cast<std::uint32_t>(bytes), kilobytes, hundredths);
    return ce::FormatWide(u"%d.%02dKB", {kilobytes, hundredths});
}

std::u16string SizeTextWithBytes(std::int64_t bytes) {
    if (bytes <= 0)
        return u"0.00KB";
    int kilobytes, hundredths;
    KilobytesAndHundredths(static_cast<std::uint32_t>(bytes), kilobytes, hundredths);
    // The byte count is written out in full, also beyond 2 GB where a
    // 32-bit "%ld" would turn negative.
    std::u16string count = ce::Utf8ToWide(std::to_string(bytes));
    return ce::FormatWide(u"%d.%02dKB (%s Bytes)", {kilobytes, hundredths, count});
}

namespace {

// The digits of |value| rounded to `decimals` places, without leading
// zeros, and the position of the decimal point among them (which may be 0
// or negative): the fixed-point conversion of the C runtime.
void FixedDigits(double value, int decimals, std::string& digits, int& point) {
    // A double has at most 309 whole digits.
    char buffer[400];
    int size = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(value));
    if (size < 0)
        size = 0;
    if (size >= static_cast<int>(sizeof buffer))
        size = sizeof buffer - 1;
    std::string text(buffer, static_cast<std::size_t>(size));
    std::string whole = text.substr(0, text.find('.'));
    std::string fraction =
        text.find('.') == std::string::npos ? "" : text.substr(text.find('.') + 1);
    if (whole != "0") {
        digits = whole + fraction;
        point = static_cast<int>(whole.size());
        return;
    }
    std::size_t zeros = fraction.find_first_not_of('0');
    if (zeros == std::string::npos) {  // rounds to nothing
        digits.clear();
        point = -decimals;
        return;
    }
    digits = fraction.substr(zeros);
    point = -static_cast<int>(zeros);
}

}  // namespace

std::u16string FormatDouble(double value, int decimals) {
    if (decimals < 0)
        decimals = 0;
    if (decimals > 20)
        decimals = 20;
    if (value == 0.0)
        return u"0.";
    if (std::isnan(value))
        return u"nan";
    if (std::isinf(value))
        return value < 0 ? u"-inf" : u"inf";
    std::string digits;
    int point;
    FixedDigits(value, decimals, digits, point);
    bool negative = value < 0;

    std::string fixed = negative ? "-" : "";
    if (point >= 1) {
        fixed += digits.substr(0, static_cast<std::size_t>(point));
        fixed += '.';
        if (static_cast<std::size_t>(point) < digits.size())
            fixed += digits.substr(point);
    } else {
        fixed += "0.";
        fixed.append(static_cast<std::size_t>(-point), '0');
        fixed += digits;
    }
    while (!fixed.empty() && fixed.back() == '0')
        fixed.pop_back();

    std::string result;
    if (fixed.size() < 13) {
        result = fixed;
    } else {
        if (negative)
            result.push_back('-');
        result += digits.empty() ? '0' : digits[0];
        result += '.';
        std::string rest = digits.size() > 1 ? digits.substr(1) : "";
        while (!rest.empty() && rest.back() == '0')
            rest.pop_back();
        result += rest.empty() ? "0" : rest;
        result += 'e';
        result += point >= 1 ? '+' : '-';
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "%03d", std::abs(point - 1));
        result += exponent;
    }
    if (result.size() > 259)
        result.resize(259);
    return ce::Utf8ToWide(result);
}

}  // namespace store

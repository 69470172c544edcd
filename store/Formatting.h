#pragma once
// The texts every display shares: dates and times in the device's formats,
// sizes in kilobytes, and floating values.

#include <cstdint>
#include <string>

#include "platform/core/Types.h"

namespace store {

using ce::WCHAR;
using ce::WORD;

// A calendar moment (the platform's SYSTEMTIME fields) with its time text
// and short-date text, filled on request.
class DateTime {
public:
    DateTime() = default;
    DateTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);
    explicit DateTime(const ce::SYSTEMTIME& time) : time_(time) {}

    // The file time (UTC) converted to local calendar fields.
    static DateTime FromFileTime(const ce::FILETIME& fileTime);
    // The current local time.
    static DateTime Now();

    // The short date in the system locale's format (at most 15 characters);
    // valid until the next request.
    const WCHAR* ShortDate();
    // The time in the system locale's format, without seconds unless asked.
    const WCHAR* TimeText(bool withSeconds);

    // True when year, month, day, hour, minute or second differ.
    bool Differs(const DateTime& other) const;

    const ce::SYSTEMTIME& time() const { return time_; }

private:
    ce::SYSTEMTIME time_{};
    WCHAR timeText_[16] = {};
    WCHAR shortDate_[16] = {};
};

// "0.00KB" for 0 or less, else "%d.%02dKB" (whole kilobytes, hundredths
// rounded toward zero).
std::u16string SizeText(std::int64_t bytes);
// The same with " (%ld Bytes)" after it: "1.50KB (1536 Bytes)".
std::u16string SizeTextWithBytes(std::int64_t bytes);
// Whole kilobytes and hundredths of a size, as the size texts show them.
void KilobytesAndHundredths(std::uint32_t bytes, int& kilobytes, int& hundredths);

// A floating value rounded to `decimals` places, without trailing zeros
// ("12.", "0.5"); when that text reaches 13 characters, the scientific form
// "1.234567890125e+011".
std::u16string FormatDouble(double value, int decimals);

}  // namespace store

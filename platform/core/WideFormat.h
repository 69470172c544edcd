#pragma once
// A small printf-style formatter for the string table's wide formats.
//
// Conversions: %s (wide text), %c, %d %i %u %x %X, with the flags "-" and "0",
// a width, a precision, and the size prefixes "l", "h" and "I64"; "%%" is a
// percent sign. A conversion without a matching argument produces nothing.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/core/Types.h"

namespace ce {

class FormatArg {
public:
    FormatArg(int v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(long v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(long long v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(unsigned v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(unsigned long v) : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(v)) {}
    FormatArg(unsigned long long v)
        : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(v)) {}
    FormatArg(short v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(unsigned short v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(const WCHAR* v) : kind_(Kind::Text), text_(v == nullptr ? u"(null)" : v) {}
    FormatArg(WCHAR* v) : FormatArg(static_cast<const WCHAR*>(v)) {}
    FormatArg(std::u16string_view v) : kind_(Kind::Text), text_(v) {}
    FormatArg(const std::u16string& v) : kind_(Kind::Text), text_(v) {}

    bool IsText() const { return kind_ == Kind::Text; }
    std::int64_t Integer() const { return integer_; }
    std::u16string_view Text() const { return text_; }

private:
    enum class Kind { Integer, Text };
    Kind kind_;
    std::int64_t integer_ = 0;
    std::u16string_view text_;
};

std::u16string FormatWide(std::u16string_view format, std::initializer_list<FormatArg> args);

// Formats into a fixed buffer of `capacity` units, truncating; always
// zero-terminated. Returns the number of units written.
std::size_t FormatWideInto(WCHAR* buffer, std::size_t capacity, std::u16string_view format,
                           std::initializer_list<FormatArg> args);
template <std::size_t N>
std::size_t FormatWideInto(WCHAR (&buffer)[N], std::u16string_view format,
                           std::initializer_list<FormatArg> args) {
    return FormatWideInto(buffer, N, format, args);
}

// Number of conversions (not counting "%%") in a format.
int CountPlaceholders(std::u16string_view format);

}  // namespace ce

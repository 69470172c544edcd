#pragma once
// UTF-16 text helpers. The system's text is UTF-16; UTF-8 appears only at the
// host boundary (file names, Qt, the console).

#include <string>
#include <string_view>

#include "platform/core/Types.h"

namespace ce {

std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

// Length of a zero-terminated text; a null pointer has length 0.
std::size_t WideLength(const WCHAR* text);
// Length up to the first zero unit, never reading past `capacity` units.
std::size_t WideLengthBounded(const WCHAR* text, std::size_t capacity);
// View of a zero-terminated text (empty for a null pointer).
std::u16string_view WideView(const WCHAR* text);
// View of a fixed buffer up to its first zero unit or its end.
std::u16string_view WideView(const WCHAR* text, std::size_t capacity);

// How many units of `text` are left when it is cut to at most `units`: a
// character of two units (a surrogate pair) that does not fit whole goes
// whole.
inline std::size_t CutOnCharacter(std::u16string_view text, std::size_t units) {
    if (text.size() <= units)
        return text.size();
    bool splitsPair = units > 0 && text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF &&
                      text[units] >= 0xDC00 && text[units] <= 0xDFFF;
    return splitsPair ? units - 1 : units;
}

// Copies `source` into a buffer of `capacity` units, truncating when needed
// (on a character boundary); the result is always zero-terminated (unless
// capacity is 0). Returns the number of units copied, excluding the
// terminator.
std::size_t CopyWide(WCHAR* destination, std::size_t capacity, std::u16string_view source);
template <std::size_t N>
std::size_t CopyWide(WCHAR (&destination)[N], std::u16string_view source) {
    return CopyWide(destination, N, source);
}

// Simple case mapping of one unit (the platform's CharLower on one character).
WCHAR ToLowerWide(WCHAR c);
WCHAR ToUpperWide(WCHAR c);
std::u16string ToLowerWide(std::u16string_view text);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
// Comparisons with the platform's lstrcmp semantics: negative, 0 or positive.
int CompareWide(std::u16string_view a, std::u16string_view b);
int CompareWideIgnoreCase(std::u16string_view a, std::u16string_view b);
int lstrcmpW(LPCWSTR a, LPCWSTR b);
int lstrcmpiW(LPCWSTR a, LPCWSTR b);

// The space class of the wide-character classification.
bool IsWideSpace(WCHAR c);

}  // namespace ce

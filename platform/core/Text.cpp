#include "platform/core/Text.h"

#include <locale.h>
#include <wctype.h>
#include <cwctype>

namespace ce {

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t extra = 0;
        if (byte < 0x80) {
            cp = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            cp = byte & 0x1F;
            extra = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            cp = byte & 0x0F;
            extra = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            cp = byte & 0x07;
            extra = 3;
        } else {
            ++i;
            out.push_back(u'\uFFFD');
            continue;
        }
        bool valid = true;
        for (std::size_t k = 1; k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!valid) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else if (cp > 0x10FFFF) {
            out.push_back(u'\uFFFD');
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::size_t WideLength(const WCHAR* text) {
    if (text == nullptr)
        return 0;
    std::size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

std::size_t WideLengthBounded(const WCHAR* text, std::size_t capacity) {
    if (text == nullptr)
        return 0;
    std::size_t n = 0;
    while (n < capacity && text[n] != 0)
        ++n;
    return n;
}

std::u16string_view WideView(const WCHAR* text) {
    return text == nullptr ? std::u16string_view{} : std::u16string_view(text, WideLength(text));
}

std::u16string_view WideView(const WCHAR* text, std::size_t capacity) {
    return text == nullptr ? std::u16string_view{}
                           : std::u16string_view(text, WideLengthBounded(text, capacity));
}

std::size_t CopyWide(WCHAR* destination, std::size_t capacity, std::u16string_view source) {
    if (capacity == 0)
        return 0;
    std::size_t n = CutOnCharacter(source, capacity - 1);
    for (std::size_t i = 0; i < n; ++i)
        destination[i] = source[i];
    destination[n] = 0;
    return n;
}

namespace {

// Case mapping must not depend on the process's locale: two programs on one
// device have to agree on which database names are the same.
locale_t UnicodeLocale() {
    static locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return l != static_cast<locale_t>(0)
                   ? l
                   : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    }();
    return locale;
}

}  // namespace

WCHAR ToLowerWide(WCHAR c) {
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    auto lower = towlower_l(static_cast<wint_t>(c), UnicodeLocale());
    return lower <= 0xFFFF ? static_cast<WCHAR>(lower) : c;
}

WCHAR ToUpperWide(WCHAR c) {
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    auto upper = towupper_l(static_cast<wint_t>(c), UnicodeLocale());
    return upper <= 0xFFFF ? static_cast<WCHAR>(upper) : c;
}

std::u16string ToLowerWide(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = ToLowerWide(c);
    return out;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    return CompareWideIgnoreCase(a, b) == 0;
}

int CompareWide(std::u16string_view a, std::u16string_view b) {
    int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CompareWideIgnoreCase(std::u16string_view a, std::u16string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        WCHAR x = ToLowerWide(a[i]);
        WCHAR y = ToLowerWide(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    return CompareWide(WideView(a), WideView(b));
}
int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    return CompareWideIgnoreCase(WideView(a), WideView(b));
}

bool IsWideSpace(WCHAR c) {
    if (c < 0x80)
        return c == u' ' || (c >= 0x09 && c <= 0x0D);
    return iswspace_l(static_cast<wint_t>(c), UnicodeLocale()) != 0;
}

}  // namespace ce

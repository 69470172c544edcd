#include "tools/devicectl/PropertyValues.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/core/Text.h"
#include "platform/time/Time.h"

namespace devicectl {
namespace {

struct TypeEntry {
    ce::WORD type;
    const char* name;
};

const TypeEntry kTypes[] = {
    {ce::CEVT_I2, "INT"},        {ce::CEVT_UI2, "UINT"},    {ce::CEVT_I4, "LONG"},
    {ce::CEVT_UI4, "ULONG"},     {ce::CEVT_R8, "FLOAT"},    {ce::CEVT_BOOL, "BOOLEAN"},
    {ce::CEVT_FILETIME, "DATE"}, {ce::CEVT_LPWSTR, "TEXT"}, {ce::CEVT_BLOB, "BINARY"},
};

bool ParseRange(const std::string& text, long long low, long long high, long long& value) {
    return ParseNumber(text, value) && value >= low && value <= high;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads exactly `digits` decimal digits at `at`.
bool Digits(const std::string& text, std::size_t at, std::size_t digits, int& value) {
    if (at + digits > text.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "2026-12-08T06:18:51Z" (UTC; the Z may be left out), "2026-12-08" (its
// midnight) or a FILETIME count. Nothing may follow, and every field must be
// in its range: SystemTimeToFileTime checks the calendar, the year is kept
// in range here before it is narrowed to 16 bits.
bool ParseDate(const std::string& text, ce::FILETIME& out) {
    long long raw;
    if (ParseNumber(text, raw)) {
        if (raw < 0)
            return false;
        out = ce::U64ToFileTime(static_cast<std::uint64_t>(raw));
        return true;
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!Digits(text, 0, 4, y) || text.size() < 10 || text[4] != '-' || !Digits(text, 5, 2, mo) ||
        text[7] != '-' || !Digits(text, 8, 2, d)) {
        return false;
    }
    if (text.size() > 10) {
        bool zone = text.size() == 20 && text[19] == 'Z';
        if ((text.size() != 19 && !zone) || text[10] != 'T' || !Digits(text, 11, 2, h) ||
            text[13] != ':' || !Digits(text, 14, 2, mi) || text[16] != ':' ||
            !Digits(text, 17, 2, s)) {
            return false;
        }
    }
    if (y < 1601)
        return false;
    ce::SYSTEMTIME st{};
    st.wYear = static_cast<ce::WORD>(y);
    st.wMonth = static_cast<ce::WORD>(mo);
    st.wDay = static_cast<ce::WORD>(d);
    st.wHour = static_cast<ce::WORD>(h);
    st.wMinute = static_cast<ce::WORD>(mi);
    st.wSecond = static_cast<ce::WORD>(s);
    return ce::SystemTimeToFileTime(&st, &out) != 0;
}

// A FLOAT: a finite number in range, or one of the words dump shows for the
// values that are not ("nan", "inf", "-inf").
bool ParseFloat(const std::string& text, double& out) {
    if (text == "nan" || text == "inf" || text == "-inf") {
        out = text == "nan" ? std::nan("") : (text == "inf" ? HUGE_VAL : -HUGE_VAL);
        return true;
    }
    // strtod also takes blanks in front, "nan(...)", "infinity" and sizes it
    // cannot hold (as infinities): none of them is a number here.
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    double d = std::strtod(text.c_str(), &end);
    if (*end != 0 || !std::isfinite(d))
        return false;
    out = d;
    return true;
}

}  // namespace

bool ParseNumber(const std::string& text, long long& value) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::size_t first = hex ? 2 : (!text.empty() && text[0] == '-' ? 1 : 0);
    // Digits only: strtoll itself would also take blanks, a '+', and after
    // "0x" a sign.
    if (first >= text.size())
        return false;
    for (std::size_t i = first; i < text.size(); ++i) {
        if (hex ? HexDigit(text[i]) < 0 : (text[i] < '0' || text[i] > '9'))
            return false;
    }
    errno = 0;
    char* end = nullptr;
    if (hex) {
        unsigned long long v = std::strtoull(text.c_str() + 2, &end, 16);
        value = static_cast<long long>(v);
        return errno == 0 && v <= static_cast<unsigned long long>(LLONG_MAX);
    }
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0;
}

bool ParseHex(const std::string& text, std::vector<ce::BYTE>& bytes) {
    bytes.clear();
    if (text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes.push_back(static_cast<ce::BYTE>(hi * 16 + lo));
    }
    return true;
}

const char* TypeName(ce::WORD type) {
    for (const TypeEntry& t : kTypes) {
        if (t.type == type)
            return t.name;
    }
    return "";
}

std::optional<ce::WORD> TypeFromName(const std::string& name) {
    std::string upper;
    for (char c : name)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    for (const TypeEntry& t : kTypes) {
        if (upper == t.name)
            return t.type;
    }
    return std::nullopt;
}

void ParsedProperty::Bind() {
    switch (ce::TypeFromPropID(value.propid)) {
        case ce::CEVT_LPWSTR:
            value.val.lpwstr = textAbsent ? nullptr : text.data();
            break;
        case ce::CEVT_BLOB:
            value.val.blob.dwCount = static_cast<ce::DWORD>(bytes.size());
            value.val.blob.lpb = bytes.empty() ? nullptr : bytes.data();
            break;
        default:
            break;
    }
}

bool ParseProperty(const std::string& argument, ParsedProperty& out, std::string& error) {
    out = ParsedProperty{};
    std::size_t colon = argument.find(':');
    if (colon == std::string::npos) {
        error = "expected ID:TYPE=VALUE, found \"" + argument + "\"";
        return false;
    }
    std::size_t equals = argument.find('=', colon);
    std::string idText = argument.substr(0, colon);
    std::string typeText = argument.substr(
        colon + 1, equals == std::string::npos ? std::string::npos : equals - colon - 1);
    bool hasValue = equals != std::string::npos;
    std::string valueText = hasValue ? argument.substr(equals + 1) : "";
    long long id;
    if (!ParseRange(idText, 0, 65535, id)) {
        error = "property id \"" + idText + "\" is not a number from 0 to 65535";
        return false;
    }
    std::optional<ce::WORD> type = TypeFromName(typeText);
    if (!type) {
        error = "unknown property type \"" + typeText +
                "\" (use INT UINT LONG ULONG FLOAT BOOLEAN DATE TEXT BINARY)";
        return false;
    }
    out.value.propid = ce::MakePropID(static_cast<ce::WORD>(id), *type);
    if (!hasValue && *type != ce::CEVT_LPWSTR) {
        error = "property " + idText + " has no value";
        return false;
    }
    long long number;
    auto bad = [&](const char* expected) {
        error = "value \"" + valueText + "\" of property " + idText + " is not " + expected;
        return false;
    };
    switch (*type) {
        case ce::CEVT_I2:
            if (!ParseRange(valueText, -32768, 32767, number))
                return bad("a 16-bit signed integer");
            out.value.val.iVal = static_cast<ce::SHORT>(number);
            break;
        case ce::CEVT_UI2:
            if (!ParseRange(valueText, 0, 65535, number))
                return bad("a 16-bit unsigned integer");
            out.value.val.uiVal = static_cast<ce::USHORT>(number);
            break;
        case ce::CEVT_I4:
            if (!ParseRange(valueText, -2147483648LL, 2147483647LL, number)) {
                return bad("a 32-bit signed integer");
            }
            out.value.val.lVal = static_cast<ce::LONG>(number);
            break;
        case ce::CEVT_UI4:
            if (!ParseRange(valueText, 0, 4294967295LL, number))
                return bad("a 32-bit unsigned integer");
            out.value.val.ulVal = static_cast<ce::ULONG>(number);
            break;
        case ce::CEVT_R8:
            if (!ParseFloat(valueText, out.value.val.dblVal))
                return bad("a number that a FLOAT holds (or nan, inf, -inf)");
            break;
        case ce::CEVT_BOOL:
            if (valueText == "1" || valueText == "true")
                out.value.val.boolVal = 1;
            else if (valueText == "0" || valueText == "false")
                out.value.val.boolVal = 0;
            else
                return bad("0, 1, true or false");
            break;
        case ce::CEVT_FILETIME:
            if (!ParseDate(valueText, out.value.val.filetime)) {
                return bad("a date from 1601 to 30827 (2026-12-08T06:18:51Z) or a FILETIME count");
            }
            break;
        case ce::CEVT_LPWSTR:
            out.textAbsent = !hasValue;
            out.text = ce::Utf8ToWide(valueText);
            break;
        case ce::CEVT_BLOB:
            if (!ParseHex(valueText, out.bytes))
                return bad("hex bytes");
            break;
    }
    out.Bind();
    return true;
}

std::string Hex(const ce::BYTE* bytes, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out + "\"";
}

namespace {

// A FLOAT as add takes it back: digits, or the words for the values that
// are not numbers.
std::string Double(double d) {
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d > 0 ? "inf" : "-inf";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", d);
    return buffer;
}

std::string UtcText(const ce::FILETIME& ft) {
    ce::SYSTEMTIME st;
    if (!ce::FileTimeToSystemTime(&ft, &st))
        return "?";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02uT%02u:%02u:%02uZ", st.wYear, st.wMonth,
                  st.wDay, st.wHour, st.wMinute, st.wSecond);
    return buffer;
}

}  // namespace

// The decimal text of a numeric value; false for other types.
bool NumberText(const ce::CEPROPVAL& v, std::string& out) {
    switch (ce::TypeFromPropID(v.propid)) {
        case ce::CEVT_I2:
            out = std::to_string(v.val.iVal);
            return true;
        case ce::CEVT_UI2:
            out = std::to_string(v.val.uiVal);
            return true;
        case ce::CEVT_I4:
            out = std::to_string(v.val.lVal);
            return true;
        case ce::CEVT_UI4:
            out = std::to_string(v.val.ulVal);
            return true;
        case ce::CEVT_R8:
            out = Double(v.val.dblVal);
            return true;
        default:
            return false;
    }
}

std::string ShowValue(const ce::CEPROPVAL& v) {
    if (std::string number; NumberText(v, number))
        return number;
    switch (ce::TypeFromPropID(v.propid)) {
        case ce::CEVT_BOOL:
            return v.val.boolVal ? "true" : "false";
        case ce::CEVT_FILETIME:
            return UtcText(v.val.filetime) + " (" +
                   std::to_string(ce::FileTimeToU64(v.val.filetime)) + ")";
        case ce::CEVT_LPWSTR:
            return v.val.lpwstr == nullptr ? "(absent)"
                                           : JsonString(ce::WideToUtf8(ce::WideView(v.val.lpwstr)));
        case ce::CEVT_BLOB:
            return std::to_string(v.val.blob.dwCount) + " bytes " +
                   Hex(v.val.blob.lpb, v.val.blob.lpb != nullptr ? v.val.blob.dwCount : 0);
        default:
            return "raw " + Hex(v.val.bytes, 8);
    }
}

std::string JsonValue(const ce::CEPROPVAL& v) {
    // JSON has no number for them: the words, as strings.
    if (ce::TypeFromPropID(v.propid) == ce::CEVT_R8 && !std::isfinite(v.val.dblVal))
        return JsonString(Double(v.val.dblVal));
    if (std::string number; NumberText(v, number))
        return number;
    switch (ce::TypeFromPropID(v.propid)) {
        case ce::CEVT_BOOL:
            return v.val.boolVal ? "1" : "0";
        case ce::CEVT_FILETIME:
            return std::to_string(ce::FileTimeToU64(v.val.filetime));
        case ce::CEVT_LPWSTR:
            return v.val.lpwstr == nullptr ? "null"
                                           : JsonString(ce::WideToUtf8(ce::WideView(v.val.lpwstr)));
        case ce::CEVT_BLOB:
            return JsonString(
                Hex(v.val.blob.lpb, v.val.blob.lpb != nullptr ? v.val.blob.dwCount : 0));
        default:
            return JsonString(Hex(v.val.bytes, 8));
    }
}

}  // namespace devicectl

#include "editor/NumberInput.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "resources/EditorIds.h"

namespace editor {

using namespace ce;

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<long long> ParseInteger(std::u16string_view text, bool allowSign) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    bool negative = false;
    if (allowSign && !text.empty() && text.front() == u'-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    unsigned long long magnitude = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + static_cast<unsigned>(c - u'0');
        if (magnitude > 0xFFFFFFFFFFFFull)
            return std::nullopt;
    }
    long long value = static_cast<long long>(magnitude);
    return negative ? -value : value;
}

std::optional<double> ParseFloat(std::u16string_view text) {
    text = Trimmed(text);
    if (text.empty() || text.size() > 260)
        return std::nullopt;
    std::string narrow;
    for (char16_t c : text) {
        bool allowed = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+' ||
                       c == u'e' || c == u'E';
        if (!allowed)
            return std::nullopt;
        narrow.push_back(static_cast<char>(c));
    }
    char* end = nullptr;
    double value = std::strtod(narrow.c_str(), &end);
    if (end != narrow.c_str() + narrow.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool ReadNumber(WORD type, std::u16string_view text, CEVALUNION& value) {
    if (type == CEVT_R8) {
        std::optional<double> number = ParseFloat(text);
        if (!number)
            return false;
        value.dblVal = *number;
        return true;
    }
    bool isSigned = type == CEVT_I2 || type == CEVT_I4;
    std::optional<long long> number = ParseInteger(text, isSigned);
    if (!number)
        return false;
    long long n = *number;
    switch (type) {
        case CEVT_I2:
            if (n < -32768 || n > 32767)
                return false;
            value.iVal = static_cast<SHORT>(n);
            return true;
        case CEVT_UI2:
            if (n < 0 || n > 65535)
                return false;
            value.uiVal = static_cast<USHORT>(n);
            return true;
        case CEVT_I4:
            if (n < -2147483648LL || n > 2147483647LL)
                return false;
            value.lVal = static_cast<LONG>(n);
            return true;
        case CEVT_UI4:
            if (n < 0 || n > 4294967295LL)
                return false;
            value.ulVal = static_cast<ULONG>(n);
            return true;
        default:
            return false;
    }
}

UINT BadNumberMessage(WORD type) {
    switch (type) {
        case CEVT_I2:
            return res::IDS_BAD_INT;
        case CEVT_UI2:
            return res::IDS_BAD_UINT;
        case CEVT_I4:
            return res::IDS_BAD_LONG;
        case CEVT_UI4:
            return res::IDS_BAD_ULONG;
        default:
            return res::IDS_BAD_FLOAT;
    }
}

}  // namespace editor

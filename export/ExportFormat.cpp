#include "export/ExportFormat.h"

#include <cstdio>

#include "store/Formatting.h"

namespace textexport {

using namespace ce;

namespace {

std::u16string Decimal(long long value) {
    char digits[24];
    int n = std::snprintf(digits, sizeof digits, "%lld", value);
    return std::u16string(digits, digits + (n > 0 ? n : 0));
}

bool IsNumberType(WORD type) {
    return type == CEVT_I2 || type == CEVT_I4 || type == CEVT_UI2 || type == CEVT_UI4 ||
           type == CEVT_R8 || type == CEVT_FILETIME;
}

}  // namespace

WCHAR SeparatorOf(int fileType) {
    return fileType == kTabSeparated ? kTab : kComma;
}

std::u16string FieldText(const CEPROPVAL& value) {
    switch (TypeFromPropID(value.propid)) {
        case CEVT_I2:
            return Decimal(value.val.iVal);
        case CEVT_I4:
            return Decimal(value.val.lVal);
        case CEVT_UI2:
            return Decimal(value.val.uiVal);
        case CEVT_UI4:
            return Decimal(value.val.ulVal);
        case CEVT_R8:
            return store::FormatDouble(value.val.dblVal, 5);
        case CEVT_FILETIME: {
            store::DateTime local = store::DateTime::FromFileTime(value.val.filetime);
            std::u16string text = local.ShortDate();
            text += u' ';
            text += local.TimeText(true);
            return text;
        }
        case CEVT_LPWSTR:
            return value.val.lpwstr != nullptr ? std::u16string(value.val.lpwstr)
                                               : std::u16string();
        default:
            return {};
    }
}

bool IsQuoted(WORD type, std::u16string_view text, WCHAR separator) {
    if (text.empty())
        return false;
    if (type == CEVT_LPWSTR)
        return true;
    if (!IsNumberType(type))
        return false;
    return separator == kComma || text.find_first_of(u"\t,") != std::u16string_view::npos;
}

void LineEncoder::Put(WCHAR unit, std::vector<BYTE>& out) const {
    out.push_back(static_cast<BYTE>(unit & 0xFF));
    if (unicode_)
        out.push_back(static_cast<BYTE>(unit >> 8));
}

void LineEncoder::AppendByteOrderMark(std::vector<BYTE>& out) const {
    if (unicode_) {
        out.push_back(0xFF);
        out.push_back(0xFE);
    }
}

void LineEncoder::AppendField(const CEPROPVAL& value, std::vector<BYTE>& out) const {
    WORD type = TypeFromPropID(value.propid);
    std::u16string text = FieldText(value);
    if (!IsQuoted(type, text, separator_)) {
        for (WCHAR c : text)
            Put(c, out);
        return;
    }
    Put(u'"', out);
    for (WCHAR c : text) {
        if (c == u'"')
            Put(u'"', out);
        Put(c, out);
    }
    Put(u'"', out);
}

void LineEncoder::AppendRecord(const CEPROPVAL* values, WORD count, std::vector<BYTE>& out) const {
    for (WORD i = 0; i < count; ++i) {
        AppendField(values[i], out);
        if (i + 1 < count)
            Put(separator_, out);
    }
    Put(0x0D, out);
    Put(0x0A, out);
}

}  // namespace textexport

#include "editor/PropertyValue.h"

#include <cstring>

namespace editor {

using namespace ce;

PropertyValue::PropertyValue(const CEPROPVAL& value) : header_(value) {
    WORD type = TypeFromPropID(value.propid);
    if (type == CEVT_LPWSTR) {
        hasText_ = value.val.lpwstr != nullptr;
        if (hasText_)
            text_ = value.val.lpwstr;
    } else if (type == CEVT_BLOB && value.val.blob.dwCount > 0 && value.val.blob.lpb != nullptr) {
        bytes_.assign(value.val.blob.lpb, value.val.blob.lpb + value.val.blob.dwCount);
    }
    if (type == CEVT_BLOB)
        header_.val.blob.dwCount = static_cast<DWORD>(bytes_.size());
}

PropertyValue& PropertyValue::operator=(const PropertyValue& other) {
    if (this != &other) {
        header_ = other.header_;
        hasText_ = other.hasText_;
        text_ = other.text_;
        bytes_ = other.bytes_;
    }
    return *this;
}

void PropertyValue::SetText(std::u16string text, bool present) {
    text_ = std::move(text);
    hasText_ = present;
}

void PropertyValue::SetBytes(std::vector<BYTE> bytes) {
    bytes_ = std::move(bytes);
    header_.val.blob.dwCount = static_cast<DWORD>(bytes_.size());
}

CEPROPVAL PropertyValue::Value() const {
    CEPROPVAL value = header_;
    WORD type = TypeFromPropID(value.propid);
    if (type == CEVT_LPWSTR) {
        terminated_ = text_;
        value.val.lpwstr = hasText_ ? terminated_.data() : nullptr;
    } else if (type == CEVT_BLOB) {
        value.val.blob.dwCount = static_cast<DWORD>(bytes_.size());
        value.val.blob.lpb = bytes_.empty() ? nullptr : const_cast<BYTE*>(bytes_.data());
    }
    return value;
}

bool SameValue(const CEPROPVAL& a, const CEPROPVAL& b) {
    WORD type = TypeFromPropID(a.propid);
    if (type != TypeFromPropID(b.propid))
        return false;
    switch (type) {
        case CEVT_LPWSTR: {
            const WCHAR* ta = a.val.lpwstr != nullptr ? a.val.lpwstr : u"";
            const WCHAR* tb = b.val.lpwstr != nullptr ? b.val.lpwstr : u"";
            return std::u16string_view(ta) == std::u16string_view(tb);
        }
        case CEVT_BLOB:
            return a.val.blob.dwCount == b.val.blob.dwCount &&
                   (a.val.blob.dwCount == 0 ||
                    std::memcmp(a.val.blob.lpb, b.val.blob.lpb, a.val.blob.dwCount) == 0);
        case CEVT_I2:
            return a.val.iVal == b.val.iVal;
        case CEVT_UI2:
            return a.val.uiVal == b.val.uiVal;
        case CEVT_I4:
            return a.val.lVal == b.val.lVal;
        case CEVT_UI4:
            return a.val.ulVal == b.val.ulVal;
        case CEVT_BOOL:
            return a.val.boolVal == b.val.boolVal;
        case CEVT_R8:
            return a.val.dblVal == b.val.dblVal;
        case CEVT_FILETIME:
            return a.val.filetime.dwLowDateTime == b.val.filetime.dwLowDateTime &&
                   a.val.filetime.dwHighDateTime == b.val.filetime.dwHighDateTime;
        default:
            return std::memcmp(a.val.bytes, b.val.bytes, 8) == 0;
    }
}

}  // namespace editor

#include "editor/PropertyTypes.h"

#include "platform/core/WideFormat.h"
#include "resources/EditorIds.h"
#include "store/Formatting.h"

namespace editor {

using namespace ce;

namespace {

constexpr PropertyType kTypes[] = {
    {CEVT_I2, u"INT", u"Int (%d)", Pane::Number, res::IDS_INFO_INT},
    {CEVT_UI2, u"UINT", u"UInt (%d)", Pane::Number, res::IDS_INFO_UINT},
    {CEVT_I4, u"LONG", u"Long (%d)", Pane::Number, res::IDS_INFO_LONG},
    {CEVT_UI4, u"ULONG", u"ULong (%d)", Pane::Number, res::IDS_INFO_ULONG},
    {CEVT_R8, u"FLOAT", u"Float (%d)", Pane::Number, res::IDS_INFO_FLOAT},
    {CEVT_BOOL, u"BOOLEAN", u"Boolean (%d)", Pane::Boolean, 0},
    {CEVT_FILETIME, u"DATE", u"Date (%d)", Pane::Date, 0},
    {CEVT_LPWSTR, u"TEXT", u"Text (%d)", Pane::Text, 0},
    {CEVT_BLOB, u"BINARY", u"Binary (%d)", Pane::Binary, 0},
};

}  // namespace

const PropertyType* FindType(WORD code) {
    for (const PropertyType& type : kTypes) {
        if (type.code == code)
            return &type;
    }
    return nullptr;
}

std::optional<unsigned> SizeOf(const CEPROPVAL& value) {
    switch (TypeFromPropID(value.propid)) {
        case CEVT_I2:
        case CEVT_UI2:
            return 2;
        case CEVT_I4:
        case CEVT_UI4:
            return 4;
        case CEVT_R8:
        case CEVT_FILETIME:
            return 8;
        case CEVT_BOOL:
            return 1;
        case CEVT_LPWSTR: {
            unsigned length = 0;
            if (value.val.lpwstr != nullptr) {
                while (value.val.lpwstr[length] != 0)
                    ++length;
            }
            return length;
        }
        case CEVT_BLOB:
            return static_cast<unsigned>(value.val.blob.dwCount);
        default:
            return std::nullopt;
    }
}

std::u16string SizeText(const CEPROPVAL& value) {
    std::optional<unsigned> size = SizeOf(value);
    return size ? FormatWide(u"%u", {*size}) : std::u16string();
}

std::u16string NumberText(const CEPROPVAL& value) {
    switch (TypeFromPropID(value.propid)) {
        case CEVT_I2:
            return FormatWide(u"%d", {static_cast<int>(value.val.iVal)});
        case CEVT_UI2:
            return FormatWide(u"%u", {static_cast<unsigned>(value.val.uiVal)});
        case CEVT_I4:
            return FormatWide(u"%ld", {static_cast<long>(value.val.lVal)});
        case CEVT_UI4:
            return FormatWide(u"%lu", {static_cast<unsigned long>(value.val.ulVal)});
        case CEVT_R8:
            return store::FormatDouble(value.val.dblVal, 5);
        default:
            return {};
    }
}

std::u16string SearchText(const CEPROPVAL& value, bool numbersToo, bool& found) {
    found = false;
    WORD type = TypeFromPropID(value.propid);
    if (type == CEVT_LPWSTR) {
        found = value.val.lpwstr != nullptr;
        return found ? std::u16string(value.val.lpwstr) : std::u16string();
    }
    if (!numbersToo)
        return {};
    if (type == CEVT_FILETIME) {
        found = true;
        store::DateTime date = store::DateTime::FromFileTime(value.val.filetime);
        std::u16string text = date.ShortDate();
        text += u' ';
        text += date.TimeText(false);
        return text;
    }
    std::u16string text = NumberText(value);
    found = !text.empty();
    return text;
}

std::u16string SortItemText(CEPROPID property) {
    const PropertyType* type = TypeOf(property);
    return FormatWide(type != nullptr ? type->sortFormat : u"Unknown (%d)",
                      {static_cast<int>(NumberOf(property))});
}

}  // namespace editor

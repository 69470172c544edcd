#pragma once
// The nine property types the editor knows, by type code: the texts of the
// property list, the Sort By items, the value pane and Find.

#include <optional>
#include <string>

#include "platform/core/Types.h"

namespace editor {

using ce::CEPROPID;
using ce::CEPROPVAL;
using ce::UINT;
using ce::WORD;

enum class Pane { None, Number, Text, Binary, Boolean, Date };

struct PropertyType {
    WORD code;
    const char16_t* name;        // the Type column: "INT", "TEXT", ...
    const char16_t* sortFormat;  // the Sort By item: "Int (%d)"
    Pane pane;
    UINT infoString;  // the number field's info text; 0 for other panes
};

// The type of a code, or nullptr for a type the editor does not know.
const PropertyType* FindType(WORD code);
inline const PropertyType* TypeOf(CEPROPID id) {
    return FindType(ce::TypeFromPropID(id));
}
inline WORD NumberOf(CEPROPID id) {
    return static_cast<WORD>(id >> 16);
}

// The Size column: the fixed size, the text's length in characters ("0"
// when absent) or the byte count; nothing (an empty text) for a type the
// editor does not know.
std::optional<unsigned> SizeOf(const CEPROPVAL& value);
std::u16string SizeText(const CEPROPVAL& value);
// The number field's text of a number type ("%d", "%u", "%ld", "%lu", or
// the float with five decimals); empty for other types.
std::u16string NumberText(const CEPROPVAL& value);
// What Find compares: the text, or (numbers and dates only when asked) the
// number text and the date as its short date, a blank and its time
// without seconds in local time. Empty with `found` false when the type is
// not searched.
std::u16string SearchText(const CEPROPVAL& value, bool numbersToo, bool& found);
// The Sort By item of a sort property: "Text (3)", "Unknown (%d)" for others.
std::u16string SortItemText(CEPROPID property);

}  // namespace editor

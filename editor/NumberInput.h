#pragma once
// Reading the number field as the platform's GetDlgItemInt does (leading
// blanks, an optional minus sign for signed values, then digits only), and
// turning a typed value into a property value of its type with the range
// that type holds.

#include <optional>
#include <string_view>

#include "platform/core/Types.h"

namespace editor {

// The value, or nothing when the text is not a whole number or does not fit
// 64 bits.
std::optional<long long> ParseInteger(std::u16string_view text, bool allowSign);
// A floating value written in full (blanks around it allowed), or nothing.
std::optional<double> ParseFloat(std::u16string_view text);

// The number field's text as a value of `type` (an integer or float type),
// written into `value`; false when it is not a number in the type's range.
bool ReadNumber(ce::WORD type, std::u16string_view text, ce::CEVALUNION& value);
// The message that refuses bad input for a number type.
ce::UINT BadNumberMessage(ce::WORD type);

}  // namespace editor

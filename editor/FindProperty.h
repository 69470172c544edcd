#pragma once
// Find: the first property of a record whose value contains a text.

#include <optional>
#include <string_view>

#include "platform/core/Types.h"

namespace editor {

// The full identifier of the first property (in stored order) whose value
// contains `text`: texts always, numbers and dates (as their display texts)
// only with `numbersToo`; without `matchCase` both sides are lower-cased.
std::optional<ce::CEPROPID> MatchRecord(const ce::CEPROPVAL* properties, ce::WORD count,
                                        std::u16string_view text, bool matchCase, bool numbersToo);

}  // namespace editor

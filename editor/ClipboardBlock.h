#pragma once
// The clipboard format "TS_DatabasePropFmt": one property in a block of 16
// bytes (the property identifier, wLenData, wFlags and the 8 value bytes,
// little-endian) followed by the text with its terminator or the bytes of a
// binary value.

#include <optional>
#include <span>
#include <vector>

#include "editor/PropertyValue.h"

namespace editor {

inline constexpr const char16_t* kClipboardFormatName = u"TS_DatabasePropFmt";
inline constexpr std::size_t kClipboardHeaderSize = 16;

// The block of a property of a copyable type; nothing for any other type.
std::optional<std::vector<BYTE>> EncodeClipboardBlock(const CEPROPVAL& value);
// The property a block holds. A block shorter than its header or than the
// data it announces, a text without its terminator inside the block, or a
// property of a type the editor does not know gives nothing; nothing is read
// past the block.
std::optional<PropertyValue> DecodeClipboardBlock(std::span<const BYTE> block);

}  // namespace editor

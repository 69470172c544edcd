// Reads an arbitrary clipboard block as Paste does, and checks that what it
// accepts encodes back to a block no longer than the input's meaningful part.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "editor/ClipboardBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const ce::BYTE> block(data, size);
    std::optional<editor::PropertyValue> value = editor::DecodeClipboardBlock(block);
    if (!value)
        return 0;
    std::optional<std::vector<ce::BYTE>> again = editor::EncodeClipboardBlock(value->Value());
    if (!again || again->size() > size)
        std::abort();
    std::optional<editor::PropertyValue> twice = editor::DecodeClipboardBlock(*again);
    if (!twice || twice->text() != value->text() || twice->bytes() != value->bytes())
        std::abort();
    return 0;
}

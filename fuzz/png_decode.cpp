// The bitmap reader: any bytes either decode to an image of the size its
// header announces or are refused; never a crash or a read past the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gui/drawing/Surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto image = ce::gui::DecodePng(data, size);
    if (image && image->rgba.size() != static_cast<std::size_t>(image->width) *
                                           static_cast<std::size_t>(image->height) * 4)
        std::abort();
    return 0;
}

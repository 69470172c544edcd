#include <png.h>

#include <cstring>

#include "platform/gui/drawing/Surface.h"

namespace ce::gui {

std::shared_ptr<const Image> DecodePng(const BYTE* data, std::size_t size) {
    // The 8-byte signature and the IHDR chunk come before anything else.
    static const BYTE signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (data == nullptr || size < 33 || std::memcmp(data, signature, 8) != 0)
        return nullptr;
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, data, size) == 0)
        return nullptr;
    // Bitmaps of the program are small; refuse anything absurd before allocating.
    if (png.width == 0 || png.height == 0 || png.width > 4096 || png.height > 4096) {
        png_image_free(&png);
        return nullptr;
    }
    png.format = PNG_FORMAT_RGBA;
    auto image = std::make_shared<Image>();
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgba.resize(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, image->rgba.data(), 0, nullptr) == 0) {
        png_image_free(&png);
        return nullptr;
    }
    return image;
}

}  // namespace ce::gui

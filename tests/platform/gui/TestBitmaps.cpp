#include "tests/platform/gui/TestBitmaps.h"

#include <png.h>

#include <cstring>

namespace gui_test {

std::vector<ce::BYTE> EncodePng(int width, int height, const std::vector<ce::COLORREF>& pixels) {
    std::vector<ce::BYTE> rgb;
    for (ce::COLORREF c : pixels) {
        rgb.push_back(ce::GetRValue(c));
        rgb.push_back(ce::GetGValue(c));
        rgb.push_back(ce::GetBValue(c));
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr) == 0)
        return {};
    std::vector<ce::BYTE> out(size);
    if (png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr) == 0)
        return {};
    out.resize(size);
    return out;
}

}  // namespace gui_test

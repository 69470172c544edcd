#pragma once
// What a backend draws on. Core turns GDI calls (DrawText, FillRect, LineTo,
// BitBlt, ImageList_Draw) into these few operations in a window's client
// coordinates: text layout, alignment, clipping of text to rectangles and
// the transparency of image lists are worked out before they arrive here.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gui/WinTypes.h"

namespace ce::gui {

// Decoded pixels: 4 bytes per pixel (red, green, blue, alpha), row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<BYTE> rgba;

    COLORREF Pixel(int x, int y) const {
        std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)) *
                         4;
        return RGB(rgba[at], rgba[at + 1], rgba[at + 2]);
    }
};

// Decodes a PNG into an image; nullptr for data that is not a PNG this
// reader understands (it never reads past `size` bytes).
std::shared_ptr<const Image> DecodePng(const BYTE* data, std::size_t size);

class Surface {
public:
    virtual ~Surface() = default;
    // Fills a rectangle (right and bottom exclusive).
    virtual void FillRect(const RECT& rect, COLORREF color) = 0;
    // A straight line of `width` pixels from `from` up to, not including, `to`.
    virtual void DrawLine(POINT from, POINT to, COLORREF color, int width) = 0;
    // One line of text whose cell's top-left corner is `origin`; no
    // background. The font is described by its LOGFONTW (height in pixels,
    // negative for the character height; weight; face name).
    virtual void DrawText(POINT origin, std::u16string_view text, const LOGFONTW& font,
                          COLORREF color) = 0;
    // Copies `source` of `image` with its top-left corner at `destination`.
    // Pixels of the transparent colour (when it is not CLR_NONE) are skipped.
    virtual void DrawImage(const Image& image, const RECT& source, POINT destination,
                           COLORREF transparent) = 0;
    // Limits every following operation to `clip` (nullptr: the whole window).
    virtual void SetClip(const RECT* clip) = 0;
};

}  // namespace ce::gui

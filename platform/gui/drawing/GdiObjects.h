#pragma once
// Inside GDI: what a handle stands for, for the device-context code.

#include <memory>
#include <optional>

#include "platform/gui/WinTypes.h"
#include "platform/gui/drawing/Surface.h"

namespace ce::gui {

struct GdiObject {
    enum Kind { Font, Brush, Pen, Bitmap } kind = Font;
    LOGFONTW font{};
    COLORREF color = 0;
    bool hollow = false;  // NULL_BRUSH, PS_NULL
    int penStyle = 0;
    int penWidth = 1;
    std::shared_ptr<const Image> image;
    bool stock = false;
};

// A copy of the object's description, or nothing for an unknown handle.
std::optional<GdiObject> ObjectCopy(HGDIOBJ handle);
HBITMAP CreateBitmapFromImage(std::shared_ptr<const Image> image);
// Copies part of an image onto a device context's surface.
void DrawImageOn(HDC hdc, const Image& image, RECT source, POINT destination, COLORREF transparent);

}  // namespace ce::gui

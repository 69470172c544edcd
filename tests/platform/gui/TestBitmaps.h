#pragma once
// Bitmaps written for a test: RGB pixels encoded as the PNG a bitmap
// resource holds.

#include <vector>

#include "platform/gui/WinTypes.h"

namespace gui_test {

// Encodes `pixels` (width × height colours, row by row) as a PNG.
std::vector<ce::BYTE> EncodePng(int width, int height, const std::vector<ce::COLORREF>& pixels);

}  // namespace gui_test

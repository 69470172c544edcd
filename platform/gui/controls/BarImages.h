#pragma once
// What the bars' image buttons share: the colour that stays transparent in
// button bitmaps and the greyed copy a disabled button shows.

#include <memory>

#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/drawing/Surface.h"

namespace ce::gui {

inline constexpr COLORREF kButtonTransparent = RGB(192, 192, 192);

// The images as a disabled button shows them: lighter greys. Only
// transparent pixels stay light grey; a drawn pixel that would become that
// grey is made a shade darker so that it is still drawn.
std::shared_ptr<const Image> GreyedImage(const Image& image);

// Adds the platform's standard and view image sets (bitmaps 0 and 4) to the
// module that CommonControlsModule() returns.
void AddCommonControlImages(ResourceModule& module);

}  // namespace ce::gui

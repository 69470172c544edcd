#pragma once
// Inside the window system: the picture an icon handle stands for, for the
// backends that show a window's icon.

#include <memory>

#include "platform/gui/WinTypes.h"
#include "platform/gui/drawing/Surface.h"

namespace ce::gui {

// The icon's picture, or nullptr for an unknown handle.
std::shared_ptr<const Image> IconImage(HICON icon);

}  // namespace ce::gui

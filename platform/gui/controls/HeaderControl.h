#pragma once
// Inside the window system: the header control's items, which the list
// view that owns the header reads for its column widths.

#include <string>
#include <vector>

#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {

struct HeaderItem {
    std::u16string text;
    int width = 0;
    int format = HDF_LEFT | HDF_STRING;
    LPARAM lParam = 0;
    int image = -1;
};

struct HeaderState : ControlState {
    std::vector<HeaderItem> items;
    HIMAGELIST images = nullptr;
    int pressed = -1;
    int tracking = -1;
};

HeaderState& HeaderOf(HWND header);
// The same, or nullptr when the header is gone (with the list view that owns it).
HeaderState* FindHeader(HWND header);
// An item's rectangle in the header's client coordinates.
RECT HeaderItemRect(const HeaderState& state, int index, int height);
void OffsetRectBy(RECT& r, int dx, int dy);
// The height a header needs for its font.
int HeaderHeight(HWND header);

}  // namespace ce::gui

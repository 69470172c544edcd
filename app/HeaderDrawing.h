#pragma once
// The list header's owner-drawn items: the sort mark of the sorted column
// and the title, shortened with "..." when it does not fit.

#include <string>

#include "platform/gui/Gdi.h"

namespace app {

void DrawHeaderItem(const ce::DRAWITEMSTRUCT* request, ce::DWORD key, bool ascending);

// The longest beginning of `text` that fits `room` pixels with "..." after
// it (at least one character), or the text itself when it fits.
std::u16string ShortenToFit(ce::HDC dc, std::u16string_view text, int room);

}  // namespace app

#pragma once
// The browser's wide templates (block 2400-2499): on a screen wider than
// high a dialog of the palm-size edition uses its wide template, so that it
// fits between the shell's strip and the menu bar.

#include "platform/gui/WinTypes.h"

namespace res {

inline constexpr ce::UINT IDD_OPTIONS_WIDE = 2410;
inline constexpr ce::UINT IDD_ABOUT_WIDE = 2411;

struct TemplatePair {
    ce::UINT narrow;
    ce::UINT wide;
};

// Every template that has a wide partner, with it.
inline constexpr TemplatePair kWideTemplates[] = {
    {101, IDD_ABOUT_WIDE},
    {111, IDD_OPTIONS_WIDE},
};

}  // namespace res

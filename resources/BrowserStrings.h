#pragma once
// Ids of the browser's own texts (block 2400-2499).

#include "platform/gui/WinTypes.h"

namespace res {

using ce::UINT;

// Help: no browser could be started for the help file (its path).
inline constexpr UINT IDS_HELP_NOT_SHOWN = 2400;
// About: the store's figures in megabytes, once kilobytes grow too long.
inline constexpr UINT IDS_AVAILABLE_MEMORY_MB = 2401;
inline constexpr UINT IDS_FREE_MEMORY_MB = 2402;

}  // namespace res

#pragma once

#include "platform/core/Types.h"

namespace ce {

// The calling thread's last error, set by every platform call that fails.
DWORD GetLastError();
void SetLastError(DWORD code);

}  // namespace ce

#include "platform/core/LastError.h"

namespace ce {
namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD code) {
    lastError = code;
}

}  // namespace ce

#include "platform/gui/Cursor.h"

#include <atomic>

namespace ce {
namespace {

std::atomic<HCURSOR> current{nullptr};

HCURSOR WaitCursor() {
    return reinterpret_cast<HCURSOR>(std::uintptr_t{32514});
}
HCURSOR ArrowCursor() {
    return reinterpret_cast<HCURSOR>(std::uintptr_t{32512});
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE, const WCHAR* name) {
    if (name == IDC_WAIT)
        return WaitCursor();
    if (name == IDC_ARROW)
        return ArrowCursor();
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    return current.exchange(cursor);
}
HCURSOR GetCursor() {
    return current.load();
}
bool WaitCursorShown() {
    return current.load() == WaitCursor();
}

}  // namespace ce

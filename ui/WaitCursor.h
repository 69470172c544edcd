#pragma once
// The wait cursor for the length of a scope (a refill, a sort, a copy).

#include "platform/gui/Cursor.h"

namespace ui {

class WaitCursor {
public:
    WaitCursor() : previous_(ce::SetCursor(ce::LoadCursorW(nullptr, ce::IDC_WAIT))) {}
    ~WaitCursor() { ce::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    ce::HCURSOR previous_;
};

// Removes the wait cursor, for a message box that interrupts a long step.
inline void RemoveWaitCursor() {
    ce::SetCursor(nullptr);
}

}  // namespace ui

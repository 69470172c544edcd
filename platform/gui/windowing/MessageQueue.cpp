// Sent and posted messages, the message loop's retrieval order (posted
// messages, quit, paint, timers), timers on the backend's clock and the
// keyboard state.

#include <algorithm>
#include <utility>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

bool Matches(const MSG& m, HWND filter, UINT low, UINT high) {
    if (filter != nullptr && m.hwnd != filter && !IsChild(filter, m.hwnd))
        return false;
    if (low == 0 && high == 0)
        return true;
    return m.message >= low && m.message <= high;
}

void NoteKey(const MSG& m) {
    if (m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_SYSKEYDOWN ||
        m.message == WM_SYSKEYUP) {
        bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
        System().keys[m.wParam & 0xFF] = down ? 0x80 : 0;
    }
}

// Keys pressed while Alt is held (without Ctrl) are system keys, as Alt itself is.
void MarkSystemKey(MSG& m) {
    if (m.message != WM_KEYDOWN && m.message != WM_KEYUP)
        return;
    const BYTE* keys = System().keys;
    if ((keys[VK_MENU] & 0x80) == 0 || (keys[VK_CONTROL] & 0x80) != 0)
        return;
    m.message = m.message == WM_KEYDOWN ? WM_SYSKEYDOWN : WM_SYSKEYUP;
}

HWND FindInvalid(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (w == nullptr || (w->style & WS_VISIBLE) == 0)
        return nullptr;
    if (w->invalid && w->redraw)
        return hwnd;
    for (HWND child : w->children) {
        if (HWND found = FindInvalid(child))
            return found;
    }
    return nullptr;
}

HWND NextInvalidWindow() {
    std::vector<HWND> tops = System().topLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (HWND found = FindInvalid(*it))
            return found;
    }
    return nullptr;
}

std::optional<DWORD> NextDeadline() {
    std::optional<DWORD> deadline;
    DWORD now = Now();
    for (const Timer& t : System().timers) {
        DWORD wait =
            static_cast<DWORD>(static_cast<std::int32_t>(t.due - now) < 0 ? 0 : t.due - now);
        if (!deadline || now + wait < *deadline)
            deadline = now + wait;
    }
    return deadline;
}

bool TakeDueTimer(MSG* out, HWND filter) {
    WindowSystem& system = System();
    DWORD now = Now();
    for (Timer& t : system.timers) {
        if (static_cast<std::int32_t>(now - t.due) < 0)
            continue;
        if (filter != nullptr && t.window != filter && !IsChild(filter, t.window))
            continue;
        *out = {t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.procedure), now, {}};
        t.due = now + std::max<UINT>(t.interval, 1);
        return true;
    }
    return false;
}

// One pass over the sources in the platform's order.
bool TryTake(MSG* out, HWND filter, UINT low, UINT high, bool remove) {
    WindowSystem& system = System();
    CollectExternalEvents();
    for (auto it = system.posted.begin(); it != system.posted.end(); ++it) {
        if (!Matches(*it, filter, low, high))
            continue;
        *out = *it;
        if (remove) {
            system.posted.erase(it);
            NoteKey(*out);
            MarkSystemKey(*out);
        }
        return true;
    }
    if (system.quit && filter == nullptr) {
        *out = {nullptr, WM_QUIT, static_cast<WPARAM>(system.quitCode), 0, Now(), {}};
        if (remove)
            system.quit = false;
        return true;
    }
    if (low == 0 && high == 0) {
        HWND invalid = NextInvalidWindow();
        if (invalid != nullptr &&
            (filter == nullptr || filter == invalid || IsChild(filter, invalid))) {
            *out = {invalid, WM_PAINT, 0, 0, Now(), {}};
            return true;
        }
        if (remove && TakeDueTimer(out, filter))
            return true;
    }
    return false;
}

bool Ended(HWND dialog) {
    Window* w = Peek(dialog);
    return w != nullptr && w->dialog != nullptr && w->dialog->ended;
}

// Ends the loop that waits when no input can ever come: a modal dialog's
// loop ends its dialog, any other loop gets WM_QUIT.
void GiveUp(MSG* out, HWND dialogLoop) {
    if (dialogLoop != nullptr) {
        if (Peek(dialogLoop) != nullptr && !Ended(dialogLoop))
            EndDialog(dialogLoop, IDCANCEL);
        *out = {nullptr, WM_NULL, 0, 0, Now(), {}};
        return;
    }
    *out = {nullptr, WM_QUIT, 0, 0, Now(), {}};
}

}  // namespace

DWORD Now() {
    return CurrentBackend().Now();
}

void PaintPendingWindows() {
    // A window that stays invalid after its paint (it never validates) is
    // painted once, not forever.
    std::vector<HWND> painted;
    for (HWND hwnd = NextInvalidWindow(); hwnd != nullptr; hwnd = NextInvalidWindow()) {
        if (std::find(painted.begin(), painted.end(), hwnd) != painted.end())
            break;
        painted.push_back(hwnd);
        PaintIfNeeded(hwnd);
    }
}

void ForgetWindowMessages(HWND hwnd) {
    WindowSystem& system = System();
    auto& posted = system.posted;
    posted.erase(
        std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
        posted.end());
    auto& timers = system.timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == hwnd; }),
                 timers.end());
}

bool InModalLoop() {
    WindowSystem& system = System();
    return !system.modalDialogs.empty() || system.popupDepth > 0;
}

}  // namespace ce::gui

namespace ce {

using gui::System;

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gui::Find(hwnd) == nullptr)
        return 0;
    return gui::Deliver(hwnd, message, wParam, lParam);
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd != nullptr && gui::Find(hwnd) == nullptr)
        return FALSE;
    System().posted.push_back({hwnd, message, wParam, lParam, gui::Now(), {}});
    return TRUE;
}

void PostQuitMessage(int code) {
    System().quit = true;
    System().quitCode = code;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT low, UINT high) {
    // Only the dialog's own loop ends with its dialog; a loop nested inside
    // the dialog's procedure goes on waiting for what it waits for.
    HWND dialogLoop = std::exchange(System().dialogLoop, nullptr);
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (;;) {
        if (gui::TryTake(msg, hwnd, low, high, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        // The dialog ended while its loop waited here (by input handled
        // inside the wait): return so that the loop sees the end.
        if (gui::Ended(dialogLoop)) {
            *msg = {dialogLoop, WM_NULL, 0, 0, gui::Now(), {}};
            return TRUE;
        }
        gui::WaitRequest request;
        request.block = true;
        request.deadline = gui::NextDeadline();
        auto& modal = System().modalDialogs;
        request.modalDialog = modal.empty() ? nullptr : modal.back();
        if (!gui::CurrentBackend().WaitForInput(request)) {
            gui::GiveUp(msg, dialogLoop);
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
    }
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT low, UINT high, UINT remove) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool take = (remove & PM_REMOVE) != 0;
    if (gui::TryTake(msg, hwnd, low, high, take))
        return TRUE;
    gui::WaitRequest request;
    request.block = false;
    auto& modal = System().modalDialogs;
    request.modalDialog = modal.empty() ? nullptr : modal.back();
    gui::CurrentBackend().WaitForInput(request);
    return gui::TryTake(msg, hwnd, low, high, take) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg != nullptr && msg->message == WM_SYSKEYDOWN &&
        ((msg->wParam >= 'A' && msg->wParam <= 'Z') ||
         (msg->wParam >= '0' && msg->wParam <= '9'))) {
        WCHAR c = static_cast<WCHAR>(msg->wParam >= 'A' ? msg->wParam - 'A' + 'a' : msg->wParam);
        System().posted.push_front({msg->hwnd, WM_SYSCHAR, c, msg->lParam, msg->time, msg->pt});
        return TRUE;
    }
    if (msg == nullptr || msg->message != WM_KEYDOWN)
        return FALSE;
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GetKeyState(VK_MENU) & 0x8000) != 0)
        return FALSE;
    WPARAM vk = msg->wParam;
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    WCHAR c = 0;
    if (vk >= 'A' && vk <= 'Z')
        c = static_cast<WCHAR>(shift ? vk : vk - 'A' + 'a');
    else if (vk >= '0' && vk <= '9')
        c = static_cast<WCHAR>(vk);
    else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_ESCAPE || vk == VK_TAB)
        c = static_cast<WCHAR>(vk);
    if (c == 0)
        return FALSE;
    System().posted.push_front({msg->hwnd, WM_CHAR, c, msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) {
        if (msg != nullptr && msg->message == WM_TIMER && msg->lParam != 0) {
            auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
            proc(nullptr, WM_TIMER, static_cast<UINT>(msg->wParam), msg->time);
        }
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, static_cast<UINT>(msg->wParam), msg->time);
        return 0;
    }
    LRESULT result = gui::Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A procedure that ignores WM_PAINT must not make the loop spin.
        if (gui::Window* w = gui::Peek(msg->hwnd))
            w->invalid = false;
    }
    return result;
}

DWORD GetTickCount() {
    return gui::Now();
}

UINT SetTimer(HWND hwnd, UINT id, UINT elapse, TIMERPROC proc) {
    if (hwnd != nullptr && gui::Find(hwnd) == nullptr)
        return 0;
    auto& timers = System().timers;
    if (hwnd == nullptr) {
        UINT next = 0x7000;
        for (const gui::Timer& t : timers)
            next = std::max(next, t.id + 1);
        id = next;
    }
    DWORD due = gui::Now() + std::max<UINT>(elapse, 1);
    for (gui::Timer& t : timers) {
        if (t.window == hwnd && t.id == id) {
            t.interval = elapse;
            t.due = due;
            t.procedure = proc;
            return id == 0 ? 1 : id;
        }
    }
    timers.push_back({hwnd, id, elapse, due, proc});
    return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT id) {
    auto& timers = System().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const gui::Timer& t) { return t.window == hwnd && t.id == id; });
    if (it == timers.end())
        return FALSE;
    timers.erase(it);
    // A WM_TIMER already fetched is gone with the timer; none is ever queued.
    return TRUE;
}

SHORT GetKeyState(int key) {
    if (key < 0 || key > 255)
        return 0;
    return (System().keys[key] & 0x80) != 0 ? static_cast<SHORT>(0x8000) : 0;
}

}  // namespace ce

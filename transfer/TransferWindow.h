#pragma once
// The modeless window of an infrared transfer: its caption names the role
// and the database; a status line, a hint line (shown while the devices
// look for each other), a progress bar (shown from the header on) and
// Cancel, which sets the application's cancel request. While it exists the
// main window is disabled. In an unattended run each status text is also a
// line on the console.

#include <chrono>
#include <string>

#include "platform/gui/WinTypes.h"
#include "transfer/Transfer.h"

namespace transfer {

using ce::HWND;
using ce::UINT;

class TransferWindow {
public:
    TransferWindow() = default;
    virtual ~TransferWindow();
    TransferWindow(const TransferWindow&) = delete;
    TransferWindow& operator=(const TransferWindow&) = delete;

    // Clears the cancel request, shows the window over `owner` and disables
    // the main window. False when the window cannot be made.
    bool Create(HWND owner, std::u16string_view caption);
    // Enables the main window again and destroys the window.
    void Destroy();

    // The caption `captionId`, followed by " [name]" when a name is given.
    void SetCaption(UINT captionId, const ce::WCHAR* name);
    // Status text `formatId`, filled with the two numbers where it has them.
    void SetStatus(UINT formatId, int number = 0, int total = 0);
    // Shows the bar with range 0..`range`, step 1, and hides the hint line.
    void StartProgress(int range);
    void Step();

    // Dispatches every waiting message; then, if Cancel was pressed, asks
    // whether to cancel. False (stop) when the user said Yes; otherwise the
    // request is cleared and the windows repainted. An interrupt of an
    // unattended run (see RequestCancelFromSignal) stops without asking.
    bool Pump();
    // Pump, then the sender's pause before a send when it answered continue.
    bool PacedPump(int paceMs);

    HWND window() const { return window_; }

private:
    static ce::BOOL Procedure(HWND dialog, UINT message, ce::WPARAM wParam, ce::LPARAM lParam);

    HWND window_ = nullptr;
    bool disabledMain_ = false;
};

// The end of a role's search for the other device.
class SearchDeadline {
public:
    explicit SearchDeadline(SearchLimit limit)
        : limit_(limit), start_(std::chrono::steady_clock::now()) {}
    bool Passed() const {
        return limit_.milliseconds > 0 && std::chrono::steady_clock::now() - start_ >=
                                              std::chrono::milliseconds(limit_.milliseconds);
    }

private:
    SearchLimit limit_;
    std::chrono::steady_clock::time_point start_;
};

// The caption `captionId` with " [name]" appended (nothing for no name).
std::u16string CaptionText(UINT captionId, const ce::WCHAR* name);

// Makes the next pump step stop, as a confirmed Cancel does; safe to call
// from a signal handler. Tools install it for SIGINT and SIGTERM.
void RequestCancelFromSignal();
// Forgets such a request (each transfer starts without one).
void ClearSignalledCancel();

}  // namespace transfer

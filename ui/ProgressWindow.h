#pragma once
// The modeless progress window of long operations (backup, restore,
// registry backup): a title, a text, a bar and a Cancel button whose
// question the operation checks between records through Pump.

#include "platform/gui/WinTypes.h"

namespace ui {

using ce::HWND;
using ce::UINT;

// Removes and dispatches every message waiting in the thread's queue, giving
// `dialog` (when there is one) its dialog keyboard handling; a quit message
// is left for the program's own loop. What a long operation's window does
// between its steps.
void DispatchWaitingMessages(HWND dialog);

class ProgressWindow {
public:
    ProgressWindow(UINT cancelQuestionId, UINT titleId, ce::LONG range = 100);
    virtual ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // The instances of the operations that use one.
    static constexpr UINT kBackupQuestion = 260, kBackupTitle = 259;
    static constexpr UINT kRestoreQuestion = 261, kRestoreTitle = 250;
    static constexpr UINT kRegistryBackupQuestion = 102, kRegistryBackupTitle = 111;

    // Opens the window (hidden, with only the wait cursor, under the
    // no-progress switch). False when it cannot be created.
    bool Create(HWND owner);
    // Dispatches every pending message; false once the user confirmed Cancel.
    bool Pump();
    void Step();
    // The bar runs from 0 to `n`; the record counter of SetText is kept.
    void SetRange(ce::LONG n);
    // Shows format `formatId` filled with `name`, the position (the given
    // one, or the previous plus one for -1) and range - 1; the bar moves to
    // position + 1.
    void SetText(UINT formatId, ce::LONG position, const ce::WCHAR* name);

    HWND window() const { return window_; }
    bool cancelled() const { return cancelled_; }
    ce::LONG position() const { return position_; }

private:
    static ce::BOOL Procedure(HWND dialog, UINT message, ce::WPARAM wParam, ce::LPARAM lParam);
    void AskCancel();

    HWND window_ = nullptr;
    bool cancelled_ = false;
    UINT cancelQuestionId_;
    UINT titleId_;
    ce::LONG range_;
    ce::LONG position_ = 0;
    bool hidden_ = false;
};

}  // namespace ui

#include "ui/ProgressWindow.h"

#include "appcore/Application.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Cursor.h"
#include "platform/gui/Resources.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "ui/DialogFrame.h"
#include "ui/MessageBoxes.h"

namespace ui {

using namespace ce;

namespace {

bool NoProgress() {
    const appcore::Settings* settings = appcore::App().settings.get();
    return settings != nullptr && settings->noProgress != 0;
}

}  // namespace

ProgressWindow::ProgressWindow(UINT cancelQuestionId, UINT titleId, LONG range)
    : cancelQuestionId_(cancelQuestionId), titleId_(titleId), range_(range) {}

ProgressWindow::~ProgressWindow() {
    if (gui::ConsoleHost* console = gui::CurrentConsole(); console != nullptr)
        console->EndProgress();
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
    if (hidden_)
        SetCursor(nullptr);
}

bool ProgressWindow::Create(HWND owner) {
    hidden_ = NoProgress();
    window_ = CreateDialogParamW(appcore::App().instance, MAKEINTRESOURCE(res::IDD_PROGRESS), owner,
                                 &ProgressWindow::Procedure, reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr)
        return false;
    if (hidden_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else {
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
    }
    return true;
}

BOOL ProgressWindow::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ProgressWindow*>(lParam);
        SetWindowLongW(dialog, DWL_USER, lParam);
        InitDialogFrame(dialog, false, false);
        std::u16string title = LoadText(self->titleId_);
        SetWindowTextW(dialog, title.c_str());
        SetDlgItemTextW(dialog, res::IDC_TITLE, title.c_str());
        SetDlgItemTextW(dialog, res::IDC_PROGRESS_TEXT, u"");
        SendDlgItemMessageW(dialog, res::IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, self->range_);
        SendDlgItemMessageW(dialog, res::IDC_PROGRESS_BAR, PBM_SETSTEP, 0, 0);
        return TRUE;
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongW(dialog, DWL_USER));
    if (self == nullptr)
        return FALSE;
    BOOL result = FALSE;
    if (HandleFrameMessage(dialog, message, wParam, lParam, nullptr, result))
        return result;
    if (message == WM_COMMAND && LOWORD(static_cast<DWORD>(wParam)) == IDCANCEL) {
        self->AskCancel();
        return TRUE;
    }
    return FALSE;
}

void ProgressWindow::AskCancel() {
    if (hidden_ || cancelled_)
        return;
    if (MessageById(window_, cancelQuestionId_, kCancelQuestion) == IDYES)
        cancelled_ = true;
}

void DispatchWaitingMessages(HWND dialog) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        if (dialog == nullptr || !IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool ProgressWindow::Pump() {
    DispatchWaitingMessages(window_);
    return !cancelled_;
}

void ProgressWindow::Step() {
    if (!hidden_)
        SendDlgItemMessageW(window_, res::IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void ProgressWindow::SetRange(LONG n) {
    if (hidden_)
        return;
    range_ = n;
    SendDlgItemMessageW(window_, res::IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, n);
    SendDlgItemMessageW(window_, res::IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    SendDlgItemMessageW(window_, res::IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
}

void ProgressWindow::SetText(UINT formatId, LONG position, const WCHAR* name) {
    if (hidden_)
        return;
    position_ = position == -1 ? position_ + 1 : position;
    WCHAR format[256];
    LoadText(formatId, format, 256);
    std::u16string text = FormatWide(format, {name, position_, range_ - 1});
    SetDlgItemTextW(window_, res::IDC_PROGRESS_TEXT, text.c_str());
    // An unattended run shows the same text as a line on its terminal.
    if (gui::ConsoleHost* console = gui::CurrentConsole();
        console != nullptr && !appcore::RunningSilently())
        console->ShowProgress(text);
    SendDlgItemMessageW(window_, res::IDC_PROGRESS_BAR, PBM_SETPOS,
                        static_cast<WPARAM>(position_ + 1), 0);
}

}  // namespace ui

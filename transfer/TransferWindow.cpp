#include "transfer/TransferWindow.h"

#include <csignal>

#include "appcore/Application.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/time/Time.h"
#include "resources/ControlIds.h"
#include "resources/TransferIds.h"
#include "ui/DialogFrame.h"
#include "ui/Help.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressWindow.h"

namespace transfer {

using namespace ce;

namespace {

volatile std::sig_atomic_t signalledCancel = 0;

}  // namespace

void RequestCancelFromSignal() {
    signalledCancel = 1;
}

void ClearSignalledCancel() {
    signalledCancel = 0;
}

std::u16string CaptionText(UINT captionId, const WCHAR* name) {
    std::u16string caption = ui::LoadText(captionId);
    if (name != nullptr && name[0] != 0) {
        caption += u" [";
        caption += name;
        caption += u"]";
    }
    return caption;
}

TransferWindow::~TransferWindow() {
    Destroy();
}

BOOL TransferWindow::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ui::InitDialogFrame(dialog, false, true);
        return TRUE;
    }
    BOOL result = FALSE;
    if (ui::HandleFrameMessage(dialog, message, wParam, lParam, ui::kMainHelpTopic, result))
        return result;
    if (message == WM_COMMAND && LOWORD(static_cast<DWORD>(wParam)) == IDCANCEL) {
        appcore::App().cancelRequested = true;
        return TRUE;
    }
    return FALSE;
}

bool TransferWindow::Create(HWND owner, std::u16string_view caption) {
    appcore::Application& application = appcore::App();
    application.cancelRequested = false;
    ClearSignalledCancel();
    window_ = CreateDialogParamW(application.instance, MAKEINTRESOURCE(res::IDD_TRANSFER), owner,
                                 &TransferWindow::Procedure, 0);
    if (window_ == nullptr)
        return false;
    std::u16string text(caption);
    SetWindowTextW(window_, text.c_str());
    // The palm-size window paints its heading from the title control.
    SetDlgItemTextW(window_, res::IDC_TITLE, ui::LoadText(res::IDS_IR_HEADING).c_str());
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    if (application.mainWindow != nullptr && IsWindow(application.mainWindow)) {
        EnableWindow(application.mainWindow, FALSE);
        disabledMain_ = true;
    }
    return true;
}

void TransferWindow::Destroy() {
    appcore::Application& application = appcore::App();
    if (disabledMain_ && IsWindow(application.mainWindow))
        EnableWindow(application.mainWindow, TRUE);
    disabledMain_ = false;
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
}

void TransferWindow::SetCaption(UINT captionId, const WCHAR* name) {
    SetWindowTextW(window_, CaptionText(captionId, name).c_str());
}

void TransferWindow::SetStatus(UINT formatId, int number, int total) {
    std::u16string text = FormatWide(ui::LoadText(formatId), {number, total});
    SetDlgItemTextW(window_, res::IDC_TRANSFER_STATUS, text.c_str());
    if (gui::ConsoleHost* console = gui::CurrentConsole();
        console != nullptr && !appcore::RunningSilently()) {
        console->Say(text);
    }
}

void TransferWindow::StartProgress(int range) {
    HWND bar = GetDlgItem(window_, res::IDC_TRANSFER_PROGRESS);
    SendMessageW(bar, PBM_SETRANGE32, 0, range);
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    ShowWindow(bar, SW_SHOW);
    ShowWindow(GetDlgItem(window_, res::IDC_TRANSFER_HINT), SW_HIDE);
}

void TransferWindow::Step() {
    SendDlgItemMessageW(window_, res::IDC_TRANSFER_PROGRESS, PBM_STEPIT, 0, 0);
}

bool TransferWindow::Pump() {
    ui::DispatchWaitingMessages(window_);
    if (signalledCancel != 0)
        return false;
    appcore::Application& application = appcore::App();
    if (application.cancelRequested) {
        if (ui::MessageById(window_, res::IDS_IR_CANCEL_QUESTION, ui::kCancelQuestion) == IDYES)
            return false;
        application.cancelRequested = false;
        UpdateWindow(window_);
        if (application.mainWindow != nullptr)
            UpdateWindow(application.mainWindow);
    }
    return true;
}

bool TransferWindow::PacedPump(int paceMs) {
    if (!Pump())
        return false;
    if (paceMs > 0)
        Sleep(static_cast<DWORD>(paceMs));
    return true;
}

}  // namespace transfer

#include "ui/DialogFrame.h"

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Text.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "ui/Help.h"

namespace ui {

using namespace ce;

namespace {

bool WantsBoldFont(HWND child) {
    if (GetDlgCtrlID(child) == static_cast<int>(res::IDC_GROUP_CAPTION))
        return true;
    WCHAR className[16] = {};
    GetClassNameW(child, className, 16);
    if (!EqualsIgnoreCase(WideView(className, 16), u"BUTTON"))
        return false;
    DWORD type = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX;
}

}  // namespace

void InitDialogFrame(HWND dialog, bool doneButton, bool helpButton) {
    appcore::Shell().FrameDialog(dialog, doneButton, helpButton);
    const appcore::Settings* settings = appcore::App().settings.get();
    HFONT bold = settings != nullptr ? settings->boldFont : nullptr;
    if (bold == nullptr)
        return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (WantsBoldFont(child))
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    }
}

bool PaintDialogTitle(HWND dialog) {
    HWND title = GetDlgItem(dialog, static_cast<int>(res::IDC_TITLE));
    const appcore::Settings* settings = appcore::App().settings.get();
    if (title == nullptr || settings == nullptr || settings->boldFont == nullptr ||
        !appcore::Shell().PaintsDialogTitles())
        return false;
    WCHAR text[257] = {};
    GetWindowTextW(title, text, 257);
    if (text[0] == 0)
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT client;
    GetClientRect(dialog, &client);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    RECT area{LOWORD(static_cast<DWORD>(GetDialogBaseUnits())) * 5 / 4, 0, client.right, caption};
    HGDIOBJ oldFont = SelectObject(dc, settings->boldFont);
    COLORREF oldColor = SetTextColor(dc, RGB(0, 0, 128));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    MoveToEx(dc, 0, caption, nullptr);
    LineTo(dc, client.right, caption);
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
    EndPaint(dialog, &paint);
    return true;
}

bool DrawHelpButton(const DRAWITEMSTRUCT* request) {
    if (request == nullptr || request->CtlID != res::IDC_HELP_BUTTON)
        return false;
    const appcore::Application& application = appcore::App();
    HBITMAP bitmap = application.helpBitmap;
    BITMAP size{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof size, &size) != sizeof size)
        return true;
    HDC memory = CreateCompatibleDC(request->hDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    COLORREF corner = GetPixel(memory, 0, 0);
    HBRUSH background = CreateSolidBrush(corner == CLR_INVALID ? RGB(192, 192, 192) : corner);
    RECT client;
    GetClientRect(request->hwndItem, &client);
    FillRect(request->hDC, &client, background);
    DeleteObject(background);
    int shift = (request->itemState & ODS_SELECTED) != 0 ? (application.highResolution ? 2 : 1) : 0;
    int x = (client.right - size.bmWidth) / 2 + 1 + shift;
    int y = (client.bottom - size.bmHeight) / 2 + shift;
    BitBlt(request->hDC, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return true;
}

bool IsWideScreen() {
    return GetSystemMetrics(SM_CYSCREEN) < GetSystemMetrics(SM_CXSCREEN);
}

UINT ChooseTemplate(UINT portrait, UINT landscape) {
    return IsWideScreen() ? landscape : portrait;
}

bool HandleFrameMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                        const char16_t* helpTopic, BOOL& result) {
    switch (message) {
        case WM_PAINT:
            result = PaintDialogTitle(dialog) ? TRUE : FALSE;
            return result != FALSE;
        case WM_DRAWITEM:
            result = DrawHelpButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
            return result != FALSE;
        case WM_COMMAND:
            if (LOWORD(static_cast<DWORD>(wParam)) != res::IDC_HELP_BUTTON)
                return false;
            SendMessageW(dialog, WM_HELP, 0, 0);
            result = TRUE;
            return true;
        case WM_HELP:
            if (helpTopic != nullptr)
                ShowHelpTopic(helpTopic);
            result = TRUE;
            return true;
        default:
            return false;
    }
}

BOOL FramedDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                         const char16_t* helpTopic, DialogInit init, DialogCommand command) {
    BOOL result = FALSE;
    if (HandleFrameMessage(dialog, message, wParam, lParam, helpTopic, result))
        return result;
    switch (message) {
        case WM_INITDIALOG:
            init(dialog, lParam);
            return TRUE;
        case WM_COMMAND:
            return command(dialog, LOWORD(static_cast<DWORD>(wParam))) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

bool CloseOnOkOrCancel(HWND dialog, int id) {
    if (id != IDOK && id != IDCANCEL)
        return false;
    EndDialog(dialog, id);
    return true;
}

}  // namespace ui

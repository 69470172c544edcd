// guidemo: shows the program's main window with its menu bar and one dialog
// template in a palm-size frame, with the window backend the program would
// choose, so that a person can look at them.
//   guidemo [template id] [seconds]   (default: 111; stays until closed)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gui/BackendLoader.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/WinUser.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/Editions.h"

namespace {

using namespace ce;

UINT closeAfterMs = 0;
constexpr UINT kCloseTimer = 1;

void PaintTitle(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    WCHAR title[256] = {};
    GetDlgItemTextW(dialog, res::IDC_TITLE, title, 256);
    if (title[0] != 0) {
        LOGFONTW font;
        GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        HFONT bold = CreateFontIndirectW(&font);
        HGDIOBJ old = SelectObject(dc, bold);
        RECT client;
        GetClientRect(dialog, &client);
        int caption = GetSystemMetrics(SM_CYCAPTION);
        RECT r{LOWORD(static_cast<DWORD>(GetDialogBaseUnits())) * 5 / 4, 0, client.right, caption};
        SetTextColor(dc, RGB(0, 0, 128));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, title, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        MoveToEx(dc, 0, caption, nullptr);
        LineTo(dc, client.right, caption);
        SelectObject(dc, old);
        DeleteObject(bold);
    }
    EndPaint(dialog, &ps);
}

BOOL DemoDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
            SHInitDialog(&info);
            if (closeAfterMs != 0)
                SetTimer(dialog, kCloseTimer, closeAfterMs, nullptr);
            return TRUE;
        }
        case WM_PAINT:
            PaintTitle(dialog);
            return TRUE;
        case WM_TIMER:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(static_cast<DWORD>(wParam)) == IDOK ||
                LOWORD(static_cast<DWORD>(wParam)) == IDCANCEL)
                EndDialog(dialog, LOWORD(static_cast<DWORD>(wParam)));
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    UINT templateId = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : res::IDD_OPTIONS;
    closeAfterMs = argc > 2 ? static_cast<UINT>(std::atoi(argv[2]) * 1000) : 0;
    gui::InteractiveOptions options;
    std::printf("backend: %s\n", gui::InstallInteractiveBackend(options));
    HINSTANCE instance = res::PalmEdition();
    WNDCLASSW wc{};
    wc.lpfnWndProc = MainProc;
    wc.lpszClassName = u"GuiDemoMain";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&wc);
    HWND main =
        CreateWindowExW(0, u"GuiDemoMain", u"Tessaly", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    SHMENUBARINFO bar{sizeof(SHMENUBARINFO), main, 0, res::IDR_MAIN_MENU, instance, 0, 0, nullptr};
    bar.nBmpId = 125;
    bar.cBmpImages = 13;
    SHCreateMenuBar(&bar);
    int result = DialogBoxParamW(instance, MAKEINTRESOURCE(templateId), main, DemoDialog, 0);
    std::printf("dialog %u ended with %d\n", templateId, result);
    if (closeAfterMs == 0) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

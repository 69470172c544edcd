// A second process for the single-instance test: shows a top-level window
// of a class on the device it is pointed at (TESSALY_DEVICE), says "ready",
// and prints "raised" and ends when another process brings it forward.

#include <cstdio>

#include "platform/gui/Backend.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"

namespace {

using namespace ce;

LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE &&
        GetWindowLongW(hwnd, GWL_USERDATA) != 0) {
        std::printf("raised\n");
        std::fflush(stdout);
        PostQuitMessage(0);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int main() {
    auto backend = std::make_unique<gui::HeadlessBackend>(std::make_shared<gui::ConsoleHost>());
    backend->UseRealClock();
    gui::InstallBackend(std::move(backend));
    WNDCLASSW wc{};
    wc.lpfnWndProc = Procedure;
    wc.lpszClassName = u"PeerMainClass";
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, u"PeerMainClass", u"Peer", WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr);
    // A second window takes the activation, so that raising the first one shows.
    CreateWindowExW(0, u"PeerMainClass", u"Other", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                    nullptr, nullptr);
    SetWindowLongW(main, GWL_USERDATA, 1);
    SetTimer(nullptr, 0, 20000, nullptr);  // keeps the loop waiting, and ends a forgotten peer
    std::printf("ready\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr)
            return 2;
        DispatchMessageW(&msg);
    }
    return 0;
}

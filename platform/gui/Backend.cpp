#include "platform/gui/Backend.h"

#include <algorithm>
#include <mutex>

#include "platform/core/Text.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

std::unique_ptr<Backend>& Installed() {
    static std::unique_ptr<Backend>* backend = new std::unique_ptr<Backend>;
    return *backend;
}

}  // namespace

Backend& CurrentBackend() {
    std::unique_ptr<Backend>& backend = Installed();
    if (!backend)
        backend = std::make_unique<HeadlessBackend>(std::make_shared<ConsoleHost>());
    return *backend;
}

std::unique_ptr<Backend> InstallBackend(std::unique_ptr<Backend> backend) {
    if (Installed())
        ResetWindowSystem();
    std::unique_ptr<Backend> previous = std::move(Installed());
    Installed() = std::move(backend);
    return previous;
}

int ShowMessageBox(const MessageBoxRequest& request) {
    PaintPendingWindows();
    return CurrentBackend().ShowMessageBox(request);
}

int SafeAnswer(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_RETRYCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
    }
}

namespace {
int beeps = 0;
}  // namespace

int BeepsSounded() {
    return beeps;
}

int DensityThatFits(int width, int height, int dpi) {
    int shortSide = std::min(width, height);
    int longSide = std::max(width, height);
    // The room, in 96-dpi pixels, stays at least 240 by 320.
    int most = std::min(shortSide * 96 / 240, longSide * 96 / 320);
    if (dpi <= 96)
        return dpi;
    return std::max(96, std::min(dpi, most));
}

}  // namespace ce::gui

namespace ce {

BOOL MessageBeep(UINT) {
    ++gui::beeps;
    return TRUE;
}

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    gui::MessageBoxRequest request;
    request.owner = hWnd;
    request.text = WideView(lpText);
    request.caption = WideView(lpCaption);
    request.style = uType;
    return gui::ShowMessageBox(request);
}

}  // namespace ce

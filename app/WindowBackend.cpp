#include "app/WindowBackend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/gui/Backend.h"
#include "platform/gui/BackendLoader.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"

namespace app {

using namespace appcore;

namespace {

constexpr ce::UINT kKeepAliveTimer = 0x7E01;
constexpr ce::UINT kKeepAliveMs = 50;

void KeepAliveTick(ce::HWND, ce::UINT, ce::UINT, ce::DWORD) {
    static std::size_t reported = 0;
    ce::gui::HeadlessBackend* backend = ce::gui::CurrentHeadless();
    if (backend == nullptr)
        return;
    std::size_t raised = backend->raised().size();
    for (; reported < raised; ++reported) {
        std::printf("brought forward\n");
        std::fflush(stdout);
    }
}

}  // namespace

void InstallWindowBackend() {
    ce::gui::InstallInteractiveBackend(appcore::Shell().InteractiveWindowOptions());
}

bool HasInteractiveBackend() {
    return std::strcmp(ce::gui::CurrentBackend().Name(), "headless") != 0;
}

bool HeadlessInteractiveRequested() {
    const char* value = std::getenv("TESSALY_HEADLESS_INTERACTIVE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void InstallHeadlessInteractiveBackend() {
    auto backend =
        std::make_unique<ce::gui::HeadlessBackend>(std::make_shared<ce::gui::ConsoleHost>());
    backend->UseRealClock();
    ce::gui::InstallBackend(std::move(backend));
}

void StartHeadlessKeepAlive() {
    ce::SetTimer(App().mainWindow, kKeepAliveTimer, kKeepAliveMs, &KeepAliveTick);
    std::printf("ready\n");
    std::fflush(stdout);
}

}  // namespace app

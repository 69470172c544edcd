#include "app/Program.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/WindowBackend.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Text.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"
#include "platform/shell/Shell.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "ui/MessageBoxes.h"

namespace app {

using namespace appcore;

namespace {

void ExplainNoDisplay() {
    const char* name = appcore::Shell().ProgramName();
    bool display = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    std::fprintf(stderr, "%s: %s\n", name,
                 display ? "the window backend could not be started (see above)."
                         : "no display to show the window on.");
    std::fprintf(stderr,
                 "Run it where a display is set (DISPLAY or WAYLAND_DISPLAY), or under a virtual "
                 "X server:\n"
                 "  xvfb-run -s \"-screen 0 800x600x24\" %s\n"
                 "Without a window, use the unattended command line:\n"
                 "  %s /B file.bkp | /A script.abk | /R file.bkp  [/D] [/I] [/P] [/S]\n",
                 name, name);
}

int RunInteractive(bool keepAliveHeadless) {
    ce::HWND running = ce::FindWindowW(kMainClassName, nullptr);
    if (running != nullptr) {
        ce::SetForegroundWindow(running);
        ce::ShowWindow(running, ce::SW_SHOWNORMAL);
        return 0;
    }
    if (!RegisterMainClass() || !CreateMainWindow())
        return 0;
    appcore::Shell().InitExtraControls();
    if (keepAliveHeadless)
        StartHeadlessKeepAlive();
    return RunMessageLoop();
}

}  // namespace

int RunMessageLoop() {
    Application& application = App();
    ce::HACCEL accelerators = ce::LoadAcceleratorsW(
        application.instance, ce::MAKEINTRESOURCE(res::IDR_MAIN_ACCELERATORS));
    application.editorAccelerators = ce::LoadAcceleratorsW(
        application.instance, ce::MAKEINTRESOURCE(res::IDR_EDITOR_ACCELERATORS));
    ce::MSG msg{};
    while (ce::GetMessageW(&msg, nullptr, 0, 0)) {
        if (!ce::TranslateAcceleratorW(application.mainWindow, accelerators, &msg)) {
            ce::TranslateMessage(&msg);
            ce::DispatchMessageW(&msg);
        }
    }
    if (accelerators != nullptr)
        ce::DestroyAcceleratorTable(accelerators);
    if (application.editorAccelerators != nullptr)
        ce::DestroyAcceleratorTable(application.editorAccelerators);
    application.editorAccelerators = nullptr;
    return static_cast<int>(msg.wParam);
}

int ProgramEntry(ce::HINSTANCE instance, std::u16string_view commandLine) {
    App().instance = instance;
    if (!commandLine.empty())
        return RunCommandLine(commandLine);
    bool headless = HeadlessInteractiveRequested();
    if (headless) {
        InstallHeadlessInteractiveBackend();
    } else {
        InstallWindowBackend();
        if (!HasInteractiveBackend()) {
            ExplainNoDisplay();
            return 1;
        }
    }
    return RunInteractive(headless);
}

int RunProgram(ce::HINSTANCE instance, int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::string problem;
    if (!ce::device::EnsureDevice(&problem) || !ce::device::CheckVolume(&problem)) {
        std::fprintf(stderr, "%s: %s\n", appcore::Shell().ProgramName(), problem.c_str());
        return 1;
    }
    App().instance = instance;
    ce::SetShellMessageCaption(ui::LoadText(res::IDS_PRODUCT).c_str());
    return ProgramEntry(instance, JoinArguments(argc, argv));
}

}  // namespace app

#pragma once
// Choosing the interactive backend at run time. The Qt backend is a module
// (tessaly-qt.so beside the program) that is loaded only when a display is
// there, so that the programs never link Qt and the unattended command line
// never starts it. Without a display, or when the module cannot be loaded,
// the headless console host stays in use.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/gui/Backend.h"

namespace ce::gui {

// What a program tells the backend about its device and shell.
struct InteractiveOptions {
    // The screen when TESSALY_SCREEN does not say ("WxH").
    int defaultWidth = 240;
    int defaultHeight = 320;
    // The palm-size shell's strip across the top of the screen with the
    // window's text and the Done button; without it frames are ordinary
    // captioned windows of the desktop.
    bool shellStrip = true;
};

// The module's only entry point: a new backend, or nullptr with the reason
// in `error` (a zero-terminated text of at most `errorSize` bytes).
inline constexpr const char* kQtModuleFactory = "tessaly_create_qt_backend";
inline constexpr int kQtModuleInterface = 1;
using QtModuleFactory = Backend* (*)(int interfaceVersion, const InteractiveOptions* options,
                                     char* error, std::size_t errorSize);

// Whether a display can be reached: DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM is set (an X display on this host must have its socket).
bool DisplayAvailable(std::string* why);
// Where the module lives: beside the running program, or in the installed
// tree's module folder (InstalledPaths.h).
std::filesystem::path QtModulePath();
// Loads the module and makes its backend; nullptr with the reason in `why`.
std::unique_ptr<Backend> LoadQtBackend(const std::filesystem::path& module,
                                       const InteractiveOptions& options, std::string* why);
// Installs the Qt backend when a display is there, else keeps the headless
// console host; says on standard error why Qt could not be used. Returns the
// name of the backend in use.
const char* InstallInteractiveBackend(const InteractiveOptions& options,
                                      const std::filesystem::path& module = QtModulePath());

}  // namespace ce::gui

#include "platform/gui/BackendLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/gui/InstalledPaths.h"

namespace ce::gui {
namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0;
}

// ":N" or ":N.S" names a display of this host, reached through its socket.
bool LocalDisplayMissing(const std::string& display, std::string* socket) {
    if (display.size() < 2 || display[0] != ':')
        return false;
    std::size_t end = 1;
    while (end < display.size() && display[end] >= '0' && display[end] <= '9')
        ++end;
    if (end == 1)
        return false;
    *socket = "/tmp/.X11-unix/X" + display.substr(1, end - 1);
    std::error_code error;
    return !std::filesystem::exists(*socket, error);
}

}  // namespace

bool DisplayAvailable(std::string* why) {
    if (Set("QT_QPA_PLATFORM") || Set("WAYLAND_DISPLAY"))
        return true;
    if (!Set("DISPLAY")) {
        *why = "no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are not set)";
        return false;
    }
    std::string socket;
    if (LocalDisplayMissing(std::getenv("DISPLAY"), &socket)) {
        *why = std::string("display ") + std::getenv("DISPLAY") + " is not running (no " + socket +
               ")";
        return false;
    }
    return true;
}

std::filesystem::path QtModulePath() {
    return QtModuleFor(ProgramFolder());
}

std::unique_ptr<Backend> LoadQtBackend(const std::filesystem::path& module,
                                       const InteractiveOptions& options, std::string* why) {
    // The module stays loaded for the life of the process: its backend and
    // the toolkit's state must outlive every window.
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        *why = error != nullptr ? error : ("cannot load " + module.string());
        return nullptr;
    }
    auto factory = reinterpret_cast<QtModuleFactory>(dlsym(handle, kQtModuleFactory));
    if (factory == nullptr) {
        *why = module.string() + " has no " + kQtModuleFactory;
        return nullptr;
    }
    char error[512] = {};
    Backend* backend = factory(kQtModuleInterface, &options, error, sizeof error);
    if (backend == nullptr) {
        *why = error[0] != 0 ? error : "the Qt backend could not start";
        return nullptr;
    }
    return std::unique_ptr<Backend>(backend);
}

const char* InstallInteractiveBackend(const InteractiveOptions& options,
                                      const std::filesystem::path& module) {
    std::string why;
    if (!DisplayAvailable(&why))
        return CurrentBackend().Name();
    std::unique_ptr<Backend> backend = LoadQtBackend(module, options, &why);
    if (!backend) {
        std::fprintf(stderr, "Windows cannot be shown (%s); using the console instead.\n",
                     why.c_str());
        return CurrentBackend().Name();
    }
    InstallBackend(std::move(backend));
    return CurrentBackend().Name();
}

}  // namespace ce::gui

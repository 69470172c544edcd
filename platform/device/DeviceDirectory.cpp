#include "platform/device/DeviceDirectory.h"

#include <unistd.h>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/core/Text.h"

namespace ce::device {
namespace {

struct DeviceState {
    std::mutex mutex;
    std::filesystem::path chosen;
    std::vector<DeviceChangeHook> hooks;
};

DeviceState& State() {
    static DeviceState* state = new DeviceState;
    return *state;
}

std::filesystem::path DefaultDirectory() {
    if (const char* device = std::getenv("TESSALY_DEVICE"); device != nullptr && *device != 0) {
        return device;
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != 0) {
        return std::filesystem::path(data) / "tessaly" / "device";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share" / "tessaly" /
           "device";
}

}  // namespace

std::filesystem::path DeviceDirectory() {
    DeviceState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.chosen.empty())
        state.chosen = DefaultDirectory();
    return state.chosen;
}

void SetDeviceDirectory(const std::filesystem::path& directory) {
    std::vector<DeviceChangeHook> hooks;
    {
        DeviceState& state = State();
        std::lock_guard lock(state.mutex);
        hooks = state.hooks;
    }
    for (DeviceChangeHook hook : hooks)
        hook();
    DeviceState& state = State();
    std::lock_guard lock(state.mutex);
    state.chosen = directory;
}

void AddDeviceChangeHook(DeviceChangeHook hook) {
    DeviceState& state = State();
    std::lock_guard lock(state.mutex);
    state.hooks.push_back(hook);
}

bool EnsureDevice(std::string* error) {
    std::filesystem::path root = DeviceDirectory();
    std::error_code ec;
    for (const char* folder : {"windows", "My Documents"}) {
        std::filesystem::create_directories(root / "files" / folder, ec);
        if (ec) {
            if (error != nullptr) {
                *error =
                    "cannot create the device directory " + root.string() + ": " + ec.message();
            }
            return false;
        }
    }
    if (::access(root.c_str(), W_OK) != 0 || ::access((root / "files").c_str(), W_OK) != 0) {
        if (error != nullptr)
            *error = "the device directory " + root.string() + " is not writable";
        return false;
    }
    return true;
}

std::filesystem::path HostPath(std::u16string_view path) {
    if (!path.empty() && path.front() == u'\\') {
        std::filesystem::path host = DeviceDirectory() / "files";
        std::size_t start = 1;
        while (start <= path.size()) {
            std::size_t end = path.find(u'\\', start);
            if (end == std::u16string_view::npos)
                end = path.size();
            std::u16string_view part = path.substr(start, end - start);
            // Empty parts and "." / ".." never leave the device's file system.
            if (!part.empty() && part != u"." && part != u"..")
                host /= WideToUtf8(part);
            start = end + 1;
        }
        return host;
    }
    return std::filesystem::path(WideToUtf8(path));
}

std::filesystem::path VolumePath() {
    return DeviceDirectory() / "objectstore.db";
}

}  // namespace ce::device

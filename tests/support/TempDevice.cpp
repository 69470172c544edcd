#include "tests/support/TempDevice.h"

#include <unistd.h>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "platform/device/DeviceDirectory.h"

namespace testing_support {
namespace {

std::filesystem::path MakeTempDirectory(const char* prefix) {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    std::string pattern = (base / (std::string(prefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

}  // namespace

TempDevice::TempDevice() : path_(MakeTempDirectory("tessaly-device-")) {
    ce::device::SetDeviceDirectory(path_);
    ::setenv("TESSALY_DEVICE", path_.c_str(), 1);
}

TempDevice::~TempDevice() {
    ce::device::SetDeviceDirectory({});
    ::unsetenv("TESSALY_DEVICE");
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

TempDirectory::TempDirectory() : path_(MakeTempDirectory("tessaly-test-")) {}

TempDirectory::~TempDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace testing_support

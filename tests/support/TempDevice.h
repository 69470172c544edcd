#pragma once
// A fresh, empty device directory for one test, removed afterwards. The
// process is pointed at it for the test's lifetime.

#include <filesystem>
#include <string>

namespace testing_support {

class TempDevice {
public:
    TempDevice();
    ~TempDevice();
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Environment assignment that points a child process at this device.
    std::string EnvAssignment() const { return "TESSALY_DEVICE=" + path_.string(); }

private:
    std::filesystem::path path_;
};

// A fresh temporary directory, removed by the destructor.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support

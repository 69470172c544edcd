#pragma once
// The device a benchmark runs on: a new directory under the temporary
// directory, with the device in its "device" folder and room beside it for
// the peers' own files.

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/device/DeviceDirectory.h"

namespace bench {

// Makes the directory and points the device at it; `die` ends the run when
// it cannot be made.
inline std::filesystem::path UseTemporaryDevice(void (*die)(const std::string& what)) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tessaly-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        die("mkdtemp");
    std::filesystem::path root = pattern;
    ce::device::SetDeviceDirectory(root / "device");
    return root;
}

}  // namespace bench

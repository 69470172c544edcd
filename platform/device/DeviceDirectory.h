#pragma once
// The emulated device: one directory on the host holds the object store
// volume (objectstore.db) and the device's file system (files/).

#include <filesystem>
#include <string>
#include <string_view>

namespace ce::device {

// $TESSALY_DEVICE, else $XDG_DATA_HOME/tessaly/device, else
// ~/.local/share/tessaly/device; or what SetDeviceDirectory chose.
std::filesystem::path DeviceDirectory();

// Points this process at another device directory (tests, tools). Everything
// that holds the old device open (the volume) is closed first.
void SetDeviceDirectory(const std::filesystem::path& directory);

// Called when the device directory changes, so that open volumes can close.
using DeviceChangeHook = void (*)();
void AddDeviceChangeHook(DeviceChangeHook hook);

// Creates the device directory on first use, with the folders every device
// has (\windows and \My Documents). On failure returns false and describes
// the problem in `error`.
bool EnsureDevice(std::string* error);

// Where a device path lives on the host. A path that begins with "\" is a
// device path under files/ ("\My Documents\a.bkp" -> files/My Documents/a.bkp);
// any other path is a host path, used as given.
std::filesystem::path HostPath(std::u16string_view path);

// The object store volume of the device.
std::filesystem::path VolumePath();

}  // namespace ce::device

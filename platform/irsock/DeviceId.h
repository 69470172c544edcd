#pragma once
// A device's 4-byte IrDA identifier and its name, derived from the device
// directory, and the 8-digit hex form that room entries use.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/Types.h"

namespace ce::irsock {

using DeviceId = std::array<BYTE, 4>;

// The longest device name a discovery entry holds (22 bytes with the NUL).
inline constexpr std::size_t kMaxDeviceName = 21;

std::uint32_t Fnv1a32(std::string_view bytes);

// The FNV-1a hash of `text` (a hash of 0 becomes 1), little-endian.
DeviceId DeviceIdOfText(std::string_view text);

// The id of a device directory: the hash of its absolute path, normalised,
// without a trailing slash.
DeviceId DeviceIdOfDirectory(const std::filesystem::path& directory);

// The last component of the device directory, as a device name.
std::string DeviceNameOfDirectory(const std::filesystem::path& directory);

// `text` as a device name: bytes outside printable ASCII become '?', cut to
// kMaxDeviceName bytes.
std::string DeviceName(std::string_view text);

// Eight lower-case hex digits, byte by byte in the id's order.
std::string DeviceIdHex(const DeviceId& id);
std::optional<DeviceId> ParseDeviceIdHex(std::string_view text);

// The id and name of the device this process works on.
DeviceId OwnDeviceId();
std::string OwnDeviceName();

}  // namespace ce::irsock

#include "platform/irsock/DeviceId.h"

#include <system_error>

#include "platform/core/Bytes.h"
#include "platform/device/DeviceDirectory.h"

namespace ce::irsock {
namespace {

// The directory as one canonical text: absolute, "." and ".." folded, no
// trailing slash (the root stays "/").
std::string NormalisedDirectory(const std::filesystem::path& directory) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(directory, ec);
    if (ec)
        absolute = directory;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::uint32_t Fnv1a32(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

DeviceId DeviceIdOfText(std::string_view text) {
    std::uint32_t hash = Fnv1a32(text);
    if (hash == 0)
        hash = 1;
    DeviceId id;
    StoreU32(id.data(), hash);
    return id;
}

DeviceId DeviceIdOfDirectory(const std::filesystem::path& directory) {
    return DeviceIdOfText(NormalisedDirectory(directory));
}

std::string DeviceNameOfDirectory(const std::filesystem::path& directory) {
    std::string text = NormalisedDirectory(directory);
    std::size_t slash = text.rfind('/');
    return DeviceName(slash == std::string::npos ? text : text.substr(slash + 1));
}

std::string DeviceName(std::string_view text) {
    std::string name;
    for (char c : text.substr(0, kMaxDeviceName))
        name.push_back(c >= 0x20 && c <= 0x7E ? c : '?');
    return name;
}

std::string DeviceIdHex(const DeviceId& id) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (BYTE b : id) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 15]);
    }
    return text;
}

std::optional<DeviceId> ParseDeviceIdHex(std::string_view text) {
    if (text.size() != 8)
        return std::nullopt;
    DeviceId id;
    for (std::size_t i = 0; i < 4; ++i) {
        int high = HexDigit(text[2 * i]);
        int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        id[i] = static_cast<BYTE>(high << 4 | low);
    }
    return id;
}

DeviceId OwnDeviceId() {
    return DeviceIdOfDirectory(device::DeviceDirectory());
}

std::string OwnDeviceName() {
    return DeviceNameOfDirectory(device::DeviceDirectory());
}

}  // namespace ce::irsock

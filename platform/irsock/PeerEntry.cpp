#include "platform/irsock/PeerEntry.h"

namespace ce::irsock {
namespace {

constexpr std::string_view kEntrySuffix = ".peer";

bool IsPrintable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

// 1 to 10 decimal digits and nothing else, at most `max`.
std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t max) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    std::optional<std::uint64_t> port = ParseDecimal(text, 65535);
    if (!port || *port == 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(*port);
}

bool IsValidHost(std::string_view host) {
    if (host.empty() || host.size() > 253)
        return false;
    for (char c : host) {
        if (!IsPrintable(c) || c == ' ' || c == '[' || c == ']' || c == '/' || c == ',')
            return false;
    }
    return true;
}

// Splits off the text up to the next blank; false when there is none.
bool NextField(std::string_view& rest, std::string_view& field) {
    std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos)
        return false;
    field = rest.substr(0, blank);
    rest.remove_prefix(blank + 1);
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::string FormatPeerEntry(const PeerEntry& entry) {
    return DeviceIdHex(entry.id) + " " + std::to_string(entry.port) + " " +
           std::to_string(entry.pid) + " " + entry.name + "\n";
}

std::optional<PeerEntry> ParsePeerEntry(std::string_view text) {
    if (text.size() > kMaxEntryBytes)
        return std::nullopt;
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
    }
    std::string_view idText, portText, pidText;
    std::string_view rest = text;
    if (!NextField(rest, idText) || !NextField(rest, portText))
        return std::nullopt;
    // The name may be empty, and its blank before it missing then.
    if (!NextField(rest, pidText)) {
        pidText = rest;
        rest = {};
    }
    std::optional<DeviceId> id = ParseDeviceIdHex(idText);
    std::optional<std::uint16_t> port = ParsePort(portText);
    std::optional<std::uint64_t> pid = ParseDecimal(pidText, 0x7FFFFFFF);
    if (!id || !port || !pid || *pid == 0 || rest.size() > kMaxDeviceName)
        return std::nullopt;
    for (char c : rest) {
        if (!IsPrintable(c))
            return std::nullopt;
    }
    PeerEntry entry;
    entry.id = *id;
    entry.port = *port;
    entry.pid = static_cast<long>(*pid);
    entry.name = std::string(rest);
    return entry;
}

bool IsValidServiceName(std::string_view service) {
    if (service.empty() || service.size() > kMaxServiceName)
        return false;
    for (char c : service) {
        if (!IsPrintable(c) || c == '/')
            return false;
    }
    return true;
}

std::string EntryFileName(std::string_view service, const DeviceId& id) {
    return std::string(service) + "@" + DeviceIdHex(id) + std::string(kEntrySuffix);
}

std::optional<EntryName> ParseEntryFileName(std::string_view fileName) {
    // "@" + 8 digits + ".peer" after a service name of at least one byte.
    constexpr std::size_t kTail = 1 + 8 + kEntrySuffix.size();
    if (fileName.size() <= kTail || !fileName.ends_with(kEntrySuffix))
        return std::nullopt;
    std::size_t at = fileName.size() - kTail;
    if (fileName[at] != '@')
        return std::nullopt;
    std::string_view service = fileName.substr(0, at);
    std::optional<DeviceId> id = ParseDeviceIdHex(fileName.substr(at + 1, 8));
    if (!id || !IsValidServiceName(service))
        return std::nullopt;
    return EntryName{std::string(service), *id};
}

std::optional<HostPort> ParseHostPort(std::string_view text, bool requirePort) {
    std::string_view host;
    std::string_view portText;
    bool hasPort = false;
    if (!text.empty() && text.front() == '[') {
        std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        std::string_view after = text.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return std::nullopt;
            portText = after.substr(1);
            hasPort = true;
        }
    } else {
        std::size_t colon = text.find(':');
        if (colon != std::string_view::npos &&
            text.find(':', colon + 1) == std::string_view::npos) {
            host = text.substr(0, colon);
            portText = text.substr(colon + 1);
            hasPort = true;
        } else if (colon != std::string_view::npos && requirePort) {
            return std::nullopt;  // an IPv6 host with a port needs its brackets
        } else {
            host = text;
        }
    }
    if (!IsValidHost(host) || (requirePort && !hasPort))
        return std::nullopt;
    HostPort result;
    result.host = std::string(host);
    if (hasPort) {
        std::optional<std::uint16_t> port = ParsePort(portText);
        if (!port)
            return std::nullopt;
        result.port = *port;
    }
    return result;
}

std::vector<RemotePeer> ParseRemotePeers(std::string_view list) {
    std::vector<RemotePeer> peers;
    while (!list.empty()) {
        std::size_t comma = list.find(',');
        std::string_view item = Trimmed(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        std::optional<HostPort> address = ParseHostPort(item, true);
        if (!address)
            continue;
        RemotePeer peer;
        peer.id = DeviceIdOfText(item);
        peer.name = DeviceName(address->host);
        peer.address = std::move(*address);
        peers.push_back(std::move(peer));
    }
    return peers;
}

}  // namespace ce::irsock

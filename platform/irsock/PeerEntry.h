#pragma once
// The texts other peers write and read: a room entry's file name and line,
// and the host:port lists of TESSALY_IR_PEERS and TESSALY_IR_ADDRESS. Every
// parser takes its input as hostile and refuses, rather than repairs,
// anything that is not exactly the form.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/irsock/DeviceId.h"

namespace ce::irsock {

// The longest service name (the 25-byte field holds the NUL too).
inline constexpr std::size_t kMaxServiceName = 24;
// An entry file larger than this is not an entry (a real one is under 50).
inline constexpr std::size_t kMaxEntryBytes = 256;

// One line: "<device id> <tcp port> <pid> <device name>".
struct PeerEntry {
    DeviceId id{};
    std::uint16_t port = 0;
    long pid = 0;
    std::string name;

    bool operator==(const PeerEntry&) const = default;
};

// The line with its newline.
std::string FormatPeerEntry(const PeerEntry& entry);
// The line, with or without one "\n" (or "\r\n") at its end; nothing else.
std::optional<PeerEntry> ParsePeerEntry(std::string_view text);

// 1 to 24 bytes of printable ASCII without '/', so that the name is one
// file name in the room.
bool IsValidServiceName(std::string_view service);

// "<service>@<device id>.peer".
std::string EntryFileName(std::string_view service, const DeviceId& id);
struct EntryName {
    std::string service;
    DeviceId id{};
};
std::optional<EntryName> ParseEntryFileName(std::string_view fileName);

// "host:port", "[v6 host]:port"; without `requirePort` also "host", "v6
// host" and "[v6 host]" (port 0). The host comes back without brackets.
struct HostPort {
    std::string host;
    std::uint16_t port = 0;
};
std::optional<HostPort> ParseHostPort(std::string_view text, bool requirePort);

// A listener on another host, from TESSALY_IR_PEERS.
struct RemotePeer {
    HostPort address;
    DeviceId id{};     // the hash of the item's text "host:port"
    std::string name;  // the host as a device name
};
// "host:port,host:port,..."; blanks around items are ignored, and so is an
// item that is not a host and a port.
std::vector<RemotePeer> ParseRemotePeers(std::string_view list);

}  // namespace ce::irsock

#pragma once
// The room: the directory in which listening sockets publish themselves, one
// file "<service>@<device id>.peer" each, and where discovery finds them;
// with the TESSALY_IR_PEERS listeners of other hosts it is every device "in
// range".

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/irsock/PeerEntry.h"

namespace ce::irsock {

// $TESSALY_IR_ROOM, else $XDG_RUNTIME_DIR/tessaly-ir, else
// /tmp/tessaly-ir-<uid>.
std::filesystem::path RoomDirectory();

// True while `pid` names a process that has not ended (a zombie has).
bool ProcessIsAlive(long pid);

// An entry this process has published; the destructor removes the file,
// unless another process has replaced it since (or the destructor runs in a
// forked child, which does not own it).
class PublishedEntry {
public:
    PublishedEntry(std::filesystem::path file, std::string line);
    ~PublishedEntry();
    PublishedEntry(PublishedEntry&& other) noexcept;
    PublishedEntry& operator=(PublishedEntry&&) = delete;
    PublishedEntry(const PublishedEntry&) = delete;
    PublishedEntry& operator=(const PublishedEntry&) = delete;

    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    std::string line_;
    long publisher_;
};

// Writes the entry whole (a temporary file, then a rename), creating the
// room when it is missing. Nothing, with *wsaError set, when the room cannot
// be made or written, or is the shared /tmp default and not this user's own.
std::optional<PublishedEntry> Publish(std::string_view service, const PeerEntry& entry,
                                      int* wsaError);

// Reads one entry file as hostile input: a regular file (not a link, FIFO or
// device) of at most kMaxEntryBytes holding one entry line.
std::optional<PeerEntry> ReadEntryFile(const std::filesystem::path& file,
                                       std::timespec* written = nullptr);

// The live entry of (service, device), if any.
std::optional<PeerEntry> FindListener(std::string_view service, const DeviceId& id);

struct DiscoveredDevice {
    DeviceId id{};
    std::string name;
};

// The devices in range other than `own`: the room's live entries, most
// recently written first (a device with several services once), then the
// TESSALY_IR_PEERS listeners; at most `limit`.
std::vector<DiscoveredDevice> DiscoverDevices(const DeviceId& own, std::size_t limit);

// Where the listener of (service, device) accepts connections: its room
// entry's port on this host, else the TESSALY_IR_PEERS listener of that id.
std::optional<HostPort> ListenerAddress(std::string_view service, const DeviceId& id);

}  // namespace ce::irsock

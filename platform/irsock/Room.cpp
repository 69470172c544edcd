#include "platform/irsock/Room.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <system_error>

#include "platform/core/UniqueResource.h"
#include "platform/irsock/HostTcp.h"
#include "platform/irsock/WsaErrors.h"

namespace ce::irsock {
namespace {

std::filesystem::path SharedDefaultRoom() {
    return "/tmp/tessaly-ir-" + std::to_string(::getuid());
}

// The /tmp default is a name anybody could take first: it is used only when
// it is a real directory of this user that nobody else may write to.
bool IsOwnPrivateDirectory(const std::filesystem::path& room) {
    struct stat info;
    if (::lstat(room.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 022) == 0;
}

bool RoomIsTrusted(const std::filesystem::path& room) {
    return room != SharedDefaultRoom() || IsOwnPrivateDirectory(room);
}

bool EnsureRoom(const std::filesystem::path& room) {
    std::error_code ec;
    if (!std::filesystem::is_directory(room, ec)) {
        if (room.has_parent_path())
            std::filesystem::create_directories(room.parent_path(), ec);
        if (::mkdir(room.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return std::filesystem::is_directory(room, ec) && RoomIsTrusted(room);
}

bool WriteWhole(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file's bytes, when it is a small regular file; nothing for anything
// else, without blocking on a FIFO or following a link.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file,
                                         std::timespec* written) {
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!fd)
        return std::nullopt;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > static_cast<off_t>(kMaxEntryBytes)) {
        return std::nullopt;
    }
    std::string bytes(kMaxEntryBytes + 1, '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        ssize_t n = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    bytes.resize(size);
    if (written != nullptr)
        *written = info.st_mtim;
    return bytes;
}

// The entry of a room file, when the file is an entry of a live listener and
// its line names the device its file name does.
std::optional<PeerEntry> LiveEntry(const std::filesystem::path& file, const EntryName& name,
                                   std::timespec* written) {
    std::optional<PeerEntry> entry = ReadEntryFile(file, written);
    if (!entry || entry->id != name.id || !ProcessIsAlive(entry->pid))
        return std::nullopt;
    return entry;
}

struct RoomListener {
    PeerEntry entry;
    std::timespec written{};
    std::string fileName;
};

bool WrittenLater(const RoomListener& a, const RoomListener& b) {
    if (a.written.tv_sec != b.written.tv_sec)
        return a.written.tv_sec > b.written.tv_sec;
    if (a.written.tv_nsec != b.written.tv_nsec)
        return a.written.tv_nsec > b.written.tv_nsec;
    return a.fileName < b.fileName;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

std::vector<RoomListener> LiveListeners(const std::filesystem::path& room) {
    std::vector<RoomListener> found;
    if (!RoomIsTrusted(room))
        return found;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(room.c_str()));
    if (!dir)
        return found;
    while (const dirent* item = ::readdir(dir.get())) {
        std::optional<EntryName> name = ParseEntryFileName(item->d_name);
        if (!name)
            continue;
        RoomListener listener;
        std::optional<PeerEntry> entry = LiveEntry(room / item->d_name, *name, &listener.written);
        if (!entry)
            continue;
        listener.entry = std::move(*entry);
        listener.fileName = item->d_name;
        found.push_back(std::move(listener));
    }
    std::sort(found.begin(), found.end(), WrittenLater);
    return found;
}

std::vector<RemotePeer> RemotePeers() {
    const char* list = std::getenv("TESSALY_IR_PEERS");
    return list == nullptr ? std::vector<RemotePeer>{} : ParseRemotePeers(list);
}

}  // namespace

std::filesystem::path RoomDirectory() {
    if (const char* room = std::getenv("TESSALY_IR_ROOM"); room != nullptr && *room != 0)
        return room;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != 0)
        return std::filesystem::path(runtime) / "tessaly-ir";
    return SharedDefaultRoom();
}

bool ProcessIsAlive(long pid) {
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // kill succeeds on a process that has ended but was not reaped yet; its
    // state in /proc tells. Without /proc the kill answer stands.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    std::size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size())
        return true;
    char state = line[close + 2];
    return state != 'Z' && state != 'X';
}

PublishedEntry::PublishedEntry(std::filesystem::path file, std::string line)
    : file_(std::move(file)), line_(std::move(line)), publisher_(::getpid()) {}

PublishedEntry::PublishedEntry(PublishedEntry&& other) noexcept
    : file_(std::move(other.file_)), line_(std::move(other.line_)), publisher_(other.publisher_) {
    other.file_.clear();
}

PublishedEntry::~PublishedEntry() {
    if (file_.empty() || publisher_ != ::getpid())
        return;
    std::optional<std::string> now = ReadSmallFile(file_, nullptr);
    if (now && *now == line_)
        ::unlink(file_.c_str());
}

std::optional<PublishedEntry> Publish(std::string_view service, const PeerEntry& entry,
                                      int* wsaError) {
    *wsaError = WSAENETDOWN;
    std::filesystem::path room = RoomDirectory();
    if (!EnsureRoom(room))
        return std::nullopt;
    std::string name = EntryFileName(service, entry.id);
    std::filesystem::path file = room / name;
    std::filesystem::path temporary = room / ("." + name + "." + std::to_string(::getpid()));
    std::string line = FormatPeerEntry(entry);
    UniqueFd fd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd)
        return std::nullopt;
    bool written = WriteWhole(fd.get(), line);
    fd.reset();
    if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return PublishedEntry(std::move(file), std::move(line));
}

std::optional<PeerEntry> ReadEntryFile(const std::filesystem::path& file, std::timespec* written) {
    std::optional<std::string> bytes = ReadSmallFile(file, written);
    if (!bytes)
        return std::nullopt;
    return ParsePeerEntry(*bytes);
}

std::optional<PeerEntry> FindListener(std::string_view service, const DeviceId& id) {
    std::filesystem::path room = RoomDirectory();
    if (!IsValidServiceName(service) || !RoomIsTrusted(room))
        return std::nullopt;
    EntryName name{std::string(service), id};
    return LiveEntry(room / EntryFileName(service, id), name, nullptr);
}

std::vector<DiscoveredDevice> DiscoverDevices(const DeviceId& own, std::size_t limit) {
    std::vector<DiscoveredDevice> devices;
    auto add = [&](const DeviceId& id, const std::string& name) {
        if (devices.size() >= limit || id == own)
            return;
        for (const DiscoveredDevice& d : devices) {
            if (d.id == id)
                return;
        }
        devices.push_back({id, name});
    };
    for (const RoomListener& listener : LiveListeners(RoomDirectory()))
        add(listener.entry.id, listener.entry.name);
    for (const RemotePeer& peer : RemotePeers())
        add(peer.id, peer.name);
    return devices;
}

std::optional<HostPort> ListenerAddress(std::string_view service, const DeviceId& id) {
    if (std::optional<PeerEntry> entry = FindListener(service, id))
        return HostPort{RoomHost(), entry->port};
    for (const RemotePeer& peer : RemotePeers()) {
        if (peer.id == id)
            return peer.address;
    }
    return std::nullopt;
}

}  // namespace ce::irsock

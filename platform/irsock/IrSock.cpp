#include "platform/irsock/IrSock.h"

#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/core/Bytes.h"
#include "platform/core/LastError.h"
#include "platform/irsock/HostTcp.h"
#include "platform/irsock/SocketTable.h"

namespace ce {
namespace {

using irsock::EndpointState;
using irsock::IrdaEndpoint;
using irsock::Sockets;

int Fail(int error) {
    WSASetLastError(error);
    return SOCKET_ERROR;
}

SOCKET FailSocket(int error) {
    WSASetLastError(error);
    return INVALID_SOCKET;
}

// ---- Test hooks ---------------------------------------------------------------

struct Limits {
    std::once_flag environmentRead;
    std::atomic<int> send{0};
    std::atomic<int> receive{0};
    std::atomic<int> connectTimeoutMs{3000};
};

int LimitFromEnvironment(const char* name) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == 0)
        return 0;
    long value = std::strtol(text, nullptr, 10);
    return value > 0 && value < INT_MAX ? static_cast<int>(value) : 0;
}

Limits& TheLimits() {
    static Limits limits;
    std::call_once(limits.environmentRead, [] {
        limits.send = LimitFromEnvironment("TESSALY_IR_SEND_LIMIT");
        limits.receive = LimitFromEnvironment("TESSALY_IR_RECV_LIMIT");
    });
    return limits;
}

int Limited(int len, int limit) {
    return limit > 0 && len > limit ? limit : len;
}

// ---- Sockets and addresses --------------------------------------------------

std::shared_ptr<IrdaEndpoint> Find(SOCKET s) {
    std::shared_ptr<IrdaEndpoint> endpoint = Sockets().Lookup(s);
    if (!endpoint)
        WSASetLastError(WSAENOTSOCK);
    return endpoint;
}

struct IrdaAddress {
    irsock::DeviceId id{};
    std::string service;
};

// 0, or the error for an address that is not a usable SOCKADDR_IRDA.
int ReadAddress(const SOCKADDR* name, int namelen, IrdaAddress& out) {
    if (name == nullptr || namelen < static_cast<int>(sizeof(SOCKADDR_IRDA)))
        return WSAEFAULT;
    SOCKADDR_IRDA address;
    std::memcpy(&address, name, sizeof address);
    if (address.irdaAddressFamily != AF_IRDA)
        return WSAEAFNOSUPPORT;
    const char* field = address.irdaServiceName;
    const void* end = std::memchr(field, 0, sizeof address.irdaServiceName);
    if (end == nullptr)
        return WSAEINVAL;
    out.service.assign(field, static_cast<const char*>(end));
    if (!irsock::IsValidServiceName(out.service))
        return WSAEINVAL;
    std::memcpy(out.id.data(), address.irdaDeviceID, out.id.size());
    return 0;
}

// The socket of a bind or connect and the address it names; nothing, with
// the error set, when either is not usable.
std::shared_ptr<IrdaEndpoint> AddressedEndpoint(SOCKET s, const SOCKADDR* name, int namelen,
                                                IrdaAddress& address) {
    std::shared_ptr<IrdaEndpoint> endpoint = Find(s);
    if (!endpoint)
        return nullptr;
    if (int error = ReadAddress(name, namelen, address)) {
        WSASetLastError(error);
        return nullptr;
    }
    return endpoint;
}

// A blocking host call, repeated when a signal interrupts it, unless the
// socket has been closed meanwhile.
template <class Call>
auto Repeating(const IrdaEndpoint& endpoint, Call call) {
    while (true) {
        auto result = call();
        if (result >= 0 || errno != EINTR || endpoint.closed)
            return result;
    }
}

// ---- select -------------------------------------------------------------------

struct Watched {
    fd_set* set;
    std::shared_ptr<IrdaEndpoint> endpoint;
    SOCKET s;
};

// The poll time-out for a select time-out: -1 without one; microseconds
// round up, so that a short wait does not become a busy poll.
int PollTimeout(const TIMEVAL* timeout) {
    if (timeout == nullptr)
        return -1;
    long long ms = static_cast<long long>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

bool ValidTimeout(const TIMEVAL* timeout) {
    return timeout == nullptr || (timeout->tv_sec >= 0 && timeout->tv_usec >= 0);
}

// Collects the set's sockets; false (with the error set) for one that is not
// open.
bool Collect(fd_set* set, std::vector<Watched>& watched) {
    if (set == nullptr)
        return true;
    if (set->fd_count > kFdSetSize) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    for (UINT i = 0; i < set->fd_count; ++i) {
        std::shared_ptr<IrdaEndpoint> endpoint = Find(set->fd_array[i]);
        if (!endpoint)
            return false;
        watched.push_back({set, std::move(endpoint), set->fd_array[i]});
    }
    return true;
}

// What a watched socket waits for; 0 when it can never be ready (a socket
// that neither listens nor is connected).
short PollEvents(const Watched& w, const fd_set* readfds, const fd_set* writefds) {
    EndpointState state = w.endpoint->state;
    if (w.set == readfds &&
        (state == EndpointState::Listening || state == EndpointState::Connected)) {
        return POLLIN;
    }
    if (w.set == writefds && state == EndpointState::Connected)
        return POLLOUT;
    return 0;
}

int PollWatched(std::vector<pollfd>& polled, int timeoutMs) {
    auto start = std::chrono::steady_clock::now();
    while (true) {
        int ready = ::poll(polled.data(), polled.size(), timeoutMs);
        if (ready >= 0 || errno != EINTR)
            return ready;
        if (timeoutMs > 0) {
            auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
            timeoutMs = spent >= timeoutMs ? 0 : timeoutMs - static_cast<int>(spent);
            start = std::chrono::steady_clock::now();
        }
    }
}

// ---- send and recv ------------------------------------------------------------

// The connected socket for a send or recv of `len` bytes at `buf`; nothing,
// with the error set, when the call cannot go ahead.
std::shared_ptr<IrdaEndpoint> StreamFor(SOCKET s, const void* buf, int len, int flags) {
    std::shared_ptr<IrdaEndpoint> endpoint = Find(s);
    int error = 0;
    if (!endpoint)
        return nullptr;
    if (flags != 0)
        error = WSAEOPNOTSUPP;
    else if (len < 0)
        error = WSAEINVAL;
    else if (buf == nullptr && len > 0)
        error = WSAEFAULT;
    else if (endpoint->state != EndpointState::Connected)
        error = WSAENOTCONN;
    if (error != 0) {
        WSASetLastError(error);
        return nullptr;
    }
    return endpoint;
}

// One send or recv (`call` with the byte count) of at most `limit` of `len`
// bytes, with its result in the platform's terms.
template <class Call>
int Transfer(const IrdaEndpoint& endpoint, int len, int limit, Call call) {
    if (len == 0)
        return 0;
    std::size_t n = static_cast<std::size_t>(Limited(len, limit));
    ssize_t done = Repeating(endpoint, [&] { return call(n); });
    int error = done < 0 ? errno : 0;
    if (endpoint.closed)
        return Fail(WSAEINTR);
    if (done < 0)
        return Fail(irsock::WsaErrorFromErrno(error));
    return static_cast<int>(done);
}

}  // namespace

SOCKET socket(int af, int type, int protocol) {
    if (af != AF_IRDA)
        return FailSocket(WSAEAFNOSUPPORT);
    if (type != SOCK_STREAM)
        return FailSocket(WSAESOCKTNOSUPPORT);
    if (protocol != 0)
        return FailSocket(WSAEPROTONOSUPPORT);
    // The socket holds a host descriptor from the start, so that a process
    // out of descriptors fails here, where the platform would.
    int error = 0;
    UniqueFd fd = irsock::NewStreamSocket(AF_INET, &error);
    if (!fd)
        return FailSocket(error);
    auto endpoint = std::make_shared<IrdaEndpoint>();
    endpoint->fd = std::move(fd);
    return Sockets().Insert(std::move(endpoint));
}

int bind(SOCKET s, const SOCKADDR* name, int namelen) {
    IrdaAddress address;
    std::shared_ptr<IrdaEndpoint> endpoint = AddressedEndpoint(s, name, namelen, address);
    if (!endpoint)
        return SOCKET_ERROR;
    if (endpoint->state != EndpointState::Open)
        return Fail(WSAEINVAL);
    irsock::DeviceId own = irsock::OwnDeviceId();
    if (Sockets().HoldsService(address.service, own))
        return Fail(WSAEADDRINUSE);
    std::optional<irsock::PeerEntry> other = irsock::FindListener(address.service, own);
    if (other && other->pid != ::getpid())
        return Fail(WSAEADDRINUSE);
    std::optional<irsock::HostPort> listenAddress = irsock::ListenAddress();
    if (!listenAddress)
        return Fail(WSAEADDRNOTAVAIL);
    int error = 0;
    UniqueFd fd = irsock::BindTcp(*listenAddress, &error);
    if (!fd)
        return Fail(error);
    endpoint->fd = std::move(fd);
    endpoint->service = address.service;
    endpoint->device = own;
    endpoint->deviceName = irsock::OwnDeviceName();
    endpoint->state = EndpointState::Bound;
    return 0;
}

int listen(SOCKET s, int backlog) {
    std::shared_ptr<IrdaEndpoint> endpoint = Find(s);
    if (!endpoint)
        return SOCKET_ERROR;
    if (endpoint->state == EndpointState::Listening)
        return 0;
    if (endpoint->state != EndpointState::Bound)
        return Fail(WSAEINVAL);
    if (::listen(endpoint->fd.get(), backlog < 1 ? 1 : backlog) != 0)
        return Fail(irsock::WsaErrorFromErrno(errno));
    irsock::PeerEntry entry;
    entry.id = endpoint->device;
    entry.port = irsock::LocalPort(endpoint->fd.get());
    entry.pid = ::getpid();
    entry.name = endpoint->deviceName;
    if (entry.port == 0)
        return Fail(WSAENETDOWN);
    int error = 0;
    std::optional<irsock::PublishedEntry> published =
        irsock::Publish(endpoint->service, entry, &error);
    if (!published)
        return Fail(error);
    endpoint->entry.emplace(std::move(*published));
    endpoint->state = EndpointState::Listening;
    return 0;
}

SOCKET accept(SOCKET s, SOCKADDR* addr, int* addrlen) {
    std::shared_ptr<IrdaEndpoint> endpoint = Find(s);
    if (!endpoint)
        return INVALID_SOCKET;
    if (addr != nullptr &&
        (addrlen == nullptr || *addrlen < static_cast<int>(sizeof(SOCKADDR_IRDA))))
        return FailSocket(WSAEFAULT);
    if (endpoint->state != EndpointState::Listening)
        return FailSocket(WSAEINVAL);
    int fd = -1;
    while (true) {
        fd = Repeating(*endpoint, [&] {
            return ::accept4(endpoint->fd.get(), nullptr, nullptr, SOCK_CLOEXEC);
        });
        // A connection reset before it was taken is not this caller's.
        if (fd >= 0 || errno != ECONNABORTED || endpoint->closed)
            break;
    }
    int error = fd < 0 ? errno : 0;
    UniqueFd connection(fd);
    if (endpoint->closed)
        return FailSocket(WSAEINTR);
    if (!connection)
        return FailSocket(irsock::WsaErrorFromErrno(error));
    irsock::SetNoDelay(connection.get());
    auto accepted = std::make_shared<IrdaEndpoint>();
    accepted->fd = std::move(connection);
    accepted->state = EndpointState::Connected;
    if (addr != nullptr) {
        // The stream carries nothing but the data, so the caller's device id
        // is not known here.
        SOCKADDR_IRDA peer{};
        peer.irdaAddressFamily = AF_IRDA;
        std::memcpy(addr, &peer, sizeof peer);
        *addrlen = sizeof peer;
    }
    return Sockets().Insert(std::move(accepted));
}

int connect(SOCKET s, const SOCKADDR* name, int namelen) {
    IrdaAddress address;
    std::shared_ptr<IrdaEndpoint> endpoint = AddressedEndpoint(s, name, namelen, address);
    if (!endpoint)
        return SOCKET_ERROR;
    if (endpoint->state == EndpointState::Connected)
        return Fail(WSAEISCONN);
    if (endpoint->state != EndpointState::Open)
        return Fail(WSAEINVAL);
    std::optional<irsock::HostPort> target = irsock::ListenerAddress(address.service, address.id);
    if (!target)
        return Fail(WSAECONNREFUSED);
    int error = 0;
    UniqueFd fd = irsock::ConnectTcp(*target, TheLimits().connectTimeoutMs, &error);
    if (!fd)
        return Fail(error);
    endpoint->fd = std::move(fd);
    endpoint->state = EndpointState::Connected;
    return 0;
}

int select(int /*nfds*/, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
           const TIMEVAL* timeout) {
    if (!ValidTimeout(timeout))
        return Fail(WSAEINVAL);
    std::vector<Watched> watched;
    if (!Collect(readfds, watched) || !Collect(writefds, watched) || !Collect(exceptfds, watched))
        return SOCKET_ERROR;
    if (watched.empty())
        return Fail(WSAEINVAL);
    std::vector<pollfd> polled;
    for (const Watched& w : watched) {
        short events = PollEvents(w, readfds, writefds);
        polled.push_back({events != 0 ? w.endpoint->fd.get() : -1, events, 0});
    }
    int ready = PollWatched(polled, PollTimeout(timeout));
    if (ready < 0)
        return Fail(irsock::WsaErrorFromErrno(errno));
    // Each set keeps the sockets that are ready; nothing is ever exceptional.
    for (fd_set* set : {readfds, writefds, exceptfds}) {
        if (set != nullptr)
            set->fd_count = 0;
    }
    int count = 0;
    for (std::size_t i = 0; i < watched.size(); ++i) {
        short done = polled[i].revents & (polled[i].events | POLLHUP | POLLERR);
        if (polled[i].fd < 0 || done == 0)
            continue;
        // One set passed for reading and writing could hold a socket twice.
        fd_set* set = watched[i].set;
        if (set->fd_count < kFdSetSize)
            set->fd_array[set->fd_count++] = watched[i].s;
        ++count;
    }
    return count;
}

int send(SOCKET s, const char* buf, int len, int flags) {
    std::shared_ptr<IrdaEndpoint> endpoint = StreamFor(s, buf, len, flags);
    if (!endpoint)
        return SOCKET_ERROR;
    return Transfer(*endpoint, len, TheLimits().send, [&](std::size_t n) {
        return ::send(endpoint->fd.get(), buf, n, MSG_NOSIGNAL);
    });
}

int recv(SOCKET s, char* buf, int len, int flags) {
    std::shared_ptr<IrdaEndpoint> endpoint = StreamFor(s, buf, len, flags);
    if (!endpoint)
        return SOCKET_ERROR;
    return Transfer(*endpoint, len, TheLimits().receive,
                    [&](std::size_t n) { return ::recv(endpoint->fd.get(), buf, n, 0); });
}

int getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen) {
    if (!Find(s))
        return SOCKET_ERROR;
    if (level != SOL_IRLMP)
        return Fail(WSAEINVAL);
    if (optname != IRLMP_ENUMDEVICES)
        return Fail(WSAENOPROTOOPT);
    constexpr int kHeader = offsetof(DEVICELIST, Device);
    constexpr int kEntry = sizeof(IRDA_DEVICE_INFO);
    if (optval == nullptr || optlen == nullptr || *optlen < kHeader)
        return Fail(WSAEFAULT);
    std::size_t fits = static_cast<std::size_t>((*optlen - kHeader) / kEntry);
    std::vector<irsock::DiscoveredDevice> devices =
        irsock::DiscoverDevices(irsock::OwnDeviceId(), fits);
    auto* out = reinterpret_cast<BYTE*>(optval);
    StoreU32(out, static_cast<DWORD>(devices.size()));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        BYTE* entry = out + kHeader + i * kEntry;
        std::memset(entry, 0, kEntry);
        std::memcpy(entry + offsetof(IRDA_DEVICE_INFO, irdaDeviceID), devices[i].id.data(), 4);
        std::memcpy(entry + offsetof(IRDA_DEVICE_INFO, irdaDeviceName), devices[i].name.data(),
                    std::min(devices[i].name.size(), irsock::kMaxDeviceName));
    }
    *optlen = kHeader + static_cast<int>(devices.size()) * kEntry;
    return 0;
}

// Closing a connection whose peer's bytes are still unread makes the host
// reset it, and a reset throws away what the peer has not read yet, such as
// the last code this side sent. So the close sends its end of the stream
// first and reads what the peer still sends until it closes too, for a
// short while at most.
namespace {
void CloseGracefully(int fd) {
    constexpr int kLingerMs = 500;
    if (::shutdown(fd, SHUT_WR) != 0)
        return;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLingerMs);
    char scratch[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        pollfd waiting{fd, POLLIN, 0};
        int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return;
        ssize_t got = ::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
            return;
    }
}
}  // namespace

int closesocket(SOCKET s) {
    std::shared_ptr<IrdaEndpoint> endpoint = Sockets().Remove(s);
    if (!endpoint)
        return Fail(WSAENOTSOCK);
    endpoint->closed = true;
    endpoint->entry.reset();
    // A call blocked on the socket in another thread holds it too: shutting
    // the connection down makes that call return; the descriptor closes when
    // it has.
    if (endpoint.use_count() > 1 && endpoint->fd)
        ::shutdown(endpoint->fd.get(), SHUT_RDWR);
    else if (endpoint->state == EndpointState::Connected && endpoint->fd)
        CloseGracefully(endpoint->fd.get());
    return 0;
}

int WSAGetLastError() {
    return static_cast<int>(GetLastError());
}

void WSASetLastError(int error) {
    SetLastError(static_cast<DWORD>(error));
}

void SetIrdaSendLimit(int bytes) {
    TheLimits().send = bytes > 0 ? bytes : 0;
}

void SetIrdaReceiveLimit(int bytes) {
    TheLimits().receive = bytes > 0 ? bytes : 0;
}

void SetIrdaConnectTimeout(int milliseconds) {
    TheLimits().connectTimeoutMs = milliseconds > 0 ? milliseconds : 1;
}

}  // namespace ce

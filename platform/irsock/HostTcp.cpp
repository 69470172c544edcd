#include "platform/irsock/HostTcp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/irsock/WsaErrors.h"

namespace ce::irsock {
namespace {

struct ErrnoMapping {
    int error;
    int wsa;
};

constexpr ErrnoMapping kErrnoMappings[] = {
    {EINTR, WSAEINTR},
    {EACCES, WSAEACCES},
    {EPERM, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {ENFILE, WSAEMFILE},
    {EAGAIN, WSAEWOULDBLOCK},
    {EBADF, WSAENOTSOCK},
    {ENOTSOCK, WSAENOTSOCK},
    {EMSGSIZE, WSAEMSGSIZE},
    {ENOPROTOOPT, WSAENOPROTOOPT},
    {EPROTONOSUPPORT, WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {EPIPE, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
    {EHOSTDOWN, WSAEHOSTUNREACH},
};

// A numeric address and port as a host socket address.
bool NumericAddress(const HostPort& address, sockaddr_storage& out, socklen_t& length) {
    std::memset(&out, 0, sizeof out);
    auto* v4 = reinterpret_cast<sockaddr_in*>(&out);
    if (::inet_pton(AF_INET, address.host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(address.port);
        length = sizeof(sockaddr_in);
        return true;
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&out);
    if (::inet_pton(AF_INET6, address.host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(address.port);
        length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}

struct AddrInfoDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

int WsaErrorFromResolver(int error) {
    if (error == EAI_AGAIN)
        return WSATRY_AGAIN;
    if (error == EAI_MEMORY)
        return WSAENOBUFS;
    return WSAHOST_NOT_FOUND;
}

// Waits for a non-blocking connect to finish; 0 or the errno it ended with.
int FinishConnect(int fd, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left < 0)
            left = 0;
        pollfd p{fd, POLLOUT, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return errno;
        return error;
    }
}

int SetBlocking(int fd, bool blocking) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return errno;
    flags = blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK;
    return ::fcntl(fd, F_SETFL, flags) == 0 ? 0 : errno;
}

// One attempt at one resolved address; 0 or the errno.
int ConnectOne(const addrinfo& address, int timeoutMs, UniqueFd& out) {
    UniqueFd fd(::socket(address.ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd)
        return errno;
    int error = 0;
    if (::connect(fd.get(), address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS || error == EINTR)
            error = FinishConnect(fd.get(), timeoutMs);
    }
    if (error == 0)
        error = SetBlocking(fd.get(), true);
    if (error != 0)
        return error;
    SetNoDelay(fd.get());
    out = std::move(fd);
    return 0;
}

}  // namespace

int WsaErrorFromErrno(int error) {
    for (const ErrnoMapping& m : kErrnoMappings) {
        if (m.error == error)
            return m.wsa;
    }
    return WSAENETDOWN;
}

std::optional<HostPort> ListenAddress() {
    const char* text = std::getenv("TESSALY_IR_ADDRESS");
    if (text == nullptr || *text == 0)
        return HostPort{"127.0.0.1", 0};
    return ParseHostPort(text, false);
}

std::string RoomHost() {
    std::optional<HostPort> address = ListenAddress();
    if (!address)
        return "127.0.0.1";
    sockaddr_storage storage;
    socklen_t length = 0;
    if (NumericAddress(*address, storage, length)) {
        if (storage.ss_family == AF_INET &&
            reinterpret_cast<sockaddr_in*>(&storage)->sin_addr.s_addr == htonl(INADDR_ANY)) {
            return "127.0.0.1";
        }
        if (storage.ss_family == AF_INET6 &&
            IN6_IS_ADDR_UNSPECIFIED(&reinterpret_cast<sockaddr_in6*>(&storage)->sin6_addr)) {
            return "::1";
        }
    }
    return address->host;
}

UniqueFd NewStreamSocket(int family, int* wsaError) {
    UniqueFd fd(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        *wsaError = WsaErrorFromErrno(errno);
    return fd;
}

UniqueFd BindTcp(const HostPort& address, int* wsaError) {
    sockaddr_storage storage;
    socklen_t length = 0;
    if (!NumericAddress(address, storage, length)) {
        *wsaError = WSAEADDRNOTAVAIL;
        return {};
    }
    UniqueFd fd = NewStreamSocket(storage.ss_family, wsaError);
    if (!fd)
        return fd;
    if (address.port != 0) {
        // A fixed port is taken again at once after the last listener closed.
        int on = 1;
        ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&storage), length) != 0) {
        *wsaError = WsaErrorFromErrno(errno);
        return {};
    }
    return fd;
}

std::uint16_t LocalPort(int fd) {
    sockaddr_storage storage;
    socklen_t length = sizeof storage;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0)
        return 0;
    if (storage.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    if (storage.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port);
    return 0;
}

UniqueFd ConnectTcp(const HostPort& address, int timeoutMs, int* wsaError) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::string port = std::to_string(address.port);
    int resolved = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found);
    if (resolved != 0) {
        *wsaError = WsaErrorFromResolver(resolved);
        return {};
    }
    std::unique_ptr<addrinfo, AddrInfoDeleter> list(found);
    int error = ECONNREFUSED;
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        UniqueFd fd;
        error = ConnectOne(*a, timeoutMs, fd);
        if (error == 0)
            return fd;
    }
    *wsaError = WsaErrorFromErrno(error);
    return {};
}

void SetNoDelay(int fd) {
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace ce::irsock

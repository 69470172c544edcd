#pragma once
// The process's IrDA sockets: each SOCKET value names one endpoint in this
// table from socket() to closesocket().

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/core/UniqueResource.h"
#include "platform/irsock/DeviceId.h"
#include "platform/irsock/IrSock.h"
#include "platform/irsock/Room.h"

namespace ce::irsock {

enum class EndpointState { Open, Bound, Listening, Connected };

// One socket. A call works on one endpoint at a time; closesocket from
// another thread shuts a blocked call's connection down, and the descriptor
// is closed when the last call holding the endpoint has returned.
struct IrdaEndpoint {
    EndpointState state = EndpointState::Open;
    // Open: a reserved TCP socket; Bound and Listening: the listener;
    // Connected: the connection.
    UniqueFd fd;
    std::string service;  // Bound and Listening
    DeviceId device{};    // the device that bound the service
    std::string deviceName;
    std::optional<PublishedEntry> entry;
    std::atomic<bool> closed{false};
};

class SocketTable {
public:
    SocketTable() = default;
    SocketTable(const SocketTable&) = delete;
    SocketTable& operator=(const SocketTable&) = delete;

    SOCKET Insert(std::shared_ptr<IrdaEndpoint> endpoint);
    // Nothing for a value that is not an open socket.
    std::shared_ptr<IrdaEndpoint> Lookup(SOCKET s) const;
    std::shared_ptr<IrdaEndpoint> Remove(SOCKET s);
    // True when another socket of this process holds (service, device).
    bool HoldsService(const std::string& service, const DeviceId& device) const;

private:
    mutable std::mutex mutex_;
    std::map<SOCKET, std::shared_ptr<IrdaEndpoint>> sockets_;
    // Socket values are not descriptors: they start high and are not reused.
    SOCKET next_ = 0x1000;
};

// The process's table; the sockets still in it are closed (and their room
// entries removed) when the process exits normally.
SocketTable& Sockets();

}  // namespace ce::irsock

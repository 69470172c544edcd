#pragma once
// The host's TCP side of the IrDA sockets: where listeners listen, making
// listening and connected sockets, and the host's errors as the platform's
// WSA error numbers.

#include <optional>
#include <string>

#include "platform/core/UniqueResource.h"
#include "platform/irsock/PeerEntry.h"

namespace ce::irsock {

// The WSA error number for an errno value.
int WsaErrorFromErrno(int error);

// Where a listener listens: TESSALY_IR_ADDRESS ("address" or "address:port",
// an IPv6 address with a port in brackets), else 127.0.0.1 on a port the
// host chooses (port 0). Nothing when the variable is not such a text.
std::optional<HostPort> ListenAddress();

// Where this host's room entries are reached: the listen address, with a
// wildcard address (0.0.0.0, ::) replaced by its loopback.
std::string RoomHost();

// A new TCP socket (close-on-exec) of `family`; empty with *wsaError set.
UniqueFd NewStreamSocket(int family, int* wsaError);

// A TCP socket bound to `address` (a numeric address), not yet listening.
UniqueFd BindTcp(const HostPort& address, int* wsaError);

// The port a bound socket has; 0 when it cannot be read.
std::uint16_t LocalPort(int fd);

// A TCP connection to `address`, given up after `timeoutMs` with
// WSAETIMEDOUT. The socket is blocking, with Nagle's delay off: the transfer
// waits for a 4-byte answer after nearly every send.
UniqueFd ConnectTcp(const HostPort& address, int timeoutMs, int* wsaError);

// Turns Nagle's delay off on a connected socket.
void SetNoDelay(int fd);

}  // namespace ce::irsock

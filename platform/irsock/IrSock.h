#pragma once
// The device's IrDA sockets, over TCP. The calls keep the platform's names,
// arguments and results: SOCKET_ERROR (or INVALID_SOCKET) on failure with the
// error number in WSAGetLastError. What they do on this host:
//
// - A socket that is bound to a service name and listening publishes itself
//   in the room directory (see Room.h); closesocket removes the entry.
// - getsockopt(SOL_IRLMP, IRLMP_ENUMDEVICES) lists the room's other live
//   devices, most recent first, then the TESSALY_IR_PEERS listeners.
// - connect finds the listener of (device id, service) and opens a TCP
//   connection to it; no listener, or a refused connection, is
//   WSAECONNREFUSED; no answer in time is WSAETIMEDOUT.
// - Once connected, the TCP stream carries exactly the bytes sent and
//   received here, nothing added.
//
// Every call blocks except select with a zero timeout. Sockets are owned by
// this layer's table until closesocket, and are closed at process exit.

// The host's <sys/socket.h> defines AF_IRDA as its own family number (23),
// which would replace the platform's (22) below. It is included here, once,
// and the host's macro dropped: nothing in this project uses the host's IrDA
// family, and a later include of the header is a no-op.
#include <sys/socket.h>
#include <sys/time.h>
#undef AF_IRDA

#include <cstddef>
#include <cstdint>

#include "platform/core/Types.h"
#include "platform/core/UniqueResource.h"
#include "platform/irsock/WsaErrors.h"

namespace ce {

using SOCKET = std::uintptr_t;
inline constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
inline constexpr int SOCKET_ERROR = -1;

inline constexpr int AF_IRDA = 22;
inline constexpr int SOCK_STREAM = 1;
inline constexpr int SOL_IRLMP = 0xFF;
inline constexpr int IRLMP_ENUMDEVICES = 0x10;

struct SOCKADDR {
    USHORT sa_family;
    char sa_data[14];
};

// 31 bytes of fields, 32 with the padding; bind and connect take it with a
// length of 32. The service name is NUL-terminated within its 25 bytes.
struct SOCKADDR_IRDA {
    USHORT irdaAddressFamily;
    BYTE irdaDeviceID[4];
    char irdaServiceName[25];
};
static_assert(sizeof(SOCKADDR_IRDA) == 32);
static_assert(offsetof(SOCKADDR_IRDA, irdaDeviceID) == 2);
static_assert(offsetof(SOCKADDR_IRDA, irdaServiceName) == 6);

// One discovered device: 28 bytes, the name NUL-terminated (at most 21 bytes).
struct IRDA_DEVICE_INFO {
    BYTE irdaDeviceID[4];
    char irdaDeviceName[22];
    BYTE Reserved[2];
};
static_assert(sizeof(IRDA_DEVICE_INFO) == 28);

// The discovery list: the count, then the entries. A 60-byte buffer holds two
// (entry 0 at offset 4, entry 1 at offset 32).
struct DEVICELIST {
    ULONG numDevice;
    IRDA_DEVICE_INFO Device[1];
};
static_assert(offsetof(DEVICELIST, Device) == 4);

using TIMEVAL = ::timeval;

// A set of sockets for select, in the platform's layout. The host's headers
// own the names FD_ZERO, FD_SET and FD_ISSET (as macros), so the set is
// filled and tested with FdZero, FdSet and FdIsSet.
inline constexpr UINT kFdSetSize = 64;
struct fd_set {
    UINT fd_count;
    SOCKET fd_array[kFdSetSize];
};

inline void FdZero(fd_set* set) {
    set->fd_count = 0;
}
// Adds `s` unless it is already in the set or the set is full.
inline void FdSet(SOCKET s, fd_set* set) {
    for (UINT i = 0; i < set->fd_count; ++i) {
        if (set->fd_array[i] == s)
            return;
    }
    if (set->fd_count < kFdSetSize)
        set->fd_array[set->fd_count++] = s;
}
inline bool FdIsSet(SOCKET s, const fd_set* set) {
    for (UINT i = 0; i < set->fd_count && i < kFdSetSize; ++i) {
        if (set->fd_array[i] == s)
            return true;
    }
    return false;
}

// af AF_IRDA, type SOCK_STREAM, protocol 0.
SOCKET socket(int af, int type, int protocol);
// Binds the socket to the service name of a SOCKADDR_IRDA (its device id is
// not used). WSAEADDRINUSE when this device already has a listener of that
// name; WSAEADDRNOTAVAIL when TESSALY_IR_ADDRESS is not an address of this
// host.
int bind(SOCKET s, const SOCKADDR* name, int namelen);
// Starts listening and publishes the room entry.
int listen(SOCKET s, int backlog);
// Waits for a connection. `addr` (when given, with *addrlen at least 32)
// receives a SOCKADDR_IRDA with the family and a zero device id.
SOCKET accept(SOCKET s, SOCKADDR* addr, int* addrlen);
// Connects to (device id, service name). A failed attempt leaves the socket
// as it was, so connect may be called again on it.
int connect(SOCKET s, const SOCKADDR* name, int namelen);
// `nfds` is ignored. A listening socket is readable when a connection waits,
// a connected one when data, the end of the stream or an error waits; a
// connected socket is writable when a send would not block. Returns the
// number of ready sockets (the sets keep only those), 0 at the time-out.
// A null `timeout` waits without limit.
int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const TIMEVAL* timeout);
// `flags` must be 0. Returns the number of bytes taken, which may be fewer
// than `len`.
int send(SOCKET s, const char* buf, int len, int flags);
// `flags` must be 0. Returns the number of bytes received, 0 when the peer
// has closed the connection.
int recv(SOCKET s, char* buf, int len, int flags);
// Only SOL_IRLMP / IRLMP_ENUMDEVICES: one discovery into a DEVICELIST of
// *optlen bytes; *optlen becomes the bytes used.
int getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen);
int closesocket(SOCKET s);

// A socket closed with closesocket.
struct SocketTraits {
    using Value = SOCKET;
    static SOCKET Empty() { return INVALID_SOCKET; }
    static bool IsEmpty(SOCKET s) { return s == INVALID_SOCKET; }
    static void Close(SOCKET s) { closesocket(s); }
};
using UniqueSocket = UniqueResource<SocketTraits>;

// The same thread-local value as GetLastError.
int WSAGetLastError();
void WSASetLastError(int error);

// ---- Test hooks --------------------------------------------------------------
//
// Each send takes at most `bytes` bytes, each recv returns at most `bytes`
// bytes (0: no limit), so that callers' handling of partial transfers can be
// tested. TESSALY_IR_SEND_LIMIT and TESSALY_IR_RECV_LIMIT set the same for a
// whole process.
void SetIrdaSendLimit(int bytes);
void SetIrdaReceiveLimit(int bytes);
// How long connect waits for the TCP handshake (default 3000 ms).
void SetIrdaConnectTimeout(int milliseconds);

}  // namespace ce

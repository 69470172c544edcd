#include "transfer/IrdaSocket.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/core/Bytes.h"
#include "platform/core/WideFormat.h"
#include "resources/TransferIds.h"
#include "ui/MessageBoxes.h"

namespace transfer {

using namespace ce;

namespace {

// A wait for data polls in slices this long, so that the window stays alive.
constexpr int kWaitSliceMs = 20;
constexpr int kDeviceListBytes = 60;
constexpr int kAddressBytes = 32;

int EnvironmentMilliseconds(const char* name, int fallback, int largest) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == 0)
        return fallback;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != 0 || value < 0)
        return fallback;
    return static_cast<int>(std::min<long>(value, largest));
}

// select on one socket: 1 ready, 0 not within `waitMs`, -1 failed.
int Readable(SOCKET s, int waitMs) {
    ce::fd_set set;
    FdZero(&set);
    FdSet(s, &set);
    TIMEVAL timeout{waitMs / 1000, (waitMs % 1000) * 1000};
    int ready = ce::select(0, &set, nullptr, nullptr, &timeout);
    if (ready == SOCKET_ERROR)
        return -1;
    return ready > 0 && FdIsSet(s, &set) ? 1 : 0;
}

}  // namespace

int PaceMilliseconds() {
    return EnvironmentMilliseconds("TESSALY_IR_PACE_MS", 50, 10000);
}

int SilenceMilliseconds() {
    return EnvironmentMilliseconds("TESSALY_IR_SILENCE_MS", 30000, 24 * 3600 * 1000);
}

IrdaSocket::IrdaSocket(HWND owner) : owner_(owner), silenceMs_(SilenceMilliseconds()) {}

IrdaSocket::~IrdaSocket() {
    CloseAll();
}

void IrdaSocket::Report(UINT formatId, const char16_t* call, int error) {
    WCHAR format[80];
    ui::LoadText(formatId, format, 80);
    std::u16string text = FormatWide(format, {call, error});
    ui::MessageTextWithId(owner_, text, ui::kErrorStyle, formatId);
}

bool IrdaSocket::FillAddress(SOCKADDR_IRDA& address, UINT failureId) {
    alignas(DEVICELIST) BYTE list[kDeviceListBytes] = {};
    int length = kDeviceListBytes;
    if (ce::getsockopt(primary_.get(), ce::SOL_IRLMP, ce::IRLMP_ENUMDEVICES,
                       reinterpret_cast<char*>(list), &length) == SOCKET_ERROR) {
        Report(failureId, u"getsockopt", WSAGetLastError());
        return false;
    }
    // Only the first entry counts; with none its identifier is all zeros.
    std::memset(&address, 0, sizeof address);
    address.irdaAddressFamily = ce::AF_IRDA;
    std::memcpy(address.irdaDeviceID, list + offsetof(DEVICELIST, Device), 4);
    std::memcpy(address.irdaServiceName, kServiceName, std::strlen(kServiceName) + 1);
    return true;
}

bool IrdaSocket::CreateListener() {
    primary_.reset(ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0));
    if (!primary_) {
        Report(res::IDS_IR_CANT_INITIALIZE, u"socket", WSAGetLastError());
        return false;
    }
    SOCKADDR_IRDA address;
    if (!FillAddress(address, res::IDS_IR_CANT_INITIALIZE)) {
        CloseAll();
        return false;
    }
    if (ce::bind(primary_.get(), reinterpret_cast<const SOCKADDR*>(&address), kAddressBytes) ==
        SOCKET_ERROR) {
        Report(res::IDS_IR_CANT_INITIALIZE, u"bind", WSAGetLastError());
        CloseAll();
        return false;
    }
    if (ce::listen(primary_.get(), 1) == SOCKET_ERROR) {
        Report(res::IDS_IR_CANT_INITIALIZE, u"listen", WSAGetLastError());
        return false;
    }
    return true;
}

bool IrdaSocket::CreateClient() {
    primary_.reset(ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0));
    if (!primary_) {
        Report(res::IDS_IR_CANT_INITIALIZE, u"socket", WSAGetLastError());
        return false;
    }
    return true;
}

int IrdaSocket::TryConnect() {
    SOCKADDR_IRDA address;
    if (!FillAddress(address, res::IDS_IR_CANT_COMMUNICATE))
        return -1;
    if (ce::connect(primary_.get(), reinterpret_cast<const SOCKADDR*>(&address), kAddressBytes) !=
        SOCKET_ERROR) {
        return 0;
    }
    int error = WSAGetLastError();
    switch (error) {
        case WSAEADDRNOTAVAIL:
        case WSAENETDOWN:
        case WSAECONNABORTED:
        case WSAETIMEDOUT:
        case WSAECONNREFUSED:
            return 1;
        default:
            Report(res::IDS_IR_CANT_COMMUNICATE, u"connect", error);
            return -1;
    }
}

bool IrdaSocket::IsConnectionPending(int waitMs) {
    int ready = Readable(primary_.get(), waitMs);
    if (ready < 0) {
        Report(res::IDS_IR_CANT_COMMUNICATE, u"select", WSAGetLastError());
        return false;
    }
    return ready == 1;
}

bool IrdaSocket::AcceptConnection() {
    alignas(SOCKADDR_IRDA) BYTE address[kAddressBytes] = {};
    int length = kAddressBytes;
    accepted_.reset(ce::accept(primary_.get(), reinterpret_cast<SOCKADDR*>(address), &length));
    if (!accepted_) {
        Report(res::IDS_IR_CANT_COMMUNICATE, u"accept", WSAGetLastError());
        return false;
    }
    return true;
}

bool IrdaSocket::SendWhole(SOCKET s, const BYTE* buffer, int length) {
    // A send may take fewer bytes than offered; the rest follows at once, so
    // that the peer always receives whole units.
    int sent = 0;
    while (sent < length) {
        int n = ce::send(s, reinterpret_cast<const char*>(buffer + sent), length - sent, 0);
        if (n == SOCKET_ERROR || n <= 0) {
            Report(res::IDS_IR_CANT_SEND, u"send", n == 0 ? WSAECONNRESET : WSAGetLastError());
            return false;
        }
        sent += n;
    }
    return true;
}

int IrdaSocket::SendBytes(const void* buffer, int length) {
    if (length <= 0)
        return 0;
    return SendWhole(primary_.get(), static_cast<const BYTE*>(buffer), length) ? length : -1;
}

bool IrdaSocket::SendCode(DWORD code, Connection connection) {
    BYTE bytes[4];
    StoreU32(bytes, code);
    return SendWhole(connection == kPrimary ? primary_.get() : accepted_.get(), bytes, 4);
}

IrdaSocket::Wait IrdaSocket::WaitForData(SOCKET s, const KeepWaiting& keepWaiting, bool bounded) {
    auto start = std::chrono::steady_clock::now();
    while (true) {
        int waited = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
        int left = bounded ? silenceMs_ - waited : kWaitSliceMs;
        if (left <= 0)
            return Wait::Silent;
        bool sliced = keepWaiting || whileWaiting_;
        int ready = Readable(s, sliced ? std::min(left, kWaitSliceMs) : left);
        if (ready < 0)
            return Wait::Failed;
        if (ready == 1)
            return Wait::Ready;
        if (whileWaiting_)
            whileWaiting_();
        if (keepWaiting && !keepWaiting())
            return Wait::Stopped;
    }
}

bool IrdaSocket::ReadWhole(SOCKET s, BYTE* buffer, int length, const KeepWaiting& keepWaiting,
                           bool bounded, bool* stopped) {
    int received = 0;
    while (received < length) {
        // Only the wait for the unit's first byte may be stopped; once it
        // has begun, the unit is read whole or the read fails.
        Wait wait = WaitForData(s, received == 0 ? keepWaiting : KeepWaiting{},
                                received == 0 ? bounded : true);
        if (wait == Wait::Stopped) {
            if (stopped != nullptr)
                *stopped = true;
            return false;
        }
        if (wait != Wait::Ready) {
            Report(res::IDS_IR_CANT_READ, u"recv",
                   wait == Wait::Silent ? WSAETIMEDOUT : WSAGetLastError());
            return false;
        }
        int n = ce::recv(s, reinterpret_cast<char*>(buffer + received), length - received, 0);
        if (n == SOCKET_ERROR) {
            Report(res::IDS_IR_CANT_READ, u"recv", WSAGetLastError());
            return false;
        }
        // The peer closed the connection before the unit was whole.
        if (n == 0) {
            Report(res::IDS_IR_CANT_READ, u"recv", WSAECONNRESET);
            return false;
        }
        received += n;
    }
    return true;
}

int IrdaSocket::ReceiveExact(void* buffer, int length) {
    if (length <= 0)
        return 0;
    return ReadWhole(accepted_.get(), static_cast<BYTE*>(buffer), length, {}, true, nullptr)
               ? length
               : -1;
}

DWORD IrdaSocket::ReceiveCode(Connection connection, const KeepWaiting& keepWaiting, bool* stopped,
                              bool bounded) {
    BYTE bytes[4] = {};
    SOCKET s = connection == kPrimary ? primary_.get() : accepted_.get();
    if (!ReadWhole(s, bytes, 4, keepWaiting, bounded, stopped))
        return XFER_CANCEL;
    return LoadU32(bytes);
}

void IrdaSocket::CloseAll() {
    accepted_.reset();
    primary_.reset();
}

}  // namespace transfer

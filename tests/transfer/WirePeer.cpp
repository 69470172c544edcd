#include "tests/transfer/WirePeer.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/core/Bytes.h"
#include "transfer/IrdaSocket.h"
#include "transfer/TransferUnits.h"

namespace transfer_tests {

namespace {

ce::SOCKADDR_IRDA Address(const BYTE* deviceId) {
    ce::SOCKADDR_IRDA address{};
    address.irdaAddressFamily = ce::AF_IRDA;
    std::memcpy(address.irdaDeviceID, deviceId, 4);
    std::strcpy(address.irdaServiceName, transfer::kServiceName);
    return address;
}

}  // namespace

bool WirePeer::ConnectToReceiver(int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    stream_.reset(ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0));
    while (stream_ && std::chrono::steady_clock::now() < end) {
        BYTE list[60] = {};
        int length = sizeof list;
        if (ce::getsockopt(stream_.get(), ce::SOL_IRLMP, ce::IRLMP_ENUMDEVICES,
                           reinterpret_cast<char*>(list), &length) == ce::SOCKET_ERROR) {
            return false;
        }
        ce::SOCKADDR_IRDA address = Address(list + 4);
        if (ce::LoadU32(list) > 0 &&
            ce::connect(stream_.get(), reinterpret_cast<const ce::SOCKADDR*>(&address),
                        sizeof address) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool WirePeer::Listen() {
    listener_.reset(ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0));
    BYTE none[4] = {};
    ce::SOCKADDR_IRDA address = Address(none);
    return listener_ &&
           ce::bind(listener_.get(), reinterpret_cast<const ce::SOCKADDR*>(&address),
                    sizeof address) == 0 &&
           ce::listen(listener_.get(), 1) == 0;
}

bool WirePeer::Accept(int timeoutMs) {
    ce::fd_set set;
    ce::FdZero(&set);
    ce::FdSet(listener_.get(), &set);
    ce::TIMEVAL timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (ce::select(0, &set, nullptr, nullptr, &timeout) != 1)
        return false;
    stream_.reset(ce::accept(listener_.get(), nullptr, nullptr));
    return static_cast<bool>(stream_);
}

bool WirePeer::Readable(int timeoutMs) {
    ce::fd_set set;
    ce::FdZero(&set);
    ce::FdSet(stream_.get(), &set);
    ce::TIMEVAL timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return ce::select(0, &set, nullptr, nullptr, &timeout) == 1;
}

bool WirePeer::Send(const std::vector<BYTE>& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        int n = ce::send(stream_.get(), reinterpret_cast<const char*>(bytes.data() + sent),
                         static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool WirePeer::SendCode(DWORD code) {
    std::vector<BYTE> bytes(4);
    ce::StoreU32(bytes.data(), code);
    return Send(bytes);
}

std::optional<std::vector<BYTE>> WirePeer::ReadExact(std::size_t n, int timeoutMs) {
    std::vector<BYTE> bytes(n);
    std::size_t got = 0;
    while (got < n) {
        if (!Readable(timeoutMs))
            return std::nullopt;
        int r = ce::recv(stream_.get(), reinterpret_cast<char*>(bytes.data() + got),
                         static_cast<int>(n - got), 0);
        if (r <= 0)
            return std::nullopt;
        got += static_cast<std::size_t>(r);
    }
    return bytes;
}

std::optional<DWORD> WirePeer::ReadCode(int timeoutMs) {
    std::optional<std::vector<BYTE>> bytes = ReadExact(4, timeoutMs);
    if (!bytes)
        return std::nullopt;
    return ce::LoadU32(bytes->data());
}

std::vector<BYTE> WirePeer::ReadWhatArrives(std::size_t most, int quietMs) {
    std::vector<BYTE> bytes;
    std::vector<BYTE> buffer(8192);
    while (bytes.size() < most && Readable(quietMs)) {
        int r = ce::recv(stream_.get(), reinterpret_cast<char*>(buffer.data()),
                         static_cast<int>(std::min(buffer.size(), most - bytes.size())), 0);
        if (r <= 0)
            break;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + r);
    }
    return bytes;
}

bool WirePeer::Closed(int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (!Readable(50))
            continue;
        char c;
        int r = ce::recv(stream_.get(), &c, 1, 0);
        if (r <= 0)
            return true;
    }
    return false;
}

void WirePeer::Close() {
    stream_.reset();
    listener_.reset();
}

std::vector<BYTE> HeaderBytes(const char16_t* name, WORD records, WORD sortOrders) {
    ce::CEDBASEINFO info{};
    for (int i = 0; name[i] != 0 && i < 32; ++i)
        info.szDbaseName[i] = name[i];
    info.dwDbaseType = 5;
    info.wNumRecords = records;
    info.wNumSortOrder = sortOrders;
    auto bytes = transfer::EncodeHeader(info);
    return {bytes.begin(), bytes.end()};
}

std::vector<BYTE> DescriptorBytes(WORD count, DWORD size) {
    auto bytes = transfer::EncodeDescriptor({count, size, 0x12345678});
    return {bytes.begin(), bytes.end()};
}

void AppendEntry(std::vector<BYTE>& image, DWORD propid, DWORD low, DWORD high) {
    std::size_t at = image.size();
    image.resize(at + 16);
    ce::StoreU32(&image[at], propid);
    ce::StoreU32(&image[at + 8], low);
    ce::StoreU32(&image[at + 12], high);
}

}  // namespace transfer_tests

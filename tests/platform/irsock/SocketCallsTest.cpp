// The socket calls in one process: their argument and state checks, and a
// listener of this device reached by its own id.

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/core/LastError.h"
#include "tests/platform/irsock/IrdaTestSupport.h"

namespace irsock_test {
namespace {

using ce::irsock::OwnDeviceId;

const ce::SOCKADDR* AsAddress(const ce::SOCKADDR_IRDA& address) {
    return reinterpret_cast<const ce::SOCKADDR*>(&address);
}

int Bind(ce::SOCKET s, const char* service) {
    ce::SOCKADDR_IRDA address = IrdaAddress({}, service);
    return ce::bind(s, AsAddress(address), sizeof address);
}

// Polls `s` for reading with a zero timeout.
int PollReadable(ce::SOCKET s) {
    ce::fd_set set;
    ce::FdZero(&set);
    ce::FdSet(s, &set);
    ce::TIMEVAL now{0, 0};
    int ready = ce::select(0, &set, nullptr, nullptr, &now);
    EXPECT_EQ(ce::FdIsSet(s, &set), ready > 0);
    return ready;
}

// Waits (without limit) until `s` is readable.
void WaitReadable(ce::SOCKET s) {
    ce::fd_set set;
    ce::FdZero(&set);
    ce::FdSet(s, &set);
    ASSERT_EQ(ce::select(0, &set, nullptr, nullptr, nullptr), 1);
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SocketCalls : public IrdaTest {
protected:
    // A connected pair through a listener of this device: {client, accepted}.
    std::pair<ce::UniqueSocket, ce::UniqueSocket> Pair() {
        listener_.reset();
        listener_ = NewListener();
        EXPECT_TRUE(listener_);
        ce::UniqueSocket client = NewSocket();
        EXPECT_EQ(Connect(client.get(), OwnDeviceId()), 0) << ce::WSAGetLastError();
        ce::UniqueSocket accepted(ce::accept(listener_.get(), nullptr, nullptr));
        EXPECT_TRUE(accepted);
        return {std::move(client), std::move(accepted)};
    }

    ce::UniqueSocket listener_;
};

TEST_F(SocketCalls, SocketIsOnlyAnIrdaStream) {
    EXPECT_EQ(ce::socket(2, ce::SOCK_STREAM, 0), ce::INVALID_SOCKET);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEAFNOSUPPORT);
    EXPECT_EQ(ce::socket(ce::AF_IRDA, 2, 0), ce::INVALID_SOCKET);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAESOCKTNOSUPPORT);
    EXPECT_EQ(ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 6), ce::INVALID_SOCKET);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEPROTONOSUPPORT);
    // The error number is the one GetLastError returns.
    EXPECT_EQ(ce::GetLastError(), static_cast<ce::DWORD>(ce::WSAEPROTONOSUPPORT));
}

TEST_F(SocketCalls, ListeningPublishesOneEntryLineAndClosingRemovesIt) {
    ce::UniqueSocket listener = NewListener();
    ASSERT_TRUE(listener);
    std::filesystem::path entry = EntryFile(OwnDeviceId());
    std::string line = ReadFile(entry);
    std::string id = ce::irsock::DeviceIdHex(OwnDeviceId());
    ASSERT_EQ(line.substr(0, 9), id + " ");
    int port = std::atoi(line.c_str() + 9);
    EXPECT_GT(port, 0);
    std::string name = device_.path().filename().string().substr(0, 21);
    EXPECT_EQ(line, id + " " + std::to_string(port) + " " + std::to_string(::getpid()) + " " +
                        name + "\n");
    // Only the entry itself: the temporary file was renamed.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Room()),
                            std::filesystem::directory_iterator{}),
              1);

    EXPECT_EQ(ce::closesocket(listener.release()), 0);
    EXPECT_FALSE(std::filesystem::exists(entry));
}

TEST_F(SocketCalls, AConnectionCarriesBytesBothWaysAndEndsWithRecvZero) {
    auto [client, accepted] = Pair();
    ASSERT_TRUE(accepted);
    std::string data("one\0two", 7);
    ASSERT_TRUE(SendAll(client.get(), data));
    EXPECT_EQ(ReceiveUpTo(accepted.get(), data.size()), data);
    ASSERT_TRUE(SendAll(accepted.get(), "ack"));
    EXPECT_EQ(ReceiveUpTo(client.get(), 3), "ack");

    client.reset();
    char byte;
    EXPECT_EQ(ce::recv(accepted.get(), &byte, 1, 0), 0);
    EXPECT_EQ(ce::recv(accepted.get(), &byte, 1, 0), 0);
}

TEST_F(SocketCalls, SendingToAClosedConnectionFailsWithAReset) {
    auto [client, accepted] = Pair();
    accepted.reset();
    int result = 0;
    // The first sends may still be taken; the peer's reset ends them.
    for (int i = 0; i < 100 && result >= 0; ++i)
        result = ce::send(client.get(), "x", 1, 0);
    EXPECT_EQ(result, ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNRESET);
}

TEST_F(SocketCalls, AcceptGivesAnIrdaAddress) {
    listener_ = NewListener();
    ce::UniqueSocket client = NewSocket();
    ASSERT_EQ(Connect(client.get(), OwnDeviceId()), 0);
    ce::SOCKADDR_IRDA peer;
    std::memset(&peer, 0x55, sizeof peer);
    int length = 31;
    EXPECT_EQ(ce::accept(listener_.get(), reinterpret_cast<ce::SOCKADDR*>(&peer), &length),
              ce::INVALID_SOCKET);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEFAULT);
    length = sizeof peer;
    ce::UniqueSocket accepted(
        ce::accept(listener_.get(), reinterpret_cast<ce::SOCKADDR*>(&peer), &length));
    ASSERT_TRUE(accepted);
    EXPECT_EQ(length, 32);
    EXPECT_EQ(peer.irdaAddressFamily, ce::AF_IRDA);
    EXPECT_EQ(peer.irdaServiceName[0], 0);
}

TEST_F(SocketCalls, SelectWithAZeroTimeoutReportsOnlyReadySockets) {
    listener_ = NewListener();
    EXPECT_EQ(PollReadable(listener_.get()), 0);
    ce::UniqueSocket unconnected = NewSocket();
    EXPECT_EQ(PollReadable(unconnected.get()), 0);

    ce::UniqueSocket client = NewSocket();
    ASSERT_EQ(Connect(client.get(), OwnDeviceId()), 0);
    WaitReadable(listener_.get());
    EXPECT_EQ(PollReadable(listener_.get()), 1);
    ce::UniqueSocket accepted(ce::accept(listener_.get(), nullptr, nullptr));
    EXPECT_EQ(PollReadable(listener_.get()), 0);
    EXPECT_EQ(PollReadable(accepted.get()), 0);

    // Both sets at once: the client is writable, the accepted socket
    // readable once data waits; the sets keep exactly those.
    ASSERT_TRUE(SendAll(client.get(), "x"));
    WaitReadable(accepted.get());
    ce::fd_set readable, writable, exceptional;
    ce::FdZero(&readable);
    ce::FdZero(&writable);
    ce::FdZero(&exceptional);
    ce::FdSet(listener_.get(), &readable);
    ce::FdSet(accepted.get(), &readable);
    ce::FdSet(client.get(), &writable);
    ce::FdSet(unconnected.get(), &writable);
    ce::FdSet(client.get(), &exceptional);
    ce::TIMEVAL now{0, 0};
    EXPECT_EQ(ce::select(0, &readable, &writable, &exceptional, &now), 2);
    EXPECT_EQ(readable.fd_count, 1u);
    EXPECT_TRUE(ce::FdIsSet(accepted.get(), &readable));
    EXPECT_EQ(writable.fd_count, 1u);
    EXPECT_TRUE(ce::FdIsSet(client.get(), &writable));
    EXPECT_EQ(exceptional.fd_count, 0u);

    // The end of the stream is readable too.
    client.reset();
    WaitReadable(accepted.get());
}

TEST_F(SocketCalls, SelectWaitsForItsTimeoutWhenNothingIsReady) {
    listener_ = NewListener();
    ce::fd_set set;
    ce::FdZero(&set);
    ce::FdSet(listener_.get(), &set);
    ce::TIMEVAL brief{0, 20000};
    EXPECT_EQ(ce::select(0, &set, nullptr, nullptr, &brief), 0);
    EXPECT_EQ(set.fd_count, 0u);
}

TEST_F(SocketCalls, SelectKeepsItsResultsInsideTheSetsItWasGiven) {
    auto [client, accepted] = Pair();
    ASSERT_TRUE(SendAll(client.get(), "x"));
    WaitReadable(accepted.get());
    // A full set, filled by hand with one ready socket, given for reading
    // and writing at once.
    ce::fd_set both;
    both.fd_count = ce::kFdSetSize;
    for (ce::SOCKET& s : both.fd_array)
        s = accepted.get();
    ce::TIMEVAL now{0, 0};
    EXPECT_EQ(ce::select(0, &both, &both, nullptr, &now), 2 * static_cast<int>(ce::kFdSetSize));
    EXPECT_EQ(both.fd_count, ce::kFdSetSize);
}

TEST_F(SocketCalls, SelectRefusesUnknownSocketsEmptySetsAndBadTimeouts) {
    listener_ = NewListener();
    ce::fd_set set;
    ce::TIMEVAL now{0, 0};
    ce::FdZero(&set);
    ce::FdSet(0x42, &set);
    EXPECT_EQ(ce::select(0, &set, nullptr, nullptr, &now), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENOTSOCK);
    ce::FdZero(&set);
    EXPECT_EQ(ce::select(0, &set, nullptr, nullptr, &now), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(ce::select(0, nullptr, nullptr, nullptr, &now), ce::SOCKET_ERROR);
    ce::FdSet(listener_.get(), &set);
    ce::TIMEVAL negative{0, -1};
    EXPECT_EQ(ce::select(0, &set, nullptr, nullptr, &negative), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    set.fd_count = ce::kFdSetSize + 1;
    EXPECT_EQ(ce::select(0, &set, nullptr, nullptr, &now), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
}

TEST_F(SocketCalls, ConnectWithoutAListenerIsRefusedAndMayBeRepeatedOnTheSameSocket) {
    ce::UniqueSocket client = NewSocket();
    // An empty discovery list leaves the address's id all zero.
    EXPECT_EQ(Connect(client.get(), {}), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNREFUSED);
    EXPECT_EQ(Connect(client.get(), OwnDeviceId()), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNREFUSED);

    listener_ = NewListener("OTHER");
    EXPECT_EQ(Connect(client.get(), OwnDeviceId()), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNREFUSED);
    EXPECT_EQ(Connect(client.get(), OwnDeviceId(), "OTHER"), 0);
    EXPECT_EQ(Connect(client.get(), OwnDeviceId(), "OTHER"), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEISCONN);
}

TEST_F(SocketCalls, AddressesMustBeIrdaAddressesWithATerminatedServiceName) {
    ce::UniqueSocket s = NewSocket();
    ce::SOCKADDR_IRDA address = IrdaAddress(OwnDeviceId());
    EXPECT_EQ(ce::bind(s.get(), AsAddress(address), 31), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEFAULT);
    EXPECT_EQ(ce::connect(s.get(), nullptr, 32), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEFAULT);
    address.irdaAddressFamily = 2;
    EXPECT_EQ(ce::connect(s.get(), AsAddress(address), 32), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEAFNOSUPPORT);

    address.irdaAddressFamily = ce::AF_IRDA;
    std::memset(address.irdaServiceName, 'x', sizeof address.irdaServiceName);
    for (auto call : {ce::bind, ce::connect}) {
        EXPECT_EQ(call(s.get(), AsAddress(address), 32), ce::SOCKET_ERROR);
        EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    }
    for (const char* bad : {"", "../x", "tab\there"}) {
        EXPECT_EQ(Bind(s.get(), bad), ce::SOCKET_ERROR) << bad;
        EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    }
    // 24 characters and the NUL fill the field exactly.
    EXPECT_EQ(Bind(s.get(), "abcdefghijklmnopqrstuvwx"), 0);
}

TEST_F(SocketCalls, AServiceThisDeviceHoldsCannotBeBoundAgain) {
    ce::UniqueSocket first = NewSocket();
    ASSERT_EQ(Bind(first.get(), kService), 0);
    ce::UniqueSocket second = NewSocket();
    EXPECT_EQ(Bind(second.get(), kService), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEADDRINUSE);
    EXPECT_EQ(Bind(second.get(), "OTHER"), 0);
    first.reset();
    ce::UniqueSocket third = NewSocket();
    EXPECT_EQ(Bind(third.get(), kService), 0);
}

TEST_F(SocketCalls, CallsOutOfOrderFailWithTheirErrorNumbers) {
    ce::UniqueSocket s = NewSocket();
    char byte = 0;
    EXPECT_EQ(ce::listen(s.get(), 1), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(ce::send(s.get(), &byte, 1, 0), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENOTCONN);
    EXPECT_EQ(ce::recv(s.get(), &byte, 1, 0), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENOTCONN);

    listener_ = NewListener();
    EXPECT_EQ(ce::accept(s.get(), nullptr, nullptr), ce::INVALID_SOCKET);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(Bind(listener_.get(), "OTHER"), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(Connect(listener_.get(), OwnDeviceId()), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(ce::listen(listener_.get(), 1), 0);

    auto [client, accepted] = Pair();
    EXPECT_EQ(ce::send(client.get(), &byte, 1, 1), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEOPNOTSUPP);
    EXPECT_EQ(ce::send(client.get(), &byte, -1, 0), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(ce::recv(client.get(), nullptr, 0, 0), 0);

    ce::SOCKET raw = s.release();
    EXPECT_EQ(ce::closesocket(raw), 0);
    EXPECT_EQ(ce::closesocket(raw), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENOTSOCK);
    EXPECT_EQ(ce::send(raw, &byte, 1, 0), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENOTSOCK);
}

TEST_F(SocketCalls, LimitedSendsTakePartOfTheBufferAndLimitedReceivesSplitIt) {
    auto [client, accepted] = Pair();
    ce::SetIrdaSendLimit(3);
    EXPECT_EQ(ce::send(client.get(), "abcdefghij", 10, 0), 3);
    ASSERT_TRUE(SendAll(client.get(), "defghij"));
    ce::SetIrdaReceiveLimit(4);
    char buffer[10];
    WaitReadable(accepted.get());
    int first = ce::recv(accepted.get(), buffer, sizeof buffer, 0);
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 4);
    EXPECT_EQ(std::string(buffer, first) + ReceiveUpTo(accepted.get(), 10 - first), "abcdefghij");
}

TEST_F(SocketCalls, ClosingFromAnotherThreadEndsABlockedAccept) {
    listener_ = NewListener();
    ce::SOCKET raw = listener_.release();
    ce::SOCKET result = 0;
    int error = 0;
    std::thread waiter([&] {
        result = ce::accept(raw, nullptr, nullptr);
        error = ce::WSAGetLastError();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ce::closesocket(raw), 0);
    waiter.join();
    EXPECT_EQ(result, ce::INVALID_SOCKET);
    // Closed while it waited, or before it began.
    EXPECT_TRUE(error == ce::WSAEINTR || error == ce::WSAENOTSOCK) << error;
    EXPECT_FALSE(std::filesystem::exists(EntryFile(OwnDeviceId())));
}

TEST_F(SocketCalls, DiscoveryNeedsRoomForTheCountAndFillsOnlyWhatFits) {
    ce::UniqueSocket s = NewSocket();
    // Another device's entry, kept live by this process's pid.
    std::ofstream(EntryFile({1, 2, 3, 4})) << "01020304 9 " << ::getpid() << " other\n";
    char list[60];
    int size = 3;
    EXPECT_EQ(ce::getsockopt(s.get(), ce::SOL_IRLMP, ce::IRLMP_ENUMDEVICES, list, &size),
              ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEFAULT);
    size = 60;
    EXPECT_EQ(ce::getsockopt(s.get(), 0xFFFF, ce::IRLMP_ENUMDEVICES, list, &size),
              ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEINVAL);
    EXPECT_EQ(ce::getsockopt(s.get(), ce::SOL_IRLMP, 0x11, list, &size), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENOPROTOOPT);

    std::memset(list, 0x55, sizeof list);
    size = 31;
    ASSERT_EQ(ce::getsockopt(s.get(), ce::SOL_IRLMP, ce::IRLMP_ENUMDEVICES, list, &size), 0);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(std::string(list, 4), std::string(4, '\0'));
    EXPECT_EQ(list[4], 0x55);

    std::vector<Found> found = Discover(s.get());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].id, (ce::irsock::DeviceId{1, 2, 3, 4}));
    EXPECT_EQ(found[0].name, "other");
}

TEST_F(SocketCalls, DiscoveryLeavesOutThisDevicesOwnListener) {
    listener_ = NewListener();
    EXPECT_TRUE(Discover(listener_.get()).empty());
}

}  // namespace
}  // namespace irsock_test

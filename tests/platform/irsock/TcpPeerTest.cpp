// The sockets against plain TCP peers, as a program in another language
// would be one: TESSALY_IR_PEERS listeners, the bytes on the wire, refused
// and unanswered connections, and TESSALY_IR_ADDRESS.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <fstream>

#include "platform/core/UniqueResource.h"
#include "tests/platform/irsock/IrdaTestSupport.h"

namespace irsock_test {
namespace {

// A plain TCP listener on 127.0.0.1.
class TcpListener {
public:
    explicit TcpListener(int backlog = 4) {
        fd_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(fd_.get(), reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(fd_.get(), backlog), 0);
        ::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    int port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    ce::irsock::DeviceId Id() const { return ce::irsock::DeviceIdOfText(HostPort()); }
    ce::UniqueFd Accept() { return ce::UniqueFd(::accept(fd_.get(), nullptr, nullptr)); }
    void Close() { fd_.reset(); }

private:
    ce::UniqueFd fd_;
    int port_ = 0;
};

// Everything a plain TCP peer reads until the other side closes.
std::string ReadToEnd(int fd) {
    std::string all;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        all.append(buffer, static_cast<std::size_t>(n));
    return all;
}

using TcpPeer = IrdaTest;

TEST_F(TcpPeer, RemoteListenersAreListedAfterTheRoomsEntries) {
    TcpListener first, second;
    std::string peers = first.HostPort() + ",garbage," + second.HostPort();
    ScopedEnv env("TESSALY_IR_PEERS", peers.c_str());
    ce::UniqueSocket s = NewSocket();
    std::vector<Found> found = Discover(s.get());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].id, first.Id());
    EXPECT_EQ(found[0].name, "127.0.0.1");
    EXPECT_EQ(found[1].id, second.Id());

    ce::irsock::DeviceId roomDevice{9, 9, 9, 9};
    std::ofstream(EntryFile(roomDevice)) << "09090909 9 " << ::getpid() << " in-room\n";
    found = Discover(s.get());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "in-room");
    EXPECT_EQ(found[1].id, first.Id());
}

TEST_F(TcpPeer, TheStreamCarriesExactlyTheBytesSentAndReceived) {
    TcpListener remote;
    std::string peers = remote.HostPort();
    ScopedEnv env("TESSALY_IR_PEERS", peers.c_str());
    ce::UniqueSocket s = NewSocket();
    ASSERT_EQ(Connect(s.get(), remote.Id()), 0) << ce::WSAGetLastError();
    ce::UniqueFd connection = remote.Accept();
    ASSERT_TRUE(connection);

    // A control code, a short unit and a chunk: on the wire as they are.
    std::string units("\x02\x11\x00\x00", 4);
    units += std::string(16, '\0') + std::string(4096, '\xab');
    ASSERT_TRUE(SendAll(s.get(), units));
    std::string answer("\x02\x11\x00\x00\x08\x11\x00\x00", 8);
    ASSERT_EQ(::write(connection.get(), answer.data(), answer.size()), 8);
    EXPECT_EQ(ReceiveUpTo(s.get(), 8), answer);
    s.reset();
    EXPECT_EQ(ReadToEnd(connection.get()), units);
}

TEST_F(TcpPeer, AListenerOfThisHostIsReachedByPlainTcpAtItsEntrysPort) {
    ce::UniqueSocket listener = NewListener();
    std::ifstream entry(EntryFile(ce::irsock::OwnDeviceId()));
    std::string id;
    int port = 0;
    entry >> id >> port;
    ce::UniqueFd raw(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ASSERT_EQ(::connect(raw.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ce::UniqueSocket accepted(ce::accept(listener.get(), nullptr, nullptr));
    ASSERT_TRUE(accepted);
    ASSERT_EQ(::write(raw.get(), "\x07\x11\x00\x00", 4), 4);
    EXPECT_EQ(ReceiveUpTo(accepted.get(), 4), std::string("\x07\x11\x00\x00", 4));
    raw.reset();
    char byte;
    EXPECT_EQ(ce::recv(accepted.get(), &byte, 1, 0), 0);
}

TEST_F(TcpPeer, ARemoteListenerThatIsGoneRefusesTheConnection) {
    TcpListener remote;
    std::string peers = remote.HostPort();
    remote.Close();
    ScopedEnv env("TESSALY_IR_PEERS", peers.c_str());
    ce::UniqueSocket s = NewSocket();
    EXPECT_EQ(Connect(s.get(), remote.Id()), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNREFUSED);
}

TEST_F(TcpPeer, ARemoteListenerThatDoesNotAnswerTimesOut) {
    // A listener whose queue is full: the host drops further handshakes.
    TcpListener remote(0);
    std::vector<ce::UniqueFd> filling;
    for (int i = 0; i < 4; ++i) {
        filling.emplace_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(remote.port()));
        ::connect(filling.back().get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    std::string peers = remote.HostPort();
    ScopedEnv env("TESSALY_IR_PEERS", peers.c_str());
    ce::SetIrdaConnectTimeout(300);
    ce::UniqueSocket s = NewSocket();
    EXPECT_EQ(Connect(s.get(), remote.Id()), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAETIMEDOUT);
}

TEST_F(TcpPeer, ListenersListenWhereTessalyIrAddressSays) {
    TcpListener probe;  // a free port, given back
    int port = probe.port();
    probe.Close();
    std::string fixed = "127.0.0.1:" + std::to_string(port);
    {
        ScopedEnv env("TESSALY_IR_ADDRESS", fixed.c_str());
        ce::UniqueSocket listener = NewListener();
        ASSERT_TRUE(listener);
        std::ifstream entry(EntryFile(ce::irsock::OwnDeviceId()));
        std::string id;
        int published = 0;
        entry >> id >> published;
        EXPECT_EQ(published, port);
    }
    {
        // A wildcard address is reached over the loopback.
        ScopedEnv env("TESSALY_IR_ADDRESS", "0.0.0.0");
        ce::UniqueSocket listener = NewListener();
        ASSERT_TRUE(listener);
        ce::UniqueSocket client = NewSocket();
        EXPECT_EQ(Connect(client.get(), ce::irsock::OwnDeviceId()), 0) << ce::WSAGetLastError();
    }
    for (const char* bad : {"not an address", "192.0.2.1", "127.0.0.1:99999"}) {
        ScopedEnv env("TESSALY_IR_ADDRESS", bad);
        ce::UniqueSocket s = NewSocket();
        ce::SOCKADDR_IRDA address = IrdaAddress({});
        EXPECT_EQ(ce::bind(s.get(), reinterpret_cast<ce::SOCKADDR*>(&address), 32),
                  ce::SOCKET_ERROR);
        EXPECT_EQ(ce::WSAGetLastError(), ce::WSAEADDRNOTAVAIL) << bad;
    }
}

}  // namespace
}  // namespace irsock_test

// Other devices as real processes (irsock_peer), each in its own device
// directory, sharing the test's room.

#include <fcntl.h>
#include <sys/stat.h>

#include <csignal>
#include <ctime>

#include "tests/platform/irsock/IrdaTestSupport.h"
#include "tests/support/Process.h"

namespace irsock_test {
namespace {

using testing_support::BackgroundProcess;
using testing_support::BuiltProgram;
using testing_support::RunProgram;

class PeerProcess : public IrdaTest {
protected:
    // A peer device `name` running `args`; ready once it listens.
    std::unique_ptr<BackgroundProcess> StartPeer(const std::string& name,
                                                 std::vector<std::string> args) {
        auto peer = std::make_unique<BackgroundProcess>(BuiltProgram("irsock_peer"), args,
                                                        PeerEnv(PeerDevice(name)));
        EXPECT_TRUE(peer->WaitForOutput("listening")) << peer->output();
        return peer;
    }
    ce::irsock::DeviceId IdOf(const std::string& name) {
        return ce::irsock::DeviceIdOfDirectory(PeerDevice(name));
    }
    // Dates an entry file `seconds` into the past.
    void Age(const ce::irsock::DeviceId& id, int seconds) {
        timespec times[2];
        clock_gettime(CLOCK_REALTIME, &times[0]);
        times[0].tv_sec -= seconds;
        times[1] = times[0];
        ASSERT_EQ(::utimensat(AT_FDCWD, EntryFile(id).c_str(), times, 0), 0);
    }
};

TEST_F(PeerProcess, AListeningDeviceIsDiscoveredConnectedAndGoneWhenItCloses) {
    auto peer = StartPeer("palm-one", {"listen", kService, "echo"});
    ce::UniqueSocket s = NewSocket();
    std::vector<Found> found = Discover(s.get());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].id, IdOf("palm-one"));
    EXPECT_EQ(found[0].name, "palm-one");

    ASSERT_EQ(Connect(s.get(), found[0].id), 0) << ce::WSAGetLastError();
    std::string data;
    for (int i = 0; i < 20000; ++i)
        data.push_back(static_cast<char>(i * 7));
    ASSERT_TRUE(SendAll(s.get(), data));
    EXPECT_EQ(ReceiveUpTo(s.get(), data.size()), data);
    s.reset();
    EXPECT_EQ(peer->Wait(), 0);
    EXPECT_NE(peer->output().find("peer closed"), std::string::npos) << peer->output();
    EXPECT_FALSE(std::filesystem::exists(EntryFile(found[0].id)));
    EXPECT_TRUE(Discover(NewSocket().get()).empty());
}

TEST_F(PeerProcess, DataSentBeforeTheListenerClosesArrivesThenRecvGivesZero) {
    auto peer = StartPeer("palm-one", {"listen", kService, "send", "HELLO"});
    ce::UniqueSocket s = NewSocket();
    ASSERT_EQ(Connect(s.get(), IdOf("palm-one")), 0);
    EXPECT_EQ(ReceiveUpTo(s.get(), 100), "HELLO");
    char byte;
    EXPECT_EQ(ce::recv(s.get(), &byte, 1, 0), 0);
    EXPECT_EQ(peer->Wait(), 0);
}

TEST_F(PeerProcess, AListenerThatEndedCleanlyRemovesItsEntry) {
    auto peer = StartPeer("palm-one", {"listen", kService, "hold"});
    ASSERT_TRUE(std::filesystem::exists(EntryFile(IdOf("palm-one"))));
    peer->Signal(SIGTERM);
    EXPECT_EQ(peer->Wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(EntryFile(IdOf("palm-one"))));
}

TEST_F(PeerProcess, AKilledListenersEntryIsStaleNotListedRefusedAndTakenOver) {
    auto peer = StartPeer("palm-one", {"listen", kService, "hold"});
    peer->Signal(SIGKILL);
    peer->Wait();
    ASSERT_TRUE(std::filesystem::exists(EntryFile(IdOf("palm-one"))));
    ce::UniqueSocket s = NewSocket();
    EXPECT_TRUE(Discover(s.get()).empty());
    EXPECT_EQ(Connect(s.get(), IdOf("palm-one")), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNREFUSED);

    // The device starts again: its new listener replaces the stale entry.
    auto again = StartPeer("palm-one", {"listen", kService, "echo"});
    ASSERT_EQ(Discover(s.get()).size(), 1u);
    EXPECT_EQ(Connect(s.get(), IdOf("palm-one")), 0);
}

TEST_F(PeerProcess, TwoDevicesInOneRoomAreListedMostRecentlyWrittenFirst) {
    auto one = StartPeer("palm-one", {"listen", kService, "hold"});
    auto two = StartPeer("palm-two", {"listen", kService, "hold"});
    // This device's own listener is never listed.
    ce::UniqueSocket own = NewListener();
    ASSERT_TRUE(own);

    Age(IdOf("palm-one"), 20);
    Age(IdOf("palm-two"), 10);
    std::vector<Found> found = Discover(own.get());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "palm-two");
    EXPECT_EQ(found[1].name, "palm-one");

    Age(IdOf("palm-two"), 30);
    found = Discover(own.get());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].id, IdOf("palm-one"));
    EXPECT_EQ(found[1].id, IdOf("palm-two"));

    // A third device: still two in the 60-byte list, the newest ones.
    auto three = StartPeer("palm-three", {"listen", kService, "hold"});
    found = Discover(own.get());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "palm-three");
    EXPECT_EQ(found[1].name, "palm-one");
}

TEST_F(PeerProcess, TheSameServiceOnTheSameDeviceIsInUseForAnotherProcess) {
    auto peer = StartPeer("palm-one", {"listen", kService, "hold"});
    auto result = RunProgram(BuiltProgram("irsock_peer"), {"listen", kService, "hold"},
                             PeerEnv(PeerDevice("palm-one")), {}, 30);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("error listen 10048"), std::string::npos) << result.out;
}

TEST_F(PeerProcess, SocketFailsWithTheErrorNumberWhenNoDescriptorIsLeft) {
    auto result = RunProgram(BuiltProgram("irsock_peer"), {"socket-without-descriptors"},
                             PeerEnv(PeerDevice("palm-one")), {}, 30);
    EXPECT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(result.out, "error 10024\n");
}

}  // namespace
}  // namespace irsock_test

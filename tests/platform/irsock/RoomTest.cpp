// The room directory: where it is, what a listener leaves in it, and what
// discovery makes of files it did not write.

#include "platform/irsock/Room.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tests/platform/irsock/IrdaTestSupport.h"
#include "tests/support/Process.h"

namespace irsock_test {
namespace {

using ce::irsock::DeviceId;

class RoomDirectory : public IrdaTest {
protected:
    void WriteEntry(const DeviceId& fileId, const std::string& text) {
        std::ofstream(EntryFile(fileId), std::ios::binary) << text;
    }
    std::string LiveLine(const DeviceId& id, const std::string& name) {
        return ce::irsock::DeviceIdHex(id) + " 9 " + std::to_string(::getpid()) + " " + name + "\n";
    }
    // A pid that no process has any more.
    long DeadPid() {
        testing_support::BackgroundProcess ended("/bin/true", {});
        ended.Wait();
        return ended.pid();
    }
};

TEST_F(RoomDirectory, IsTheVariablesDirectoryElseTheRuntimeDirectoryElseOneInTmp) {
    EXPECT_EQ(ce::irsock::RoomDirectory(), Room());
    ScopedEnv noRoom("TESSALY_IR_ROOM", "");
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/4242");
        EXPECT_EQ(ce::irsock::RoomDirectory(), "/run/user/4242/tessaly-ir");
    }
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(ce::irsock::RoomDirectory(), "/tmp/tessaly-ir-" + std::to_string(::getuid()));
}

TEST_F(RoomDirectory, IsCreatedWhenTheFirstListenerNeedsIt) {
    std::filesystem::path nested = Room() / "not" / "yet";
    ScopedEnv room("TESSALY_IR_ROOM", nested.c_str());
    ce::UniqueSocket listener = NewListener();
    ASSERT_TRUE(listener);
    struct stat info;
    ASSERT_EQ(::stat(nested.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(nested),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST_F(RoomDirectory, AListenerThatCannotPublishFailsToListen) {
    std::filesystem::path blocked = Room() / "file";
    std::ofstream(blocked) << "not a directory";
    ScopedEnv room("TESSALY_IR_ROOM", blocked.c_str());
    ce::UniqueSocket s = NewSocket();
    ce::SOCKADDR_IRDA address = IrdaAddress({});
    ASSERT_EQ(ce::bind(s.get(), reinterpret_cast<ce::SOCKADDR*>(&address), sizeof address), 0);
    EXPECT_EQ(ce::listen(s.get(), 1), ce::SOCKET_ERROR);
    EXPECT_EQ(ce::WSAGetLastError(), ce::WSAENETDOWN);
}

TEST_F(RoomDirectory, AnEntryReplacedByAnotherListenerIsLeftToIt) {
    ce::UniqueSocket listener = NewListener();
    std::filesystem::path entry = EntryFile(ce::irsock::OwnDeviceId());
    std::ofstream(entry) << ce::irsock::DeviceIdHex(ce::irsock::OwnDeviceId()) << " 9 1 newer\n";
    listener.reset();
    EXPECT_TRUE(std::filesystem::exists(entry));
}

TEST_F(RoomDirectory, HostileAndMalformedFilesAreIgnoredAndTheLiveEntryListed) {
    DeviceId good{0x11, 0x11, 0x11, 0x11};
    WriteEntry(good, LiveLine(good, "good"));
    // Garbage, binary junk, a huge file, wrong fields, an id that is not the
    // file name's, a dead or impossible pid.
    WriteEntry({1, 0, 0, 0}, "garbage");
    WriteEntry({2, 0, 0, 0}, std::string("\0\xff\x01\x7f\n", 5));
    WriteEntry({3, 0, 0, 0}, LiveLine({3, 0, 0, 0}, "huge") + std::string(1 << 20, 'x'));
    WriteEntry({4, 0, 0, 0}, "04000000 notaport " + std::to_string(::getpid()) + " x\n");
    WriteEntry({5, 0, 0, 0}, LiveLine({6, 0, 0, 0}, "mismatch"));
    WriteEntry({7, 0, 0, 0}, "07000000 9 " + std::to_string(DeadPid()) + " dead\n");
    WriteEntry({8, 0, 0, 0}, "08000000 9 0 nopid\n");
    WriteEntry({9, 0, 0, 0}, "");
    // Things that are not regular files: a FIFO (which would block a plain
    // open), a directory, links to a live entry and to /dev/zero.
    ASSERT_EQ(::mkfifo(EntryFile({10, 0, 0, 0}).c_str(), 0600), 0);
    std::filesystem::create_directory(EntryFile({11, 0, 0, 0}));
    std::filesystem::path elsewhere = Room() / "elsewhere";
    std::ofstream(elsewhere) << LiveLine({12, 0, 0, 0}, "linked");
    std::filesystem::create_symlink(elsewhere, EntryFile({12, 0, 0, 0}));
    std::filesystem::create_symlink("/dev/zero", EntryFile({13, 0, 0, 0}));
    // Names that are not entries.
    std::ofstream(Room() / "TESSALY15@0e000000.peer.tmp") << LiveLine({14, 0, 0, 0}, "tmp");
    std::ofstream(Room() / "TESSALY15@0F000000.peer") << LiveLine({15, 0, 0, 0}, "upper");

    ce::UniqueSocket s = NewSocket();
    std::vector<Found> found = Discover(s.get());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].id, good);
    EXPECT_EQ(found[0].name, "good");
    for (int id = 1; id <= 13; ++id) {
        EXPECT_EQ(Connect(s.get(), {static_cast<ce::BYTE>(id), 0, 0, 0}), ce::SOCKET_ERROR);
        EXPECT_EQ(ce::WSAGetLastError(), ce::WSAECONNREFUSED) << id;
    }
}

TEST_F(RoomDirectory, ADeviceWithSeveralServicesIsListedOnce) {
    DeviceId other{0x22, 0x22, 0x22, 0x22};
    WriteEntry(other, LiveLine(other, "other"));
    std::ofstream(EntryFile(other, "SECOND")) << LiveLine(other, "other");
    ce::UniqueSocket s = NewSocket();
    EXPECT_EQ(Discover(s.get()).size(), 1u);
}

}  // namespace
}  // namespace irsock_test

// The texts that peers exchange through the room and the environment:
// device ids, entry lines and names, host:port lists.

#include "platform/irsock/PeerEntry.h"

#include <gtest/gtest.h>

namespace {

using ce::irsock::DeviceId;
using ce::irsock::ParsePeerEntry;

TEST(DeviceId, IsTheLittleEndianFnv1aHashWrittenByteByByte) {
    EXPECT_EQ(ce::irsock::Fnv1a32(""), 0x811c9dc5u);
    EXPECT_EQ(ce::irsock::Fnv1a32("a"), 0xe40c292cu);
    EXPECT_EQ(ce::irsock::Fnv1a32("foobar"), 0xbf9cf968u);
    DeviceId id = ce::irsock::DeviceIdOfText("foobar");
    EXPECT_EQ(id, (DeviceId{0x68, 0xf9, 0x9c, 0xbf}));
    EXPECT_EQ(ce::irsock::DeviceIdHex(id), "68f99cbf");
    EXPECT_EQ(ce::irsock::ParseDeviceIdHex("68f99cbf"), id);
}

TEST(DeviceId, OfADirectoryIgnoresTrailingSlashesAndDotComponents) {
    DeviceId plain = ce::irsock::DeviceIdOfDirectory("/home/ann/devices/palm");
    EXPECT_EQ(plain, ce::irsock::DeviceIdOfText("/home/ann/devices/palm"));
    EXPECT_EQ(ce::irsock::DeviceIdOfDirectory("/home/ann/devices/palm/"), plain);
    EXPECT_EQ(ce::irsock::DeviceIdOfDirectory("/home/ann/./devices/x/../palm"), plain);
    EXPECT_NE(ce::irsock::DeviceIdOfDirectory("/home/ann/devices/palm2"), plain);
    // A relative directory is the absolute one it names.
    EXPECT_EQ(ce::irsock::DeviceIdOfDirectory("palm"),
              ce::irsock::DeviceIdOfDirectory(std::filesystem::current_path() / "palm"));
}

TEST(DeviceId, HexFormRefusesAnythingButEightLowerCaseDigits) {
    for (const char* bad : {"", "68f99cb", "68f99cbf0", "68F99CBF", "68f99cbg", "68f9 cbf"})
        EXPECT_FALSE(ce::irsock::ParseDeviceIdHex(bad)) << bad;
}

TEST(DeviceName, IsTheLastComponentInPrintableAsciiOfAtMost21Bytes) {
    EXPECT_EQ(ce::irsock::DeviceNameOfDirectory("/tmp/devices/Ann's palm/"), "Ann's palm");
    EXPECT_EQ(ce::irsock::DeviceNameOfDirectory("/tmp/a-device-name-longer-than-21"),
              "a-device-name-longer-");
    EXPECT_EQ(ce::irsock::DeviceNameOfDirectory("/tmp/Ger\xc3\xa4t\n"), "Ger??t?");
    EXPECT_EQ(ce::irsock::DeviceNameOfDirectory("/"), "");
}

TEST(PeerEntry, FormatsOneLineThatParsesBack) {
    ce::irsock::PeerEntry entry{{0x12, 0x34, 0xab, 0xcd}, 40123, 4711, "my device"};
    std::string line = ce::irsock::FormatPeerEntry(entry);
    EXPECT_EQ(line, "1234abcd 40123 4711 my device\n");
    EXPECT_EQ(ParsePeerEntry(line), entry);
}

TEST(PeerEntry, AcceptsTheLineWithoutNewlineWithCrLfAndWithAnEmptyName) {
    auto entry = ParsePeerEntry("1234abcd 1 2 name with  blanks ");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "name with  blanks ");
    EXPECT_EQ(ParsePeerEntry("1234abcd 1 2 x\r\n")->name, "x");
    EXPECT_EQ(ParsePeerEntry("1234abcd 65535 2147483647 \n")->name, "");
    EXPECT_EQ(ParsePeerEntry("1234abcd 65535 2147483647")->port, 65535);
}

class MalformedEntry : public ::testing::TestWithParam<std::string> {};

TEST_P(MalformedEntry, IsRefused) {
    EXPECT_FALSE(ParsePeerEntry(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    PeerEntry, MalformedEntry,
    ::testing::Values("", "\n", "garbage", "1234abcd", "1234abcd 40123", "1234ABCD 40123 1 x",
                      "1234abc 40123 1 x", "1234abcd 0 1 x", "1234abcd 65536 1 x",
                      "1234abcd -5 1 x", "1234abcd +5 1 x", "1234abcd 5 0 x",
                      "1234abcd 5 2147483648 x", "1234abcd 5 99999999999 x", "1234abcd  5 1 x",
                      "1234abcd 5 1 a-name-of-22-bytes-long", "1234abcd 5 1 two\nlines",
                      "1234abcd 5 1 x\n\n", std::string("1234abcd 5 1 nul\0inside", 23),
                      "1234abcd 5 1 tab\there", "1234abcd 5 1 " + std::string(300, 'x')));

TEST(EntryFileName, IsServiceAtDeviceIdDotPeer) {
    DeviceId id{0xde, 0xad, 0xbe, 0xef};
    EXPECT_EQ(ce::irsock::EntryFileName("TESSALY15", id), "TESSALY15@deadbeef.peer");
    auto name = ce::irsock::ParseEntryFileName("TESSALY15@deadbeef.peer");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->service, "TESSALY15");
    EXPECT_EQ(name->id, id);
    // The device id is the last field, so a service may hold an '@'.
    EXPECT_EQ(ce::irsock::ParseEntryFileName("a@b@deadbeef.peer")->service, "a@b");
    for (const char* bad :
         {"@deadbeef.peer", "TESSALY15@deadbeef.peer.tmp", "TESSALY15deadbeef.peer",
          "TESSALY15@deadbee.peer", ".TESSALY15@deadbeef.peer.123",
          "a-service-name-of-25-byte@deadbeef.peer", "TESSALY15@DEADBEEF.peer"}) {
        EXPECT_FALSE(ce::irsock::ParseEntryFileName(bad)) << bad;
    }
}

TEST(ServiceName, IsOneFileNameOfPrintableAscii) {
    EXPECT_TRUE(ce::irsock::IsValidServiceName("TESSALY15"));
    EXPECT_TRUE(ce::irsock::IsValidServiceName("IrDA:IrCOMM"));
    EXPECT_TRUE(ce::irsock::IsValidServiceName(std::string(24, 'x')));
    EXPECT_FALSE(ce::irsock::IsValidServiceName(std::string(25, 'x')));
    EXPECT_FALSE(ce::irsock::IsValidServiceName(""));
    EXPECT_FALSE(ce::irsock::IsValidServiceName("../../etc"));
    EXPECT_FALSE(ce::irsock::IsValidServiceName("bell\a"));
}

TEST(HostPort, TakesNamesIpv4AndBracketedIpv6) {
    auto v4 = ce::irsock::ParseHostPort("192.168.1.5:7015", true);
    ASSERT_TRUE(v4);
    EXPECT_EQ(v4->host, "192.168.1.5");
    EXPECT_EQ(v4->port, 7015);
    auto v6 = ce::irsock::ParseHostPort("[::1]:80", true);
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, "::1");
    EXPECT_EQ(ce::irsock::ParseHostPort("palmbox:1", true)->host, "palmbox");
    // Without a required port, a bare address (IPv6 too) is a host.
    EXPECT_EQ(ce::irsock::ParseHostPort("0.0.0.0", false)->port, 0);
    EXPECT_EQ(ce::irsock::ParseHostPort("::", false)->host, "::");
    EXPECT_EQ(ce::irsock::ParseHostPort("[::]:9", false)->port, 9);
    for (const char* bad : {"", ":80", "host:", "host:0", "host:65536", "host:8x", "::1:80",
                            "[::1]80", "[::1", "[]:80", "a b:80", "host:80:81"}) {
        EXPECT_FALSE(ce::irsock::ParseHostPort(bad, true)) << bad;
    }
    EXPECT_FALSE(ce::irsock::ParseHostPort("127.0.0.1", true));
}

TEST(RemotePeers, AreTheWellFormedItemsInOrderWithIdsFromTheirText) {
    auto peers = ce::irsock::ParseRemotePeers(" 10.0.0.2:7015 ,bad,, [fe80::1]:99,otherhost:1,x:0");
    ASSERT_EQ(peers.size(), 3u);
    EXPECT_EQ(peers[0].address.host, "10.0.0.2");
    EXPECT_EQ(peers[0].id, ce::irsock::DeviceIdOfText("10.0.0.2:7015"));
    EXPECT_EQ(peers[0].name, "10.0.0.2");
    EXPECT_EQ(peers[1].address.host, "fe80::1");
    EXPECT_EQ(peers[1].id, ce::irsock::DeviceIdOfText("[fe80::1]:99"));
    EXPECT_EQ(peers[2].name, "otherhost");
    EXPECT_TRUE(ce::irsock::ParseRemotePeers("").empty());
}

}  // namespace
